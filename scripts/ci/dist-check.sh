#!/usr/bin/env bash
# The release archives, checked as a viewer gets them: `make-dist` twice gives byte-identical files;
# each archive is unpacked into a fresh folder outside the repository and run from there. The Linux
# runner's frames there equal the tree's; the web zip (when the browser build exists: the browser
# test runs before this one) is served from its unpacked folder and draws two stills in headless
# Chromium like the runner's; velmora.exe is checked by the Wine smoke test, which runs the unpacked
# copy when dist/zorvek-velmora-win32.zip exists (so this check runs before it).
set -euo pipefail
cd "$(dirname "$0")/../.."
start=$SECONDS
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

scripts/make-dist
sums=$(sha256sum dist/zorvek-velmora-*)
scripts/make-dist >/dev/null
[[ $(sha256sum dist/zorvek-velmora-*) == "$sums" ]] || fail "a second make-dist gave other bytes"
win_size=$(stat -c %s dist/zorvek-velmora-win32.zip)
((win_size < 20 * 1024 * 1024)) || fail "the Windows zip is $win_size bytes"

work=$(mktemp -d /tmp/velmora-dist.XXXXXX)
trap 'rm -rf "$work"' EXIT
times=10,60b,100b
build/linux/src/app/headless/velmora-headless --size 96x54 --times $times --png "$work/tree" \
    >/dev/null 2>&1

# Linux: unpacked elsewhere, started from another folder.
mkdir -p "$work/linux"
tar -C "$work/linux" -xzf dist/zorvek-velmora-linux-x86_64.tar.gz
root=$work/linux/zorvek-velmora
mapfile -t manifest < <(build/linux/src/app/headless/velmora-headless --list-assets)
for f in velmora velmora-headless run-velmora velmora.nfo velmora.png "${manifest[@]}"; do
    [[ -e $root/$f ]] || fail "the Linux archive lacks $f"
done
(cd "$root" && ./velmora-headless --size 96x54 --times $times --png "$work/unpacked" >/dev/null 2>&1) ||
    fail "velmora-headless from the unpacked archive"
for i in 0 1 2; do
    name=$(printf 'frame_%05d.png' $i)
    cmp -s "$work/tree/$name" "$work/unpacked/$name" || fail "frame $i from the archive differs"
done
(cd "$root" && ./velmora --help >/dev/null 2>&1) || true

# No folder of the machine that built them inside the programs and the page.
mkdir -p "$work/win"
python3 -m zipfile -e dist/zorvek-velmora-win32.zip "$work/win"
released=("$root/velmora" "$root/velmora-headless" "$work/win/zorvek-velmora/velmora.exe")
for f in "${released[@]}"; do
    ! strings -a "$f" | grep -qF "$PWD" || fail "$f holds the build folder $PWD"
done
scripts/check-exe-imports "$work/win/zorvek-velmora/velmora.exe" || fail "velmora.exe would not load on XP SP3"

# Windows: the zip holds the program, exactly the demo's assets, the .nfo and the screenshot.
python3 - dist/zorvek-velmora-win32.zip "${manifest[@]}" <<'PYTHON' || fail "the Windows zip's contents"
import sys, zipfile
names = zipfile.ZipFile(sys.argv[1]).namelist()
assets = [n for n in names if n.startswith("zorvek-velmora/assets/")]
shaders = [n for n in assets if n.endswith(".shader")]
images = [n for n in assets if n.endswith((".png", ".jpg"))]
meshes = [n for n in assets if n.endswith(".mesh")]
ok = sorted(assets) == sorted("zorvek-velmora/" + m for m in sys.argv[2:])
for f in ("velmora.exe", "velmora.nfo", "velmora.png"):
    ok = ok and "zorvek-velmora/" + f in names
print(f"win32 zip: {len(names)} files, {len(shaders)} shaders, {len(images)} images, {len(meshes)} meshes")
sys.exit(0 if ok else 1)
PYTHON

# Web: served from the unpacked folder, two stills against the runner's frames.
if [[ -f dist/zorvek-velmora-web.zip ]]; then
    mkdir -p "$work/web" "$work/web-ref" "$work/web-shots"
    python3 -m zipfile -e dist/zorvek-velmora-web.zip "$work/web"
    site=$work/web/zorvek-velmora-web
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
    server=$!
    trap 'kill $server 2>/dev/null || true; rm -rf "$work"' EXIT
    for _ in $(seq 50); do
        python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" \
            2>/dev/null && break
        sleep 0.1
    done
    build/linux/src/app/headless/velmora-headless --size 640x360 --times 23b,96b \
        --png "$work/web-ref" >/dev/null 2>&1
    node tests/web/browser-check.mjs stills "http://127.0.0.1:$port" "$work/web-ref" \
        "$work/web-shots" 10 23b 96b || fail "the unpacked web folder"
fi

echo "dist-check: $failures failure(s) in $((SECONDS - start)) s"
((failures == 0))
