#!/usr/bin/env bash
# CI: the browser build in headless Chromium (software WebGL 2 through SwiftShader).
#   1. Size: velmora.js + velmora.wasm + the page (index.html, launcher.js) weigh at most 2 MB.
#   2. The portable maths compiled to wasm (velmora-math-bits.js under node: scalar sines, matrices,
#      the clock, the surface fields and the generated meshes, on one thread) gives the same bits
#      as the Linux build, line by line.
#   3. Images decoded by the page (createImageBitmap, read back through WebGL 2) match the Linux
#      decoder within 1 per channel: the demo's images and a test set covering the formats.
#   4. Stills: ?t=T&still=1 at eleven times across the demo, one per scene, screenshot at
#      640 x 360 and compared with the headless runner's frame at the same time. SwiftShader is not
#      llvmpipe, so frames are not bit-identical: each must be within a mean absolute difference
#      of 10 (of 255) of its reference and closer to it than to any other time's. Seen so far:
#      0.2 to 5 for the same time (the intro's dust motes land differently: their hash is sin() of
#      large numbers), 19 and more between different times, 19 between the two cave shots.
#   5. Without WebGL 2 (switched off) the launcher says so and Launch stays disabled.
#   6. Playback with autoplay allowed: a custom 800x450 in full screen, Launch pressed with the
#      mouse; the drawing buffer has that size, the stage is full screen, the music position
#      advances at real speed, frames are drawn and the sound plays; leaving full screen ends the
#      demo. Prints Launch -> first frame. Launched again: Space pauses and resumes the music, and
#      after a seek to 190.5 s the demo ends by itself past bar 142.
#   7. When things go wrong (tests/web/failure-check.mjs): files missing or cut short, sizes the
#      WebGL cannot hold, still-mode errors, a lost and restored WebGL context, held Space and a
#      seek on a fresh load; no build-machine path in the built files.
# Builds what it needs: the web preset (make web) and, when missing, the headless runner, the
# image comparer and the maths printer of the linux preset. Serves a copy of build/web on 127.0.0.1.
set -euo pipefail
cd "$(dirname "$0")/../.."
start=$SECONDS
phase() { echo "-- $1 ($((SECONDS - start)) s)"; }
failures=0
passed=0
result() {  # result NAME EXIT_CODE
    if [[ $2 -eq 0 ]]; then passed=$((passed + 1)); else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

phase "build: web"
make --no-print-directory web
linux_build=${VELMORA_LINUX_BUILD:-build/linux}
headless=$linux_build/src/app/headless/velmora-headless
compare=$linux_build/tests/win32/velmora-image-compare
math_bits=$linux_build/tests/crosstarget/velmora-math-bits
if [[ ! -x $headless || ! -x $compare || ! -x $math_bits ]]; then
    phase "build: headless runner, image comparer, maths printer"
    [[ -f $linux_build/CMakeCache.txt ]] || cmake --preset linux >/dev/null
    cmake --build "$linux_build" --target velmora-headless velmora-image-compare velmora-math-bits \
        -j 2 >/dev/null
fi

work=$(mktemp -d /tmp/velmora-web.XXXXXX)
server=""
nosniff_server=""
cleanup() {
    [[ -n $server ]] && kill "$server" 2>/dev/null || true
    [[ -n $nosniff_server ]] && kill "$nosniff_server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

phase "size"
bytes=$(cat build/web/velmora.js build/web/velmora.wasm build/web/index.html build/web/launcher.js | wc -c)
echo "   velmora.wasm $(wc -c <build/web/velmora.wasm), velmora.js $(wc -c <build/web/velmora.js)," \
     "page $(cat build/web/index.html build/web/launcher.js | wc -c): $bytes bytes in all"
[[ $bytes -le 2097152 ]]
result "wasm + JS + page within 2 MB" $?

phase "maths bits: wasm against the Linux build"
rc=0
node build/web-cmake/velmora-math-bits.js >"$work/bits-web.txt" 2>"$work/bits-web.err" || rc=$?
"$math_bits" >"$work/bits-linux.txt" || rc=$?
lines=$(wc -l <"$work/bits-linux.txt")
if [[ $rc -ne 0 || $lines -eq 0 ]]; then
    echo "   velmora-math-bits did not run (exit code $rc, $lines lines)"; rc=1
elif ! cmp -s "$work/bits-linux.txt" "$work/bits-web.txt"; then
    echo "   $(diff "$work/bits-linux.txt" "$work/bits-web.txt" | grep -c '^<' || true) of $lines" \
         "lines differ; the first (< Linux, > wasm):"
    diff "$work/bits-linux.txt" "$work/bits-web.txt" | head -n 8 | sed 's/^/   | /' || true
    rc=1
else
    echo "   $lines lines, all the same bits"
fi
result "maths bits" $rc

phase "no build-machine path in the built files"
rc=0
if grep -rlF "$PWD/" build/web; then echo "   the files above name $PWD/"; rc=1; fi
result "no build path" $rc

mkdir -p "$work/dumps" "$work/reference" "$work/shots"
cp -r build/web "$work/site"
# The page with one file missing or cut short, next to the whole one.
for variant in no-data short-data no-wasm short-wasm no-launcher damaged; do
    mkdir -p "$work/$variant" && cp -rs "$work/site/." "$work/$variant/"
done
rm "$work/no-data/velmora.data" "$work/no-wasm/velmora.wasm" "$work/no-launcher/launcher.js" \
   "$work/damaged/assets/rec.png"
for file in short-data/velmora.data short-wasm/velmora.wasm damaged/assets/tunevox_11.mp3; do
    whole=$work/site/${file#*/}
    rm "$work/$file" && head -c $(($(stat -c %s "$whole") / 2)) "$whole" >"$work/$file"
done
mkdir -p "$work/site/imagecheck"
"$compare" make "$work/site/imagecheck" >/dev/null
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
# python's server answers no range requests: seeking must not depend on them.
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work" >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do
    python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/site/index.html')" \
        2>/dev/null && break
    sleep 0.1
done
base=http://127.0.0.1:$port/site
# The same page with every script served as text/plain and "nosniff": the browser refuses them.
nosniff_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
(cd "$work/site" && exec python3 -c '
import http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".js": "text/plain"})
    def end_headers(self):
        self.send_header("X-Content-Type-Options", "nosniff")
        super().end_headers()
http.server.test(Handler, port=int(sys.argv[1]), bind="127.0.0.1")' "$nosniff_port" \
    >/dev/null 2>&1) &
nosniff_server=$!
check=tests/web/browser-check.mjs

phase "images: the page's decoding against the Linux decoder"
images=$(cd "$work/site" && ls imagecheck/* assets/*.png assets/*.jpg)
rc=0
node $check images "$base" "$work/dumps" $images || rc=$?
if [[ $rc -eq 0 ]]; then
    (cd "$work/site" && "$OLDPWD/$compare" check "$work/dumps" $images) | sed 's/^/   /' || rc=$?
fi
result "image decoding" $rc

phase "stills against the headless runner"
times=(2b 12b 23b 30b 48b 58b 64b 80b 96b 112b 128b)
rc=0
"$headless" --size 640x360 --times "$(IFS=,; echo "${times[*]}")" --png "$work/reference" \
    >/dev/null 2>&1 || rc=$?
[[ $rc -eq 0 ]] && { node $check stills "$base" "$work/reference" "$work/shots" 10 "${times[@]}" || rc=$?; }
result "stills" $rc

phase "a browser without WebGL 2"
rc=0
node $check nowebgl "$base" || rc=$?
result "the message without WebGL 2" $rc

phase "playback with autoplay allowed"
rc=0
node $check playback "$base" || rc=$?
result "playback" $rc

for check in files sizes stills context controls; do
    phase "when things go wrong: $check"
    rc=0
    node tests/web/failure-check.mjs $check "http://127.0.0.1:$port" "http://127.0.0.1:$nosniff_port" \
        || rc=$?
    result "failures: $check" $rc
done

echo "browser-test: $passed passed, $failures failed ($((SECONDS - start)) s)"
[[ $failures -eq 0 ]]
