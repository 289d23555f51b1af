#!/bin/bash
# Figures of the program in a real window under Xvfb: CPU and wake-ups in
# its waits, frames uploaded and redrawn in them, how soon the close box,
# Ctrl+Break and the end of Pause take effect, pause accuracy, key-to-screen
# latency, start to first frame and peak memory. Prints; asserts nothing.
# Usage: window_bench.sh BIN_DIR   (a build with -DWINDING_WINDOW=ON)
# WINDING_APP=PATH measures another build of the program (an older one, say)
# with this build's probes; WINDING_BENCH_RUNS sets the runs of each
# reaction time (5).
set -euo pipefail

bin=$1
app=$(realpath -m "${WINDING_APP:-$bin/winding_scheme}")
[[ -x $app ]] || { echo "window_bench: no program at $app" >&2; exit 1; }
reaction_runs=${WINDING_BENCH_RUNS:-5}
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

# The threads of process $1 now: a line "time MICROSECONDS", then one per
# thread, "TID CPU_NS VOLUNTARY NONVOLUNTARY NAME". CPU from schedstat is
# finer than the clock ticks of /proc/PID/stat; each voluntary context
# switch is a sleep that ended. A thread that ends while it is read is left
# out.
task_sample() {
    echo "time ${EPOCHREALTIME/[.,]/}"
    {
        grep -H '' /proc/"$1"/task/*/schedstat
        grep -H -E '^(Name|voluntary_ctxt_switches|nonvoluntary_ctxt_switches):' /proc/"$1"/task/*/status
    } 2>/dev/null | awk '
        {
            i = index($0, ":")
            split(substr($0, 1, i - 1), path, "/")
            tid = path[5]
            rest = substr($0, i + 1)
            if (path[6] == "schedstat") { split(rest, f, " "); cpu[tid] = f[1]; next }
            j = index(rest, ":")
            key = substr(rest, 1, j - 1)
            value = substr(rest, j + 1)
            sub(/^[ \t]+/, "", value)
            gsub(/[ \t]/, "_", value)
            field[tid, key] = value
        }
        END {
            for (tid in cpu)
                if ((tid, "voluntary_ctxt_switches") in field && (tid, "Name") in field)
                    print tid, cpu[tid], field[tid, "voluntary_ctxt_switches"],
                        field[tid, "nonvoluntary_ctxt_switches"] + 0, field[tid, "Name"]
        }'
}

# What process $3 did between samples $1 and $2 (of task_sample), as
# "CPU_PERCENT WAKES_PER_S NONVOLUNTARY_PER_S THREADS", THREADS the wake-ups
# per second of each thread (TID-PID:NAME=N, comma-separated). A thread
# that began meanwhile counts from zero; one that ended meanwhile is left
# out (what it did before its end is no longer readable) and the wake-ups
# get a "*".
between_samples() {
    # Sorted by thread id, so the threads are listed in that order.
    { sed 's/^/0 /' <<<"$1"; sed 's/^/1 /' <<<"$2"; } | sort -s -k2,2n | awk -v pid="$3" '
        $2 == "time" { t[$1] = $3; next }
        {
            seen[$1, $2] = 1; cpu[$1, $2] = $3; vol[$1, $2] = $4; nonvol[$1, $2] = $5; name[$2] = $6
            if (!($2 in known)) { known[$2] = 1; tids[++n] = $2 }
        }
        END {
            s = (t[1] - t[0]) / 1e6
            threads = ""
            for (i = 1; i <= n; i++) {
                tid = tids[i]
                if (!((1, tid) in seen)) { gone++; continue }
                c = cpu[1, tid] - cpu[0, tid]; v = vol[1, tid] - vol[0, tid]; nv = nonvol[1, tid] - nonvol[0, tid]
                total_cpu += c; total_vol += v; total_nonvol += nv
                threads = threads (threads == "" ? "" : ",") sprintf("%d:%s=%.1f", tid - pid, name[tid], v / s)
            }
            printf "%.2f %.1f%s %.1f %s\n", 100 * total_cpu / 1e9 / s, total_vol / s, gone ? "*" : "",
                total_nonvol / s, threads
        }'
}

