#!/usr/bin/env bash
# Windows smoke test: velmora.exe under Wine on Xvfb, driven through its launcher with xdotool.
#   1. The launcher ignores Escape, Enter and Alt+F4; "Launch" with an empty resolution says one is
#      needed and stays open; typing 800x600 and pressing "Launch" starts the demo, which prints
#      what the Linux headless runner prints (GL identification, shader, texture and mesh lines)
#      with an llvmpipe renderer, opens an 800 x 600 window and ends with exit code 0 on Escape.
#   2. Ticking "Fullscreen" and pressing "No Launch" ends with exit code 0 and prints nothing, also
#      started from a folder without assets/ (it finds them in the source tree).
#   3. "Launch" with the preselected resolution; Alt+F4 closes the window, which ends the demo with
#      exit code 0.
#   1b. velmora.log beside the exe holds what run 1 printed (the load phase's lines).
#   4. With Mesa limited to OpenGL 3.0 the 3.3 core context cannot be made: one line saying so,
#      in the "Velmora cannot start" box and in velmora.log, exit code 1.
#   4b. 99999x99999 typed in the launcher: one line naming the GL's limit and one message box
#      "Velmora cannot start", then exit code 1, before the load phase.
#   4c. A lone velmora.exe copied into an empty folder (no build tree above it): the box saying
#      there is no assets folder, its line in the velmora.log beside it, exit code 1.
#   5. The DirectShow player on a short MP3 (velmora-music-check.exe), past its end too.
#   5b. The window (velmora-window-check.exe): the bootstrap window is gone, the client area, the
#      reported size and the viewport agree for a window too tall for the screen, and a refused
#      full-screen mode falls back to a centred window with one line.
#   5c. velmora-dev.exe (developer mode) through the launcher at 640x360, run from a copy of assets/
#      with a truncated mesh and an empty image: one box naming both, then Space pauses, Right
#      moves the position one bar and Shift+Right one beat (its console lines); a shader saved
#      with a syntax error is reported, saved back it is reloaded; Escape ends it with exit code 0.
#   6. Images decoded by GDI+ match the Linux decoder within 1 per channel: a test set covering
#      the formats, and the demo's own images.
#   7. The portable maths (scalar sines, matrices, the clock, the surface fields and meshes) gives
#      the same bits as the Linux build: velmora-math-bits(.exe), compared line by line.
# Uses a fresh 32-bit prefix under /tmp and a private home beside it (both removed afterwards)
# whose .asoundrc selects ALSA's null device, without which DirectShow finds no audio renderer;
# the user's own ~/.asoundrc is never touched (it once was, and every other program on the
# machine then played into the null device). Build directories: VELMORA_WINDOWS_BUILD (default
# build/windows-i686) and VELMORA_LINUX_BUILD (default build/linux).
set -euo pipefail
cd "$(dirname "$0")/../.."

if [[ -z "${VELMORA_WINE_SMOKE_INNER:-}" ]]; then
    export VELMORA_WINE_SMOKE_INNER=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

windows_build=${VELMORA_WINDOWS_BUILD:-build/windows-i686}
linux_build=${VELMORA_LINUX_BUILD:-build/linux}
exe=$windows_build/velmora.exe
headless=$linux_build/src/app/headless/velmora-headless
compare=$linux_build/tests/win32/velmora-image-compare
math_bits=$linux_build/tests/crosstarget/velmora-math-bits
dev_exe=$windows_build/velmora-dev.exe
for f in "$exe" "$dev_exe" "$windows_build/velmora-image-dump.exe" \
    "$windows_build/velmora-music-check.exe" "$windows_build/velmora-window-check.exe" \
    "$windows_build/velmora-math-bits.exe" "$headless" "$compare" "$math_bits"; do
    [[ -x $f ]] || { echo "wine-smoke: $f is missing: build both presets first"; exit 1; }
done

start=$SECONDS
work=$(mktemp -d /tmp/velmora-wine.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

export HOME=$work/home
mkdir -p "$HOME"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"

cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}
phase() { echo "-- $1 ($((SECONDS - start)) s)"; }

