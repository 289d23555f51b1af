# The program in a window under Xvfb, shared by the end-to-end cases, the
# window bench and the README's screenshot. Sourced, not run. The caller
# sets $x_work to a directory of its own and calls x_stop_all when it ends.

x_started=()  # what x_start_display and x_start record, killed last first

# Polls `$@` every 0.1 s until it succeeds, for at most $1 seconds on the
# clock: on a loaded machine the checks themselves take time, and a bound
# in rounds would stretch with them.
x_wait_for() {
    local end=$((${EPOCHREALTIME/[.,]/} + $1 * 1000000))
    shift
    until "$@"; do
        ((${EPOCHREALTIME/[.,]/} < end)) || return 1
        sleep 0.1
    done
}

# Starts an Xvfb on a free display number (it picks one through
# -displayfd) and exports DISPLAY; further arguments go to Xvfb. Its errors
# go to $x_work/xvfb.log.
x_start_display() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp "$@" 3>"$x_work/display" 2>"$x_work/xvfb.log" &
    x_started+=($!)
    x_wait_for 10 test -s "$x_work/display" || return 1
    export DISPLAY=":$(tr -d '\n' <"$x_work/display")"
}

# Runs `$@` in the background and records it; its pid in $x_pid.
x_start() {
    "$@" &
    x_pid=$!
    x_started+=("$x_pid")
}

# Prints the id of the visible window titled exactly $1 once there is one,
# waiting at most $2 seconds (30: a sanitizer build on a loaded machine may
# take several seconds to open its window); nothing when there is none.
x_find_window() {
    local name=$1
    timeout "${2:-30}" xdotool search --sync --limit 1 --onlyvisible --name "^${name//./\\.}\$" 2>/dev/null |
        head -1 || true
}

# Puts window $1 at 0,0 and gives it the keyboard.
x_corner_and_focus() {
    timeout 10 xdotool windowmove --sync "$1" 0 0 >/dev/null 2>&1 || timeout 10 xdotool windowmove "$1" 0 0
    timeout 10 xdotool windowfocus --sync "$1"
}

# Types $1 into the focused window as a user would: \r as the Return key.
x_type_keys() {
    local rest=$1 part
    while [[ $rest == *$'\r'* ]]; do
        part=${rest%%$'\r'*}
        rest=${rest#*$'\r'}
        if [[ -n $part ]]; then xdotool type --delay 20 "$part" || return; fi
        xdotool key Return || return
    done
    if [[ -n $rest ]]; then xdotool type --delay 20 "$rest"; fi
}

x_stop_all() {
    local i
    for ((i = ${#x_started[@]} - 1; i >= 0; i--)); do kill "${x_started[i]}" 2>/dev/null || true; done
    for ((i = ${#x_started[@]} - 1; i >= 0; i--)); do wait "${x_started[i]}" 2>/dev/null || true; done
}
