#!/usr/bin/env bash
# scripts/capture-farm against one `velmora-headless --video` run with the same options: the
# farm's file must decode to the same pictures and sound, whether its segments are rendered here,
# on stand-in hosts (one of them down) or after an interruption and --resume; and the runner's
# pieces (--first-frame, --frame-count) against one whole run.
# Usage: farm-test.sh pieces|exact|remote|resume RUNNER
set -uo pipefail
what=$1 runner=$2
here=$(cd "$(dirname "$0")" && pwd)
farm=$here/../../scripts/capture-farm
dir=$(mktemp -d /tmp/velmora-farm-test.XXXXXX)
trap 'rm -rf "$dir"' EXIT
cd "$dir" || exit 1
failures=0
check() { # WHAT COMMAND...
  local message=$1
  shift
  "$@" || { echo "FAIL: $message" && failures=$((failures + 1)); }
}

# Pieces that start one frame into each scene (bars 0, 8, 22, 24, 40, 56, 60, 72, 88, 104, 120),
# so that the frame drawn before each is that scene's own first: every frame equals the whole
# run's, also where a scene relies on state an earlier scene left behind.
if [[ $what == pieces ]]; then
  "$runner" --size 16x9 --fps 2 --png whole >/dev/null 2>&1 || { echo "FAIL: the whole run" && exit 1; }
  cuts=() last=$(($(ls whole | wc -l) - 1))
  for bar in 0 8 22 24 40 56 60 72 88 104 120; do cuts+=($((bar * 4800 / 1780 + 2))); done
  cuts+=($((last + 1)))
  for ((i = 0; i + 1 < ${#cuts[@]}; ++i)); do
    "$runner" --size 16x9 --fps 2 --first-frame "${cuts[i]}" --frame-count $((cuts[i + 1] - cuts[i])) \
      --png pieces >/dev/null 2>&1 || { echo "FAIL: the piece from frame ${cuts[i]}" && exit 1; }
  done
  for f in pieces/*; do
    cmp -s "$f" "whole/${f#pieces/}" || { echo "FAIL: $f differs from the whole run's" && exit 1; }
  done
  test "$(ls pieces | wc -l)" == $((last + 1 - cuts[0])) || { echo "FAIL: pieces missing" && exit 1; }
  exit 0
fi

# Clicks every 0.5 s of music; frames 1.2 s to 5.2 s at 30 fps: 120 frames, three segments of 40.
ffmpeg -v error -f lavfi -i "aevalsrc='if(lt(mod(t,0.5),0.01),0.8*sin(2*PI*1000*t),0)':s=44100:d=6" \
  -ac 2 click.wav || exit 1
options=(--size 64x36 --fps 30 --from 1.2 --to 5.2 --music "$dir/click.wav")
"$runner" "${options[@]}" --video single.mp4 >single.log 2>&1 || { echo "FAIL: the single run" && exit 1; }
"$runner" "${options[@]}" --segment whole.mkv >whole.log 2>&1 || { echo "FAIL: the lossless run" && exit 1; }
hashes() { ffmpeg -v error "$@" -f framemd5 - | grep -v '^#' | awk -F', *' '{ print $NF }'; }
whole=$(hashes -i whole.mkv -map 0:v)
sound=$(hashes -i single.mp4 -map 0:a)
# What the farm encoded is the single run's frames, each once and in order (exact, from the
# lossless segments); its file has the single --video run's sound and as many pictures, each equal
# within what one encode differs from the next (x264 is not bit-reproducible run to run).
same_as_single() { # OUT.mp4
  local psnr
  test "$(hashes -f concat -safe 0 -i "${1%.mp4}.farm/segments.txt" -map 0:v)" == "$whole" &&
    test "$(hashes -i "$1" -map 0:a)" == "$sound" &&
    test "$(ffprobe -v error -show_entries stream=nb_frames -of csv=p=0 "$1")" == \
      "$(ffprobe -v error -show_entries stream=nb_frames -of csv=p=0 single.mp4)" &&
    psnr=$(ffmpeg -i "$1" -i single.mp4 -lavfi "[0:v][1:v]psnr" -f null - 2>&1 | grep -o 'min:[0-9.inf]*') &&
    awk -v p="${psnr#min:}" 'BEGIN { exit !(p == "inf" || p + 0 >= 45) }'
}
farm() { "$farm" --runner "$runner" --segments 3 "$@"; }

case $what in
  exact)
    farm farm.mp4 -- "${options[@]}" >farm.log 2>&1
    status=$?
    check "the farm run succeeds: $(cat farm.log)" test $status == 0
    check "three segments of 40 frames" test "$(cut -d' ' -f3 farm.farm/plan | tr '\n' ' ')" == "40 40 40 "
    # Every frame once, in order, and the same sound: no frame doubled or lost at a join.
    check "the farm's pictures and sound are the single run's" same_as_single farm.mp4
    durations=$(ffprobe -v error -show_entries stream=duration -of csv=p=0 farm.mp4 | tr '\n' ' ')
    check "sound as long as the picture (4 s): $durations" \
      awk -v d="$durations" 'BEGIN { split(d, s, " "); exit !(s[1] == 4 && s[2] > 3.98 && s[2] <= 4.03) }'
    # The clicks at music 1.5 s and 2.0 s start 0.3 s and 0.8 s into the file.
    onsets=$(ffmpeg -i farm.mp4 -map 0:a -af silencedetect=n=-20dB:d=0.1 -f null - 2>&1 |
      sed -n 's/.*silence_end: \([0-9.]*\).*/\1/p' | head -n 2 | tr '\n' ' ')
    check "clicks at 0.3 s and 0.8 s, not $onsets" awk -v o="$onsets" \
      'BEGIN { split(o, t, " "); exit !((t[1] - 0.3)^2 < 4e-6 && (t[2] - 0.8)^2 < 4e-6) }'
    ;;
  remote)
    # Two "hosts" over a stand-in ssh; down-b cannot be reached, so its segments go to host-a.
    export STAND_IN_ROOT=$dir/hosts PARALLEL_SSH=$here/stand-in-ssh
    mkdir hosts && printf '1/host-a\n1/down-b\n' >hosts.txt
    # Without SHELL, as under cron and some CI runners.
    (unset SHELL && farm --hosts hosts.txt remote.mp4 -- "${options[@]}" >remote.log 2>&1)
    status=$?
    check "the farm run succeeds: $(cat remote.log)" test $status == 0
    check "the remote run's pictures and sound are the single run's" same_as_single remote.mp4
    check "down-b was tried" grep -q '^down-b ' hosts/calls
    check "host-a rendered all three segments" test $(cut -f2 remote.farm/joblog | grep -c host-a) == 3
    check "the runner and assets went to host-a once" \
      test $(grep -c '^host-a rsync --server -[a-zA-Z.]* \. .*farm$' hosts/calls) == 1
    check "each segment's log came back" grep -q "40 frames rendered" remote.farm/segment-0003.log
    # Only hosts that cannot be reached: one line per problem, a failure, nothing joined.
    printf 'down-b\n' >down.txt
    farm --hosts down.txt down.mp4 -- "${options[@]}" >down.log 2>&1
    status=$?
    check "no host: exit 1, not $status" test $status == 1
    check "no host: says which segments are missing: $(cat down.log)" \
      grep -q '^capture-farm: segments 0001 0002 0003 were not rendered' down.log
    check "no host: no file" test ! -e down.mp4
    ;;
  resume)
    # Stopped once the first segment is finished; --resume renders only the other two.
    setsid "$farm" --runner "$runner" --segments 3 --jobs 1 resume.mp4 -- "${options[@]}" \
      >first.log 2>&1 &
    pid=$!
    for ((i = 0; i < 1200; ++i)); do
      [[ -e resume.farm/segment-0001.mkv ]] && break
      sleep 0.1
    done
    kill -TERM -- -"$pid"
    wait "$pid"
    status=$?
    check "the interrupted run fails: $(cat first.log)" test $status != 0 -a ! -e resume.mp4
    check "no partial segment counts as finished" test ! -e resume.farm/segment-0003.mkv
    farm --resume resume.mp4 -- "${options[@]}" >resume.log 2>&1
    status=$?
    check "the resumed run succeeds: $(cat resume.log)" test $status == 0
    check "the resumed run's pictures and sound are the single run's" same_as_single resume.mp4
    check "the log says segment 1 was kept" grep -q 'segment 0001 kept' resume.farm/farm.log
    check "segment 1 was not rendered again" test $(grep -c segment-0001 resume.farm/joblog) == 0
    ;;
  *) echo "usage: farm-test.sh pieces|exact|remote|resume RUNNER" && exit 2 ;;
esac
((failures == 0))