# Waits up to $2 seconds for $3 windows named exactly $1; prints the last one's id.
wait_for_windows() {
    local name=$1 seconds=$2 count=${3:-1} ids
    for ((i = 0; i < seconds * 5; i++)); do
        ids=$(xdotool search --name "^${name}\$" 2>/dev/null || true)
        if [[ -n $ids && $(wc -l <<<"$ids") -ge $count ]]; then
            sleep 1 # mapped is not yet ready for input
            tail -n 1 <<<"$ids"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Presses Escape in window $1 every 5 s, for two minutes at most, until the program $pid is gone.
escape_until_gone() {
    for ((i = 0; i < 24; i++)); do
        kill -0 $pid 2>/dev/null || return 0
        xdotool windowfocus --sync "$1" key Escape 2>/dev/null || true
        sleep 5
    done
}

# Clicks the point (x, y), in dialog units, of the launcher dialog $1 (270 x 137 units; the X
# window is the dialog's client area, as there is no window manager).
click_dialog() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --sync $((X + WIDTH * $2 / 270)) $((Y + HEIGHT * $3 / 137)) click 1
    sleep 0.3
}

# Replaces the text of the resolution box with $2.
type_resolution() {
    click_dialog "$1" 200 36
    xdotool key End shift+Home BackSpace
    [[ -z $2 ]] || xdotool type --delay 40 "$2"
    sleep 0.2
}

phase "resources"
# The launcher's dialog template, picture, icon and manifest as velmora.exe carries them.
i686-w64-mingw32-windres -i "$exe" -O res -o "$work/velmora.res"
python3 - "$work/velmora.res" <<'PYTHON' || fail "the program's resources"
import struct, sys

data = open(sys.argv[1], "rb").read()

def ident(b, o):  # an ordinal (0xFFFF, n) or a zero-terminated UTF-16 string
    if struct.unpack_from("<H", b, o)[0] == 0xFFFF:
        return struct.unpack_from("<H", b, o + 2)[0], o + 4
    end = o
    while struct.unpack_from("<H", b, end)[0]:
        end += 2
    return b[o:end].decode("utf-16-le"), end + 2

resources, o = {}, 0
while o < len(data):
    size, header = struct.unpack_from("<II", data, o)
    kind, p = ident(data, o + 8)
    name, p = ident(data, p)
    resources[(kind, name)] = data[o + header:o + header + size]
    o = (o + header + size + 3) & ~3

def dialog(b):
    _, signature, _, ex, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", b, 0)
    menu, p = ident(b, 26)
    cls, p = ident(b, p)
    title, p = ident(b, p)
    points, weight, italic, charset = struct.unpack_from("<HHBB", b, p)
    face, p = ident(b, p + 6)
    items = []
    for _ in range(count):
        p = (p + 3) & ~3
        _, iex, istyle, ix, iy, icx, icy, iid = struct.unpack_from("<IIIhhhhi", b, p)
        icls, p = ident(b, p + 24)
        text, p = ident(b, p)
        p += 2 + struct.unpack_from("<H", b, p)[0]
        items.append((iid, icls, text, hex(istyle), hex(iex), (ix, iy, icx, icy)))
    return (hex(signature), hex(ex), hex(style), (x, y, cx, cy), menu, cls, title,
            (points, weight, italic, charset, face), items)

expected = ("0xffff", "0x8", "0x80c808cc", (0, 0, 270, 137), "", "", "ZORVEK LAUNCHER",
            (8, 400, 0, 1, "MS Shell Dlg"), [
    (-1, 0x82, 101, "0x5000000e", "0x0", (7, 8, 97, 62)),
    (104, 0x85, "", "0x50210002", "0x0", (163, 30, 100, 30)),
    (-1, 0x82, "Resolution", "0x50020200", "0x1000", (113, 30, 50, 12)),
    (107, 0x80, "Fullscreen", "0x50010003", "0x1000", (123, 60, 49, 10)),
    (105, 0x80, "No Launch", "0x50010000", "0x0", (7, 89, 106, 41)),
    (106, 0x80, "Launch", "0x50010000", "0x0", (113, 89, 150, 41))])
problems = []
if dialog(resources[(5, 103)]) != expected:
    problems.append("dialog 103 is %r" % (dialog(resources[(5, 103)]),))
if struct.unpack_from("<iiHH", resources[(2, 101)], 4) != (145, 100, 1, 4):
    problems.append("bitmap 101 is not 145 x 100 at 4 bits")
