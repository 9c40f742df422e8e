#!/usr/bin/env bash
# CI: the desktop program under Xvfb (Escape, the close message, the launcher worked by clicks,
# "No Launch"), then its developer mode (transport keys, paused picture, loop, hot reload). Needs
# the linux preset built. Unlike under ctest, a missing Xvfb or xdotool fails here: CI installs
# both.
set -euo pipefail
cd "$(dirname "$0")/../.."
bin=build/linux
code=0
tests/desktop/desktop-smoke.sh $bin/src/app/linux/velmora $bin/tests/desktop/send-wm-delete || code=$?
if [[ $code == 0 ]]; then
    tests/desktop/devmode-smoke.sh $bin/src/app/linux/velmora $bin/tests/desktop/window-checksum ||
        code=$?
fi
[[ $code == 77 ]] && echo "desktop smoke: Xvfb or xdotool missing"
exit $code
