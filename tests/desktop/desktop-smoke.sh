#!/usr/bin/env bash
# Drives the desktop program the way a user does, under a private Xvfb (no window manager):
#   0. Without a display it says so and ends with 1 (SDL would open an invisible window).
#   1. --no-launcher --size 1280x720: the "Velmora" window is 1280x720; Escape ends it with 0.
#   2. The close message a window manager sends (WM_DELETE_WINDOW) ends it with 0.
#   3. The launcher: Escape and the close message leave it open; "0x0" + Launch keeps it open
#      with its message; "800x600" + Launch opens an 800x600 window; Escape ends it with 0.
#   4. The launcher: Fullscreen ticked + "800x600" + Launch opens the window full screen, at the
#      screen's corner rather than centred (without a window manager and with its one mode,
#      Xvfb neither switches modes nor resizes the window); Escape ends it with 0.
#   5. The launcher: ticking Fullscreen, then "No Launch", ends with 0 and prints nothing.
#   6. A copy of the program alone in an empty folder, its output not a terminal: the
#      "Velmora cannot start" dialog; closed, the program ends with 1.
# Usage: desktop-smoke.sh VELMORA SEND_WM_DELETE   (from the repository root; the demo reads
# assets/ from there). Exits 77, skipped, when Xvfb or xdotool is missing.
set -euo pipefail

for tool in Xvfb xdotool; do
    command -v $tool >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

velmora=$1
send_wm_delete=$2
work=$(mktemp -d)
pid=
xvfb=
trap '[[ -n $pid ]] && kill $pid 2>/dev/null; [[ -n $xvfb ]] && kill $xvfb; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=dummy  # no sound card here
exit_seconds=${VELMORA_SMOKE_EXIT_SECONDS:-10}  # longer for sanitized builds
start=$SECONDS

fail() {
    echo "FAIL: $*" >&2
    for f in "$work"/*; do [[ -s $f ]] && { echo "--- $(basename "$f")"; tail -n 20 "$f"; } >&2; done
    exit 1
}

# run NAME ARGS...: starts velmora in the background, its output in $work/NAME.out/.err.
run() {
    local name=$1
    shift
    "$velmora" "$@" >"$work/$name.out" 2>"$work/$name.err" &
    pid=$!
}

# expect_exit SECONDS CODE: the program ends within SECONDS with exit code CODE.
expect_exit() {
    local deadline=$((SECONDS + $1)) code=0
    while kill -0 $pid 2>/dev/null; do
        ((SECONDS < deadline)) || fail "still running after $1 s"
        sleep 0.1
    done
    wait $pid || code=$?
    pid=
    [[ $code == "$2" ]] || fail "exit code $code, expected $2"
}

# find_window TITLE: the id of the visible window with exactly this title (waits up to 30 s).
# Searches again on failure: a search that meets a window being destroyed stops with an X error.
find_window() {
    local id deadline=$((SECONDS + 30))
    until id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [[ -n $id ]]; do
        ((SECONDS < deadline)) || fail "no window titled \"$1\""
        sleep 0.1
    done
    echo "$id"
}

# geometry WINDOW: sets X, Y, WIDTH and HEIGHT.
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

expect_size() {
    geometry "$1"
    [[ ${WIDTH}x$HEIGHT == "$2" ]] || fail "window is ${WIDTH}x$HEIGHT, expected $2"
}

press_escape() { xdotool windowfocus --sync "$1" key Escape; }

# click X Y: a left click at a point of the launcher (whose origin is LX, LY).
click() { xdotool mousemove --sync $((LX + $1)) $((LY + $2)) click 1; }

# Points inside the launcher's controls, in pixels from its top left corner (dialog units of an
# 8-point font: x * 3 / 2, y * 13 / 8): the resolution box's text field, the Fullscreen tick
# box, "No Launch" and "Launch".
resolution_field=(294 63)
fullscreen_box=(250 106)
no_launch=(89 177)
launch=(281 177)

open_launcher() {
    run "$1"
    launcher=$(find_window "ZORVEK LAUNCHER")
    geometry "$launcher"
    LX=$X
    LY=$Y
    xdotool windowfocus --sync "$launcher"
}

type_resolution() {
    click "${resolution_field[@]}"
    xdotool key ctrl+a type "$1"
}

# Our own server: Xvfb picks a free display itself (-displayfd), so runs side by side never
# meet on one display number as `xvfb-run -a` can; -noreset, or the server would reset, refusing
# new clients for a moment, each time the last program closes its connection.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.err" &
xvfb=$!
until [[ -s $work/display ]]; do
    kill -0 $xvfb 2>/dev/null || fail "Xvfb did not start"
    sleep 0.05
done
export DISPLAY=:$(head -n 1 "$work/display")
unset WAYLAND_DISPLAY

echo "desktop smoke: no display"
code=0
env -u DISPLAY -u WAYLAND_DISPLAY "$velmora" --no-launcher >"$work/nodisplay.out" 2>&1 || code=$?
[[ $code == 1 ]] && grep -q "no display" "$work/nodisplay.out" || fail "no display: exit code $code"

echo "desktop smoke: Escape"
run escape --no-launcher --size 1280x720
window=$(find_window Velmora)
expect_size "$window" 1280x720
[[ $X,$Y == 320,180 ]] || fail "window at $X,$Y, expected centred at 320,180"
press_escape "$window"
expect_exit $exit_seconds 0
grep -q "^Renderer       : " "$work/escape.out" || fail "no GL identification block"

echo "desktop smoke: close"
run close --no-launcher --size 640x480
window=$(find_window Velmora)
"$send_wm_delete" "$window"
expect_exit $exit_seconds 0

echo "desktop smoke: launcher, typed size"
open_launcher launch
xdotool key Escape
"$send_wm_delete" "$launcher"
type_resolution 0x0
click "${launch[@]}"
sleep 1
kill -0 $pid 2>/dev/null || fail "the launcher ended on Escape, close or an unusable size"
grep -q "type one such as 800x600" "$work/launch.out" || fail "no message for 0x0"
type_resolution 800x600
click "${launch[@]}"
window=$(find_window Velmora)
expect_size "$window" 800x600
press_escape "$window"
expect_exit $exit_seconds 0

echo "desktop smoke: launcher, Fullscreen"
open_launcher fullscreen
click "${fullscreen_box[@]}"
type_resolution 800x600
click "${launch[@]}"
window=$(find_window Velmora)
expect_size "$window" 800x600
[[ $X,$Y == 0,0 ]] || fail "full-screen window at $X,$Y, expected 0,0"
press_escape "$window"
expect_exit $exit_seconds 0

echo "desktop smoke: launcher, Fullscreen then No Launch"
open_launcher nolaunch
click "${fullscreen_box[@]}"
click "${no_launch[@]}"
expect_exit $exit_seconds 0
[[ ! -s $work/nolaunch.out && ! -s $work/nolaunch.err ]] || fail "No Launch printed something"

echo "desktop smoke: no assets, no terminal"
mkdir "$work/lone"
cp "$velmora" "$work/lone/velmora"
(cd "$work/lone" && exec ./velmora --no-launcher) >"$work/lone.out" 2>"$work/lone.err" &
pid=$!
dialog=$(find_window "Velmora cannot start")
"$send_wm_delete" "$dialog"
expect_exit $exit_seconds 1
grep -q "^No assets folder with the demo.s files in " "$work/lone.out" || fail "no line saying there is no assets folder"

echo "desktop smoke: passed in $((SECONDS - start)) s"