group = resources[(14, 102)]
if struct.unpack_from("<HHH", group, 0)[2] != 1 or group[6:9] != bytes([16, 16, 16]):
    problems.append("icon group 102 is not one 16 x 16 16-colour image")
manifest = resources[(24, 1)].decode()
for needle in ['name="ZORVEK.VELMORA.DEMO"', 'processorArchitecture="X86"', 'version="1.0.0.0"',
               'name="Microsoft.Windows.Common-Controls"', 'version="6.0.0.0"',
               'publicKeyToken="6595b64144ccf1df"', 'level="asInvoker"', 'uiAccess="false"']:
    if needle not in manifest:
        problems.append("the manifest lacks " + needle)
print("\n".join(problems) or "   dialog 103, bitmap 101, icon 102 and the manifest check out")
sys.exit(1 if problems else 0)
PYTHON

# The release zip, when scripts/ci/dist-check.sh (or make dist) has made it: runs 2 and 3 start the
# program unpacked from it, from its own folder, as a viewer would.
release=$(realpath "$exe")
release_dir=$PWD
if [[ -f dist/zorvek-velmora-win32.zip ]]; then
    python3 -m zipfile -e dist/zorvek-velmora-win32.zip "$work/release"
    release=$work/release/zorvek-velmora/velmora.exe
    release_dir=$work/release/zorvek-velmora
    echo "-- runs 2 and 3 use velmora.exe unpacked from dist/zorvek-velmora-win32.zip"
fi

phase "prefix"
wine wineboot -i >/dev/null 2>&1
wineserver -w

