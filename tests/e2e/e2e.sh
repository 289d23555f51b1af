#!/bin/bash
# End-to-end cases of the program in its real window, each on an Xvfb
# display of its own (Xvfb picks a free number through -displayfd).
# Usage: e2e.sh CASE BIN_DIR   (BIN_DIR holds winding_scheme and the e2e tools)
#        e2e.sh --list          (the cases, one a line, for CTest)
# Every wait is bounded; whatever a case starts is killed when it ends.
set -euo pipefail

case_name=$1
bin=${2:-}
app=$bin/winding_scheme
scene=$bin/tests/e2e/e2e_scene
snapshot=$bin/tests/e2e/headless_snapshot
send_close=$bin/tests/e2e/send_wm_delete
window_image=$bin/tests/e2e/window_image
key_burst=$bin/tests/e2e/key_burst
title="SCHEMES: LAP, TWO LAYER, FULL PITCH WINDING"
# A stand-in named `compare` may come earlier on the PATH: the real tool by path.
compare=/usr/bin/compare
# How long a picture may take to show. The slowest, the end of a fast run,
# shows within a few seconds; this bound only keeps a case that goes wrong
# from hanging, and leaves it time to fail with its reason within CTest's
# timeout.
picture_wait=30

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/x_session.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/winding-e2e.XXXXXX")
x_work=$work
app_pid=
size=
cleanup() {
    x_stop_all
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL ($case_name): $*" >&2
    # E2E_ARTIFACTS=DIR keeps the screenshots and logs of a failed case.
    if [[ -n ${E2E_ARTIFACTS:-} ]]; then
        mkdir -p "$E2E_ARTIFACTS/$case_name"
        xwininfo -root -tree >"$E2E_ARTIFACTS/$case_name/windows.txt" 2>&1 || true
        cp "$work"/*.png "$work"/*.log "$work"/app.* "$E2E_ARTIFACTS/$case_name/" 2>/dev/null || true
    fi
    for f in "$work"/app.err "$work"/xvfb.log; do
        [[ -s $f ]] && { echo "--- $(basename "$f"):" >&2; tail -20 "$f" >&2; }
    done
    exit 1
}

[[ $case_name == --list ]] ||
for tool in Xvfb xdotool xprop xwininfo "$compare"; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian: xvfb, xdotool, x11-utils, imagemagick)"
done

# Starts Xvfb, and openbox when $1 is "wm".
start_display() {
    # An X server resets when its last client leaves and refuses connections
    # meanwhile: openbox would lose a race with the readiness checks.
    local reset=()
    [[ ${1:-} == wm ]] && reset=(-noreset)
    x_start_display "${reset[@]}" "${@:2}" || fail "Xvfb did not start"
    if [[ ${1:-} == wm ]]; then
        command -v openbox >/dev/null || fail "openbox is missing (Debian: openbox)"
        HOME=$work x_start openbox --sm-disable >/dev/null 2>&1
        x_wait_for 10 xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 || fail "openbox did not start"
        x_wait_for 10 wm_ready || fail "openbox did not take over the screen"
    fi
}

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# Starts `$@` as the program under test, its output in app.out and app.err.
# In a sanitizer build its leak check is off: Mesa's software driver leaks
# its window buffers at teardown and is unloaded before the check runs, so
# its frames cannot even be named in a suppression file. AddressSanitizer
# and UBSan stay on; the tools and the runs without a window keep the check.
start_app() {
    ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 x_start "$@" >"$work/app.out" 2>"$work/app.err"
    app_pid=$x_pid
}

# Sets $win to the visible window titled exactly $1.
find_window() {
    win=$(x_find_window "$1")
    [[ -n $win ]] || fail "no window titled '$1'"
}

# Finds the main window titled $1, puts it at 0,0 and gives it the keyboard.
main_window() {
    find_window "$1"
    main=$win
    x_corner_and_focus "$main" || fail "the window did not take the keyboard focus"
}

# The main window's client area starts at $1,$2 on the screen.
client_corner_is() {
    local at
    at=$(xwininfo -id "$main" | awk '/Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        END { print x "," y }')
    [[ $at == "$1,$2" ]] || fail "the client area is at $at, expected $1,$2"
}

# Sets $size to the main window's client area, WxH.
read_client_size() {
    size=$(xwininfo -id "$main" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
}
client_size_is() { read_client_size && [[ $size == "$1" ]]; }

app_running() { kill -0 "$app_pid" 2>/dev/null; }
app_ended() { ! app_running; }

# Waits for the program to end and checks its exit code.
expect_exit() {
    local want=$1 rc=0
    x_wait_for 15 app_ended || fail "the program did not end"
    wait "$app_pid" || rc=$?
    [[ $rc == "$want" ]] || fail "exit code $rc, expected $want"
}

# The window's crop $1 (WxH+X+Y) equals the headless frame after the keys
# (headless_snapshot's arguments after OUT.png), pixel for pixel; polled, as
# the window shows a frame a few ticks late.
shows_headless() {
    local crop=$1
    shift
    "$snapshot" "$work/want.png" "$@" || fail "headless_snapshot failed"
    "$window_image" await "$main" "$work/want.png" "$crop" "$picture_wait" "$work/got.png" 2>"$work/await.log" ||
        fail "crop $crop, compared with the headless frame: $(cat "$work/await.log")"
}

# Z=24, p'=4, then twelve "+" for the animation's first segments: the pause
# halves at each, so the drawing is over in a few seconds.
fast_keys=$'24\r4\r++++++++++++'
type_fast_run() { x_type_keys "$fast_keys"; }

app_said() { grep -qx "$1" "$work/app.out"; }

# ---- the cases ----

case_title() {
    start_display
    start_app "$app"
    main_window "$title"
    local name
    name=$(xprop -id "$main" WM_NAME)
    [[ $name == "WM_NAME(STRING) = \"$title\"" ]] || fail "title read back as: $name"
    client_size_is 640x350 || fail "client area $size"
    xdotool type --delay 20 24 && xdotool key Return && xdotool type 4 && xdotool key Return
    # The header (rows 1 and 2 with the icons) and the result row 3, which
    # stay as they are while the scheme is being drawn.
    shows_headless 640x42+0+0 --stop-at 2 $'24\r4\r'
}

case_end() {
    start_display
    start_app "$app"
    main_window "$title"
    type_fast_run
    shows_headless 640x350+0+0 "$fast_keys"
    xdotool key x
    shows_headless 640x350+0+0 "$fast_keys" x
    app_running || fail "the program ended before the prompt's key"
    xdotool key y
    expect_exit 0
}

# The close box and Ctrl+Break in each wait of the run: the process ends
# with code 0 on its own, without waiting at the end prompt for a key.
stop_ways=(close break)
stop_stages=(entry_of_z entry_of_p animation_pause final_wait end_prompt)

# Brings the winding run into wait $1 and waits until the window shows it.
reach_stage() {
    case $1 in
        entry_of_z)
            xdotool type 2
            # Z=2 on row 3, short of the cursor (a stopped entry hides it).
            shows_headless 24x14+56+28 --stop-at 2 2
            ;;
        entry_of_p)
            xdotool type --delay 20 24 && xdotool key Return && xdotool type 4
            shows_headless 32x14+176+28 --stop-at 2 $'24\r4'
            ;;
        animation_pause)
            # Without "+" every segment waits a second: the run is in a pause
            # nearly all the time for minutes.
            xdotool type --delay 20 24 && xdotool key Return && xdotool type 4 && xdotool key Return
            shows_headless 640x42+0+0 --stop-at 2 $'24\r4\r'
            ;;
        final_wait)
            type_fast_run
            shows_headless 640x350+0+0 "$fast_keys"
            ;;
        end_prompt)
            type_fast_run
            shows_headless 640x350+0+0 "$fast_keys"
            xdotool key x
            shows_headless 640x350+0+0 "$fast_keys" x
            ;;
    esac
}

case_stop() {
    local way=$1 stage=$2
    start_display
    start_app "$app"
    main_window "$title"
    reach_stage "$stage"
    case $way in
        close) "$send_close" "$main" ;;
        break) xdotool key ctrl+Pause ;;
    esac
    expect_exit 0
    ! grep -q "did not stop" "$work/app.err" || fail "the program thread had to be abandoned"
}

# Two screenshots of the main window a few pause lengths apart are the same.
picture_still() {
    "$window_image" save "$main" "$work/still-a.png" || return 1
    sleep 2.5
    "$window_image" save "$main" "$work/still-b.png" || return 1
    [[ $("$compare" -metric AE "$work/still-a.png" "$work/still-b.png" null: 2>&1) == 0 ]]
}

case_pause_holds_the_animation() {
    start_display
    start_app "$app"
    main_window "$title"
    reach_stage animation_pause
    picture_still && fail "the animation does not move before Pause"
    xdotool key Pause
    # Pause comes in on a connection of its own: the next key must come after it.
    sleep 1
    picture_still || fail "the picture changed while paused"
    xdotool key x
    moved() { ! picture_still; }
    x_wait_for 10 moved || fail "the animation did not go on after a key"
}

case_pause_in_final_wait_swallows_a_key() {
    start_display
    start_app "$app"
    main_window "$title"
    reach_stage final_wait
    xdotool key Pause
    sleep 1
    # "a" ends the pause only; "b" ends the wait, "c" the prompt.
    xdotool key a
    sleep 1
    shows_headless 640x350+0+0 "$fast_keys"
    app_running || fail "the program ended on the key that ended the pause"
    xdotool key b
    shows_headless 640x350+0+0 "$fast_keys" x
    xdotool key c
    expect_exit 0
}

case_key_storm_in_animation() {
    start_display
    start_app "$app"
    main_window "$title"
    reach_stage animation_pause
    # 500 "+" within the first pause: the buffer keeps 15, which make the
    # rest of the drawing fast; the others are lost, so none is left over
    # for the final wait. They go as one burst: typed one by one, they can
    # take seconds on a loaded machine, and the drawing would take "+" from
    # the buffer all the while, to the end and past it.
    "$key_burst" plus 500 || fail "the burst of keys did not go out"
    shows_headless 640x350+0+0 $'24\r4\r+++++++++++++++'
    sleep 1
    shows_headless 640x350+0+0 $'24\r4\r+++++++++++++++'
    xdotool key x
    shows_headless 640x350+0+0 $'24\r4\r+++++++++++++++' x
    app_running || fail "the program ended before the prompt's key"
    xdotool key y
    expect_exit 0
}

case_pause_swallows_a_key() {
    start_display
    start_app "$scene" keys
    main_window "e2e keys"
    xdotool key Pause
    x_wait_for 10 app_said "event pending" || fail "Pause did not reach the program"
    xdotool key a b q
    expect_exit 0
    [[ $(cat "$work/app.out") == $'event pending\n98\n113' ]] || fail "read: $(tr '\n' '|' <"$work/app.out")"
}

# xdotool key names and what the keyboard buffer gets for each; modifier
# keys alone, and Alt+Enter, leave nothing.
key_table=(
    "a:97" "shift+a:65" "plus:43" "minus:45" "Return:13" "KP_Enter:13" "BackSpace:8" "Escape:27" "Tab:9"
    "F1:0 59" "F2:0 60" "F10:0 68" "F11:0 133" "F12:0 134"
    "Home:0 71" "Up:0 72" "Prior:0 73" "Left:0 75" "Right:0 77" "End:0 79" "Down:0 80" "Next:0 81"
    "Insert:0 82" "Delete:0 83"
    "Shift_L:" "Shift_R:" "Control_L:" "Control_R:" "Alt_L:" "Super_L:" "Num_Lock:" "Num_Lock:"
)

case_keys() {
    start_display
    start_app "$scene" keys
    main_window "e2e keys"
    local entry want=()
    for entry in "${key_table[@]}"; do
        xdotool key "${entry%%:*}"
        [[ -n ${entry#*:} ]] && want+=("${entry#*:}")
    done
    xdotool key q
    want+=(113)
    expect_exit 0
    local got
    got=$(tr '\n' '|' <"$work/app.out")
    [[ $got == "$(printf '%s|' "${want[@]}")" ]] || fail "read: $got"
}

case_alt_enter_cycles_full_screen() {
    start_display
    start_app "$scene" keys
    main_window "e2e keys"
    local want
    for want in 1280x1024 1280x1024 640x350; do
        xdotool key alt+Return
        x_wait_for 10 client_size_is "$want" || fail "after Alt+Enter the window is $size, expected $want"
    done
    xdotool key q
    expect_exit 0
    [[ $(cat "$work/app.out") == 113 ]] || fail "Alt+Enter reached the keyboard buffer: $(cat "$work/app.out")"
}

# How the question is answered, and whether the run goes on.
answer_question() {
    local how=$1 goes_on=$2
    start_display
    start_app "$scene" error
    main_window "e2e error"
    find_window "Unhandled Error #5"
    local dialog=$win
    case $how in
        close) "$send_close" "$dialog" ;;
        main-close) "$send_close" "$main" ;;
        *)
            timeout 10 xdotool windowfocus --sync "$dialog" || fail "the question did not take the keyboard focus"
            xdotool key "$how"
            ;;
    esac
    if [[ $goes_on == yes ]]; then
        x_wait_for 10 app_said "went on" || fail "the run did not go on after $how"
        # The scene ends like the winding run, so its prompt row is the same;
        # the prompt's key goes to the main window, which has the keyboard back.
        shows_headless 640x14+0+336 "$fast_keys" x
        xdotool key x
        expect_exit 0
    else
        expect_exit 0
        ! app_said "went on" || fail "the run went on after $how"
    fi
}

case_question_yes() { answer_question y yes; }
case_question_return() { answer_question Return yes; }
case_question_keypad_enter() { answer_question KP_Enter yes; }
case_question_no() { answer_question n no; }
case_question_escape() { answer_question Escape no; }
case_question_close_box() { answer_question close no; }
case_question_main_window_closed() { answer_question main-close no; }

case_resize_keeps_shape() {
    start_display wm
    start_app "$app"
    main_window "$title"
    xdotool windowsize "$main" 800 600
    x_wait_for 10 client_size_is 800x438 || fail "resized to 800x600, the window is $size"
}

# Where nobody places the window, it opens with its whole client area on the
# screen, in the top-left corner; looked at before main_window moves it.
case_opens_in_the_corner() {
    start_display
    start_app "$app"
    find_window "$title"
    main=$win
    client_corner_is 0 0
}

# Where a window manager runs, the program asks for no position of its own:
# the manager's placement stands.
case_placed_by_the_window_manager() {
    start_display wm
    start_app "$app"
    find_window "$title"
    local hints
    hints=$(xprop -id "$win" WM_NORMAL_HINTS)
    [[ $hints == *"specified size: 640 by 350"* ]] || fail "size hints read back as: $hints"
    [[ $hints != *"specified location"* ]] || fail "the program asked for a position: $hints"
}

case_maximised_is_letterboxed() {
    command -v wmctrl >/dev/null || fail "wmctrl is missing (Debian: wmctrl)"
    start_display wm
    start_app "$app"
    main_window "$title"
    wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz
    # The window manager keeps a maximised window's shape (the full width,
    # the height less its decorations): bars above and below the picture,
    # whose background is dark blue.
    maximised() { read_client_size && [[ $size == 1280x* && ${size#*x} -gt 900 ]]; }
    x_wait_for 10 maximised || fail "maximised to $size"
    local h=${size#*x}
    letterboxed() {
        local colours
        colours=$("$window_image" pixels "$main" 640,10 640,$((h / 2)) 640,$((h - 10)) 2>/dev/null) &&
            [[ $colours == $'000000\n000055\n000000' ]]
    }
    x_wait_for 10 letterboxed || fail "not letterboxed at $size"
}

case_no_display() {
    local display rc
    for display in unset ":9999"; do
        rc=0
        if [[ $display == unset ]]; then
            env -u DISPLAY timeout 20 "$app" >"$work/app.out" 2>"$work/app.err" || rc=$?
        else
            DISPLAY=$display timeout 20 "$app" >"$work/app.out" 2>"$work/app.err" || rc=$?
        fi
        [[ $rc == 1 ]] || fail "DISPLAY $display: exit code $rc, expected 1"
        grep -q "cannot open the X display" "$work/app.err" || fail "DISPLAY $display: said: $(cat "$work/app.err")"
    done
}

case_no_gl_window() {
    # A display without GLX cannot give the window the program needs.
    start_display "" -extension GLX
    local rc=0
    timeout 20 "$app" >"$work/app.out" 2>"$work/app.err" || rc=$?
    [[ $rc == 1 ]] || fail "exit code $rc, expected 1"
    [[ -s $work/app.err ]] || fail "no message"
    xdotool search --name "$title" >/dev/null 2>&1 && fail "a window opened"
    true
}

if [[ $case_name == --list ]]; then
    declare -F | sed -n 's/^declare -f case_//p' | grep -vx stop
    for way in "${stop_ways[@]}"; do
        for stage in "${stop_stages[@]}"; do echo "stop_${way}_in_${stage}"; done
    done
    exit 0
fi
if [[ $case_name =~ ^stop_([a-z]+)_in_([a-z_]+)$ ]]; then
    case_stop "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}"
else
    declare -F "case_$case_name" >/dev/null || fail "no such case"
    "case_$case_name"
fi
echo "PASS ($case_name)"