# What $1 does over the next $window_s seconds, as between_samples says.
wait_figures() {
    local before
    before=$(task_sample "$1")
    sleep "$window_s"
    between_samples "$before" "$(task_sample "$1")" "$1"
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

# From one wait to the next, the program started and its window focused:
# the entry of Z to the animation's 1 s pauses (Z = 24, p' = 4), to the
# final wait, to the end prompt.
to_pauses() {
    x_type_keys $'24\r4\r'
    sleep 1.5
}
to_final_wait() {
    xdotool type --delay 20 +++++++++++++++
    until_still
}
to_prompt() {
    xdotool key x
    sleep 1
}

declare -A cpu wakes nonvol threads frames
stages=(entry pause final prompt)
# One run through the four waits; with "count", the frames counted too.
walk() {
    local binary=$1 mode=$2 c0 c1 stage
    start_app "$binary"
    sleep 1
    measure() {
        stage=$1
        [[ $mode == count ]] && c0=$(counters "$app_pid")
        read -r cpu[$mode.$stage] wakes[$mode.$stage] nonvol[$mode.$stage] threads[$mode.$stage] \
            <<<"$(wait_figures "$app_pid")"
        [[ $mode == count ]] && c1=$(counters "$app_pid") && frames[$stage]=$(counted "$c0" "$c1")
        true
    }
    measure entry
    to_pauses
    measure pause
    to_final_wait
    measure final
    to_prompt
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
# A build without the counters would end on SIGUSR1.
if grep -qa WINDING_BENCH_COUNTERS "$app"; then
    WINDING_BENCH_COUNTERS=1 walk "$app" count
    totals=$(grep 'bench-counters at-exit' "$work/app.err" | sed 's/.*at-exit //')
else
    for stage in "${stages[@]}"; do
        frames[$stage]=- cpu[count.$stage]=- wakes[count.$stage]=-
    done
    totals="no counters in this build"
    exit_code[count]=-
fi

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

# The close box and Ctrl+Break in each wait: the event to the end of the
# process, a fresh run each time.
reach() {
    start_app "$app"
    sleep 1
    [[ $1 == entry ]] && return
    to_pauses
    [[ $1 == pause ]] && return
    to_final_wait
    [[ $1 == final ]] && return
    to_prompt
}
window_gone() { ! xwininfo -id "$1" >/dev/null 2>&1; }
declare -A stop_ms
stop_ways=(close break)
stop_failures=()
for stage in "${stages[@]}"; do
    for way in "${stop_ways[@]}"; do
        for ((run = 0; run < reaction_runs; run++)); do
            reach "$stage"
            if s=$("$probe" stop "$way" "$app_pid" "$win" 2>>"$work/probe.err"); then
                stop_ms[$way.$stage]+="$(awk -v s="${s#*seconds=}" 'BEGIN { printf "%.2f", s * 1e3 }') "
            else
                stop_failures+=("$way in $stage: $(tail -1 "$work/probe.err")")
                kill "$app_pid" 2>/dev/null || true
            fi
            rc=0
            wait "$app_pid" || rc=$?
            ((rc == 0)) || stop_failures+=("$way in $stage: exit code $rc")
            # Or the next run's search could find this window.
            x_wait_for 10 window_gone "$win" || true
        done
    done
done

# The key that ends Pause to the next segment on the screen.
start_app "$app"
sleep 1
to_pauses
resume=$("$probe" resume "$reaction_runs" "$win" 2>&1) || true
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true

startup=$("$probe" startup 5 "$title" "$app")
delay_table=$("$delays")

# "MEDIAN (MIN to MAX)" of milliseconds $1 (space-separated); "-" for none.
ms_figures() {
    tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '
        { v[NR] = $1 }
        END { if (NR) printf "%.1f (%.1f to %.1f)", v[int(NR / 2) + 1], v[1], v[NR]; else printf "-" }'
}

echo "== window bench: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'), Xvfb, Mesa software GL"
echo "program measured: $app ($(stat -c %y "$app" | cut -d. -f1), sha256 $(sha256sum "$app" | cut -c1-12))"
echo
printf '%-28s %10s %10s %10s %22s\n' "wait ($window_s s each)" "CPU %" "wakes/s" "nonvol/s" "presented/uploads/redraws"
declare -A names=([entry]="entry of Z" [pause]="animation, 1 s pauses" [final]="final wait" [prompt]="end prompt")
for stage in "${stages[@]}"; do
    printf '%-28s %10s %10s %10s %22s\n' "${names[$stage]}" "${cpu[real.$stage]}" "${wakes[real.$stage]}" \
        "${nonvol[real.$stage]}" "${frames[$stage]}"
done
echo "(CPU and wake-ups of all threads, of the first run; wakes: sleeps that ended (voluntary context"
echo "switches), nonvol: preemptions; frames of the second run, with WINDING_BENCH_COUNTERS=1, whose CPU"
echo "and wakes/s were: ${cpu[count.entry]} ${cpu[count.pause]} ${cpu[count.final]} ${cpu[count.prompt]}" \
    "and ${wakes[count.entry]} ${wakes[count.pause]} ${wakes[count.final]} ${wakes[count.prompt]})"
if [[ "${wakes[*]}" == *"*"* ]]; then
    echo "(*: a thread ended within the window; its wake-ups and CPU there are missing)"
fi
echo "wakes/s by thread (thread id - process id: name=wakes/s), first run:"
for stage in "${stages[@]}"; do
    printf '  %-26s %s\n' "${names[$stage]}" "${threads[real.$stage]//,/ }"
done
echo "whole counting run: $totals; exit codes ${exit_code[real]} and ${exit_code[count]}"
echo "peak resident memory (VmHWM) of a whole run: $peak_real"
echo
echo "reaction times in ms, median (min to max) of $reaction_runs runs each; the event sent to the X server"
echo "to the end of the process (looked for every 0.2 ms or so):"
printf '%-28s %24s %24s\n' "wait" "close box (WM_DELETE)" "Ctrl+Break (XTest)"
for stage in "${stages[@]}"; do
    printf '%-28s %24s %24s\n' "${names[$stage]}" "$(ms_figures "${stop_ms[close.$stage]:-}")" \
        "$(ms_figures "${stop_ms[break.$stage]:-}")"
done
for failure in "${stop_failures[@]}"; do echo "  failed: $failure"; done
echo "the key that ends Pause to the next segment on the screen (animation; Pause sent right after a"
echo "segment, the key 1.5 s later, when the segment's 1 s pause is over):"
echo "$resume" | sed 's/^/  /'
echo "(one_picture_read: a look at the screen, so a change is seen that much after it arrives at most)"
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
echo "delay_seconds on the window backend (allowed: 2 ms + 1 %; sleeps: the most one delay took;"
echo "late: the most a delay's sleep woke after its deadline)"
echo "$delay_table"