phase "run 1: launch at 800x600"
"$headless" --size 800x600 --frames 1 >"$work/headless.out" 2>/dev/null || fail "velmora-headless failed"
wine "$exe" >"$work/run1.out" 2>"$work/run1.err" &
pid=$!
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    xdotool key Escape Return alt+F4
    sleep 1
    wait_for_windows "ZORVEK LAUNCHER" 1 >/dev/null || fail "Escape, Enter or Alt+F4 closed the launcher"
    type_resolution "$dialog" ""
    click_dialog "$dialog" 188 110
    if wait_for_windows "ZORVEK LAUNCHER" 10 2 >/dev/null; then
        xdotool key Return # dismisses the "resolution needed" note
        sleep 0.5
    else
        fail "Launch with no resolution did not say that one is needed"
    fi
    type_resolution "$dialog" 800x600
    click_dialog "$dialog" 188 110
    if window=$(wait_for_windows Velmora 120); then
        eval "$(xdotool getwindowgeometry --shell "$window")"
        [[ "${WIDTH}x${HEIGHT}" == 800x600 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not 800x600"
        sleep 4
        escape_until_gone "$window"
    else
        fail "no Velmora window"
    fi
else
    fail "no launcher dialog"
fi
kill -0 $pid 2>/dev/null && { fail "velmora.exe still runs: killed"; kill $pid; }
rc=0
wait $pid || rc=$?
echo "exit code $rc"
[[ $rc -eq 0 ]] || { fail "exit code $rc"; tail -n 20 "$work/run1.err"; }
sed 's/^/   | /' "$work/run1.out"

grep -q $'^Renderer       : llvmpipe.*\r$' "$work/run1.out" || fail "no llvmpipe Renderer line"
for key in "Vendor         : " "OpenGL version : " "GLSL version   : "; do
    grep -q "^$key" "$work/run1.out" || fail "no '$key' line"
done
grep -qF "Choose a resolution" "$work/run1.out" || fail "no 'resolution needed' line"
# After the identification block, the same lines as the Linux headless runner: the music player's
# own line and the measured mesh time aside, and the line ends (Windows writes CR LF).
normalise() {
    sed -e 's/\r$//' -e '1,/^GLSL version/d' -e '/^Cannot play /d' -e '/^Choose a resolution/d' \
        -e 's/^Mesh generation took [0-9]* ms$/Mesh generation took N ms/' "$1"
}
if ! diff <(normalise "$work/headless.out") <(normalise "$work/run1.out") >"$work/diff"; then
    fail "the load output differs from the Linux headless runner's (< Linux, > Windows):"
    cat "$work/diff"
fi
echo "   $(grep -c '^reloading ' "$work/run1.out") reloading lines, $(grep -ci 'mesh' "$work/run1.out") mesh lines"
cmp -s <(tr -d '\r' <"$work/run1.out") <(tr -d '\r' <"$windows_build/velmora.log") ||
    fail "velmora.log beside the exe is not what run 1 printed"

# expect_start_box NAME TEXT: velmora.exe ($pid) shows one "Velmora cannot start" box; after OK it
# ends with exit code 1, its one line (containing TEXT) on standard output and in velmora.log
# ($log).
expect_start_box() {
    if box=$(wait_for_windows "Velmora cannot start" 60); then
        xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
    else
        fail "$1: no \"Velmora cannot start\" box"
    fi
    for ((i = 0; i < 100; i++)); do kill -0 $pid 2>/dev/null && sleep 0.2; done
    kill -0 $pid 2>/dev/null && { fail "$1: velmora.exe still runs: killed"; kill $pid; }
    rc=0
    wait $pid || rc=$?
    echo "exit code $rc"
    sed 's/^/   | /' "$work/$1.out"
    [[ $rc -eq 1 ]] || fail "$1: exit code $rc, not 1"
    [[ $(wc -l <"$work/$1.out") -eq 1 ]] && grep -qF "$2" "$work/$1.out" ||
        fail "$1: not one line saying '$2'"
    grep -qF "$2" "$log" || fail "$1: '$2' is not in $log"
}

phase "run 2: Fullscreen, then No Launch, started from a folder without assets"
(cd "$work" && exec wine "$release") \
    >"$work/run2.out" 2>"$work/run2.err" &
pid=$!
screen_before=$(xdotool getdisplaygeometry)
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    click_dialog "$dialog" 130 65 # the "Fullscreen" box
    click_dialog "$dialog" 60 110 # "No Launch"
    for ((i = 0; i < 100; i++)); do kill -0 $pid 2>/dev/null && sleep 0.2; done
else
    fail "no launcher dialog"
fi
kill -0 $pid 2>/dev/null && { fail "velmora.exe still runs after No Launch: killed"; kill $pid; }
rc=0
wait $pid || rc=$?
echo "exit code $rc, $(wc -c <"$work/run2.out") bytes of output"
[[ $rc -eq 0 ]] || fail "exit code $rc after No Launch"
[[ -s $work/run2.out ]] && fail "No Launch printed: $(head -c 200 "$work/run2.out")"
[[ $(xdotool getdisplaygeometry) == "$screen_before" ]] || fail "No Launch changed the display"

phase "run 3: the preselected resolution, closed with Alt+F4"
(cd "$release_dir" && exec wine "$release") \
    >"$work/run3.out" 2>"$work/run3.err" &
pid=$!
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    click_dialog "$dialog" 188 110
    if window=$(wait_for_windows Velmora 120); then
        eval "$(xdotool getwindowgeometry --shell "$window")"
        echo "   window ${WIDTH}x${HEIGHT}"
        for ((i = 0; i < 24; i++)); do
            kill -0 $pid 2>/dev/null || break
            xdotool windowfocus --sync "$window" key alt+F4 2>/dev/null || true
            sleep 5
        done
    else
        fail "no Velmora window"
    fi
else
    fail "no launcher dialog"
fi
kill -0 $pid 2>/dev/null && { fail "velmora.exe still runs after Alt+F4: killed"; kill $pid; }
rc=0
wait $pid || rc=$?
echo "exit code $rc"
[[ $rc -eq 0 ]] || { fail "exit code $rc after closing the window"; tail -n 20 "$work/run3.err"; }

phase "run 5: a size the GL cannot draw at"
wine "$exe" >"$work/run5.out" 2>"$work/run5.err" &
pid=$!
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    type_resolution "$dialog" 99999x99999
    click_dialog "$dialog" 188 110
else
    fail "no launcher dialog"
fi
log=$windows_build/velmora.log
expect_start_box run5 "Cannot draw at 99999x99999: "
grep -q "GL_MAX_" "$work/run5.out" || fail "not one line naming the GL's limit"

phase "run 4: no OpenGL 3.3 core context"
MESA_GL_VERSION_OVERRIDE=3.0 wine "$exe" >"$work/run4.out" 2>"$work/run4.err" &
pid=$!
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    type_resolution "$dialog" 640x480
    click_dialog "$dialog" 188 110
else
    fail "no launcher dialog"
fi
expect_start_box run4 "The OpenGL driver cannot create an OpenGL 3.3 core context"

phase "run 4c: a lone velmora.exe in an empty folder"
mkdir "$work/lone"
cp "$exe" "$work/lone/"
(cd "$work/lone" && exec wine ./velmora.exe) >"$work/lone.out" 2>"$work/lone.err" &
pid=$!
log=$work/lone/velmora.log
expect_start_box lone "No assets folder with the demo's files in "

phase "DirectShow player"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=3" -c:a libmp3lame -b:a 128k \
    "$work/tone.mp3"
rc=0
wine "$windows_build/velmora-music-check.exe" "$work/tone.mp3" >"$work/music.out" 2>/dev/null || rc=$?
sed 's/^/   | /' "$work/music.out"
[[ $rc -eq 0 ]] || fail "the DirectShow player checks"

phase "the window"
rc=0
wine "$windows_build/velmora-window-check.exe" >"$work/window.out" 2>/dev/null || rc=$?
sed 's/^/   | /' "$work/window.out"
[[ $rc -eq 0 ]] || fail "the window checks"
[[ $(grep -c "^The display cannot switch to 800x600 .*: the demo runs in a centred window" \
    "$work/window.out") -eq 1 ]] || fail "no one line for the refused full-screen mode"

phase "velmora-dev.exe: pause, one bar forward, hot reload, Escape"
mkdir -p "$work/dev/assets"
for f in assets/*; do ln -s "$PWD/$f" "$work/dev/assets/"; done
rm "$work/dev/assets/solidcolor.shader" "$work/dev/assets/mesh" "$work/dev/assets/moss.jpg"
cp assets/solidcolor.shader "$work/dev/assets/"
mkdir "$work/dev/assets/mesh"
for f in assets/mesh/*; do ln -s "$PWD/$f" "$work/dev/assets/mesh/"; done
rm "$work/dev/assets/mesh/cave.mesh"
head -c 100 assets/mesh/cave.mesh >"$work/dev/assets/mesh/cave.mesh"
: >"$work/dev/assets/moss.jpg"
(cd "$work/dev" && exec wine "$OLDPWD/$dev_exe") >"$work/dev.out" 2>"$work/dev.err" &
pid=$!
# dev_wait PATTERN: waits up to 15 s for a line of velmora-dev.exe matching PATTERN.
dev_wait() {
    for ((i = 0; i < 75; i++)); do
        tr -d '\r' <"$work/dev.out" | grep -E "$1" >/dev/null && return 0
        sleep 0.2
    done
    return 1
}
# dev_line N: waits up to 30 s for the Nth "position" line; prints it without its CR.
dev_line() {
    local line
    for ((i = 0; i < 150; i++)); do
        line=$(grep '^position ' "$work/dev.out" | sed -n "${1}p" | tr -d '\r')
        [[ -n $line ]] && { echo "$line"; return 0; }
        sleep 0.2
    done
    return 1
}
if dialog=$(wait_for_windows "ZORVEK LAUNCHER" 60); then
    type_resolution "$dialog" 640x360
    click_dialog "$dialog" 188 110
    if box=$(wait_for_windows "Velmora: files missing or damaged" 120); then
        tr -d '\r' <"$work/dev.out" | grep -A3 "files are missing or damaged" | sed 's/^/   | /'
        tr -d '\r' <"$work/dev.out" | grep -q "^2 of the demo's [0-9]* files are missing or damaged" &&
            grep -q "^assets/moss.jpg" "$work/dev.out" && grep -q "^assets/mesh/cave.mesh" "$work/dev.out" ||
            fail "velmora-dev.exe: the note does not name the two damaged files"
        xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
        # The box disables the demo's window until it is gone: keys sent before then are lost.
        for ((i = 0; i < 50; i++)); do
            xdotool search --name "^Velmora: files" >/dev/null 2>&1 || break
            sleep 0.2
        done
        sleep 1
    else
        fail "velmora-dev.exe: no box for the damaged files"
    fi
    if window=$(wait_for_windows Velmora 120) && dev_line 1 >/dev/null; then
        # Each key's line is the first one after the lines already printed (the program may print
        # a position line of its own before the first key, e.g. once the box is gone).
        press() {  # press KEY: the position its line names, paused
            local n
            n=$(grep -c '^position ' "$work/dev.out" || true)
            xdotool windowfocus --sync "$window" key "$1"
            dev_line $((n + 1)) | sed -nE 's/^position ([0-9.]+)b paused$/\1/p'
        }
        paused=$(press space) || true
        moved=$(press Right) || true
        beat=$(press shift+Right) || true
        echo "   paused at ${paused:-?}b, Right: ${moved:-?}b, Shift+Right: ${beat:-?}b"
        awk -v p="${paused:-x}" -v m="${moved:-y}" 'BEGIN { d = m - p - 1; exit !(p != "x" && m != "y" && d < 0.0015 && d > -0.0015) }' ||
            fail "velmora-dev.exe: Space then Right did not move the paused position one bar"
        awk -v m="${moved:-x}" -v b="${beat:-y}" 'BEGIN { d = b - m - 0.25; exit !(m != "x" && b != "y" && d < 0.0015 && d > -0.0015) }' ||
            fail "velmora-dev.exe: Shift+Right did not move the paused position one beat"
        echo "this is not GLSL;" >>"$work/dev/assets/solidcolor.shader"
        dev_wait '^assets/solidcolor.shader does not build' ||
            fail "velmora-dev.exe: a shader with a syntax error was not reported"
        cp assets/solidcolor.shader "$work/dev/assets/"
        dev_wait '^reloaded assets/solidcolor.shader in [0-9]+ ms$' ||
            fail "velmora-dev.exe: the shader saved back was not reloaded"
        tr -d '\r' <"$work/dev.out" | grep -E 'solidcolor.shader (does not|in)' | sed 's/^/   | /'
        escape_until_gone "$window"
    else
        fail "velmora-dev.exe: no window or no position line"
    fi
else
    fail "velmora-dev.exe: no launcher dialog"
fi
kill -0 $pid 2>/dev/null && { fail "velmora-dev.exe still runs: killed"; kill $pid; }
rc=0
wait $pid || rc=$?
echo "   exit code $rc"
[[ $rc -eq 0 ]] || { fail "velmora-dev.exe: exit code $rc"; tail -n 20 "$work/dev.out" "$work/dev.err"; }

phase "GDI+ against the Linux decoder"
mkdir -p "$work/images" "$work/dumps"
"$compare" make "$work/images"
images=("$work"/images/* $(ls assets/*.jpg assets/*.png 2>/dev/null || true))
wine "$windows_build/velmora-image-dump.exe" "$work/dumps" "${images[@]}" >"$work/dump.out" 2>/dev/null ||
    fail "GDI+ could not decode every image: $(grep 'cannot' "$work/dump.out" | tr '\n' ' ')"
rc=0
"$compare" check "$work/dumps" "${images[@]}" >"$work/compare.out" || rc=$?
sed 's/^/   | /' "$work/compare.out"
[[ $rc -eq 0 ]] || fail "GDI+ and the Linux decoder differ by more than 1"

phase "maths bits against the Linux build"
rc=0
wine "$windows_build/velmora-math-bits.exe" 2>/dev/null | tr -d '\r' >"$work/bits-windows.txt" || rc=$?
"$math_bits" >"$work/bits-linux.txt" || rc=$?
lines=$(wc -l <"$work/bits-linux.txt")
if [[ $rc -ne 0 || $lines -eq 0 ]]; then
    fail "velmora-math-bits did not run (exit code $rc, $lines lines)"
elif ! cmp -s "$work/bits-linux.txt" "$work/bits-windows.txt"; then
    differing=$(diff "$work/bits-linux.txt" "$work/bits-windows.txt" | grep -c '^<' || true)
    fail "$differing of $lines lines differ; the first (< Linux, > Windows):"
    diff "$work/bits-linux.txt" "$work/bits-windows.txt" | head -n 12 | sed 's/^/   | /' || true
else
    echo "   $lines lines, all the same bits"
fi

phase "done"
if [[ $failures -ne 0 ]]; then
    echo "wine-smoke: $failures check(s) failed"
    exit 1
fi
echo "wine-smoke: passed in $((SECONDS - start)) s"
