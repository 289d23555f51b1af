#!/bin/bash
# Figures of the program in a real window under Xvfb: CPU in its waits,
# frames uploaded and redrawn in them, pause accuracy, key-to-screen
# latency, start to first frame and peak memory. Prints; asserts nothing.
# Usage: window_bench.sh BIN_DIR   (a build with -DWINDING_WINDOW=ON)
set -euo pipefail

bin=$1
app=$bin/winding_scheme
probe=$bin/bench/window_probe
delays=$bin/bench/window_delay_accuracy
title="SCHEMES: LAP, TWO LAYER, FULL PITCH WINDING"
import=/usr/bin/import
window_s=5

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/x_session.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/winding-bench.XXXXXX")
x_work=$work
cleanup() {
    x_stop_all
    rm -rf "$work"
}
trap cleanup EXIT
x_start_display

# Nanoseconds on a CPU of all the process's threads (schedstat: finer than
# the clock ticks of /proc/PID/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ t += $1 } END { printf "%.0f", t }'; }

# Per cent of one core that $1 uses over the next $window_s seconds.
cpu_percent() {
    local before after
    before=$(cpu_ns "$1")
    sleep "$window_s"
    after=$(cpu_ns "$1")
    awk -v t=$((after - before)) -v s="$window_s" 'BEGIN { printf "%.2f", 100 * t / 1e9 / s }'
}

# The counting run's counters (SIGUSR1, answered at its next tick) as "P U R".
counters() {
    local lines
    lines=$(grep -c bench-counters "$work/app.err" || true)
    kill -USR1 "$1"
    for ((i = 0; i < 100; i++)); do
        (($(grep -c bench-counters "$work/app.err" || true) > lines)) && break
        sleep 0.01
    done
    grep bench-counters "$work/app.err" | tail -1 | sed 's/.*presented=\([0-9]*\) uploads=\([0-9]*\) redraws=\([0-9]*\)/\1 \2 \3/'
}

# The difference of two "P U R" counter readings as "presented/uploads/redraws".
counted() {
    local a=($1) b=($2)
    echo "$((b[0] - a[0]))/$((b[1] - a[1]))/$((b[2] - a[2]))"
}

start_app() {
    x_start "$1" >"$work/app.out" 2>"$work/app.err"
    app_pid=$x_pid
    win=$(x_find_window "$title")
    x_corner_and_focus "$win"
}

# Until two screenshots a second apart are the same (at most 60 s).
until_still() {
    local i
    for ((i = 0; i < 60; i++)); do
        "$import" -window "$win" "$work/a.png"
        sleep 1
        "$import" -window "$win" "$work/b.png"
        cmp -s "$work/a.png" "$work/b.png" && return 0
    done
    return 1
}

declare -A cpu frames
stages=(entry pause final prompt)
# One run through the four waits; with "count", the frames counted too.
walk() {
    local binary=$1 mode=$2 c0 c1 stage
    start_app "$binary"
    sleep 1
    measure() {
        stage=$1
        [[ $mode == count ]] && c0=$(counters "$app_pid")
        cpu[$mode.$stage]=$(cpu_percent "$app_pid")
        [[ $mode == count ]] && c1=$(counters "$app_pid") && frames[$stage]=$(counted "$c0" "$c1")
        true
    }
    measure entry
    x_type_keys $'24\r4\r'
    sleep 1.5
    measure pause
    xdotool type --delay 20 +++++++++++++++
    until_still
    measure final
    xdotool key x
    sleep 1
    measure prompt
    peak=$(awk '/VmHWM/ { print $2 " " $3 }' "/proc/$app_pid/status")
    xdotool key y
    local rc=0
    wait "$app_pid" || rc=$?
    exit_code[$mode]=$rc
}
declare -A exit_code
walk "$app" real
peak_real=$peak
WINDING_BENCH_COUNTERS=1 walk "$app" count
totals=$(grep 'bench-counters at-exit' "$work/app.err" | sed 's/.*at-exit //')

# Key-to-screen latency during the entry of Z.
start_app "$app"
sleep 1
latency=$("$probe" latency 20 "$win")
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

# The drawing with fifteen "+" typed at once: the pauses add up to about
# 1 s whatever Z is, so the difference between the two runs is what the
# 504 extra segments cost beyond their pauses.
declare -A drawn
for zp in "12 2" "96 4"; do
    start_app "$app"
    sleep 1
    drawn[$zp]=$("$probe" drawing "$win" $zp | sed 's/.*seconds=//')
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null || true
done

startup=$("$probe" startup 5 "$title" "$app")
delay_table=$("$delays")

echo "== window bench: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), Xvfb, Mesa software GL"
echo
printf '%-28s %10s %22s\n' "wait ($window_s s each)" "CPU %" "presented/uploads/redraws"
declare -A names=([entry]="entry of Z" [pause]="animation, 1 s pauses" [final]="final wait" [prompt]="end prompt")
for stage in "${stages[@]}"; do
    printf '%-28s %10s %22s\n' "${names[$stage]}" "${cpu[real.$stage]}" "${frames[$stage]}"
done
echo "(CPU of the first run; frames of the second, with WINDING_BENCH_COUNTERS=1, whose CPU was:" \
    "${cpu[count.entry]} ${cpu[count.pause]} ${cpu[count.final]} ${cpu[count.prompt]})"
echo "whole counting run: $totals; exit codes ${exit_code[real]} and ${exit_code[count]}"
echo "peak resident memory (VmHWM) of a whole run: $peak_real"
echo
echo "$latency"
echo "(xdotool key to the digit in a screenshot; the second line: until xdotool has exited)"
echo "$startup (exec to the header in a screenshot)"
echo
echo "fifteen \"+\" after the entry, the Return of p' to the end of the drawing:"
echo "  Z = 12, p' = 2 (66 segments): ${drawn[12 2]} s; Z = 96, p' = 4 (570 segments): ${drawn[96 4]} s"
awk -v a="${drawn[12 2]}" -v b="${drawn[96 4]}" 'BEGIN {
    printf "  504 extra segments: %.3f s more, %.3f ms each (their pauses: %.1f ms)\n", b - a, (b - a) / 504 * 1e3, 504 * 1e3 / 32768 }'
echo
echo "delay_seconds on the window backend (allowed: 2 ms + 1 %; gap: the longest between event checks;"
echo "late: the most a sleep inside the delays woke after its time)"
echo "$delay_table"
