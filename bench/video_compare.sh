#!/usr/bin/env bash
# MP4 (H.264) and WebM (VP9): Pelko's writer beside the ffmpeg command line at
# the same CRF and preset, each a whole process timed with /usr/bin/time -v
# (median of 3): wall time ratio and size ratio. Then the size budget: for
# 0.5, 1 and 2 MB the file's size against the budget, and its time against
# one encode at the quality setting.
#
#   bash bench/video_compare.sh BUILD_DIR [WORK_DIR]
#
# BUILD_DIR holds bench/bench_video_out (configure with -DPELKO_BENCH=ON,
# build the target bench_video_out). Two sets of 60 frames at 640x360 and
# 100 ms a frame: the benchmark frames, and the screen-recording-like part
# of a longer run of the same frame maker.
set -euo pipefail
build=${1:?usage: video_compare.sh BUILD_DIR [WORK_DIR]}
tool=$build/bench/bench_video_out
[ -x "$tool" ] || { echo "$tool is missing: build the target bench_video_out"; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
maker=$root/../shared/bench/make_frames.sh
work=${2:-$(mktemp -d)}
mkdir -p "$work"
crf264=23 preset=medium crfvp9=31

[ -e "$work/bench/frame_0060.png" ] || bash "$maker" "$work/bench" 60 640x360 >/dev/null
[ -e "$work/long/frame_0120.png" ] || bash "$maker" "$work/long" 180 640x360 >/dev/null
mkdir -p "$work/screen"
for i in $(seq 61 120); do ln -sf "$work/long/frame_$(printf %04d "$i").png" "$work/screen/frame_$(printf %04d $((i - 60))).png"; done

# Wall seconds of a command, from /usr/bin/time -v.
wall() {
  /usr/bin/time -v "$@" 2>"$work/time.txt" >"$work/out.txt" || { cat "$work/time.txt"; exit 1; }
  sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; ++i) s = s * 60 + $i; print s }'
}
median3() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
timed() {  # median wall time of 3 runs of the command
  local a b c
  a=$(wall "$@"); b=$(wall "$@"); c=$(wall "$@")
  median3 "$a" "$b" "$c"
}
size() { stat -c %s "$1"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

printf '%-7s %-5s %9s %9s %6s %11s %11s %6s\n' set kind ours_s ffmpeg_s time ours_B ffmpeg_B size
for set in bench screen; do
  frames=("$work/$set"/frame_*.png)
  for kind in mp4 webm; do
    if [ $kind = mp4 ]; then
      ours=(--crf $crf264 --preset $preset)
      theirs=(-c:v libx264 -crf $crf264 -preset $preset -pix_fmt yuv420p -movflags +faststart)
    else
      ours=(--crf $crfvp9)
      theirs=(-c:v libvpx-vp9 -crf $crfvp9 -b:v 0 -pix_fmt yuv420p)
    fi
    t1=$(timed "$tool" "$work/ours.$kind" "${ours[@]}" --time 100 "${frames[@]}")
    t2=$(timed ffmpeg -y -v error -framerate 10 -i "$work/$set/frame_%04d.png" "${theirs[@]}" "$work/ffmpeg.$kind")
    s1=$(size "$work/ours.$kind") s2=$(size "$work/ffmpeg.$kind")
    printf '%-7s %-5s %9s %9s %6s %11s %11s %6s\n' $set $kind "$t1" "$t2" "$(ratio "$t1" "$t2")" "$s1" "$s2" "$(ratio "$s1" "$s2")"
    eval "single_${set}_$kind=$t1"
  done
done

echo
printf '%-7s %-5s %8s %11s %6s %9s %6s  %s\n' set kind budget bytes size seconds time report
for set in bench screen; do
  frames=("$work/$set"/frame_*.png)
  for kind in mp4 webm; do
    single=$(eval echo "\$single_${set}_$kind")
    extra=(); [ $kind = mp4 ] && extra=(--preset $preset)
    for budget in 500000 1000000 2000000; do
      t=$(timed "$tool" "$work/fit.$kind" "${extra[@]}" --max-size $budget --time 100 "${frames[@]}")
      report=$(cat "$work/out.txt")
      s=$(size "$work/fit.$kind")
      printf '%-7s %-5s %8s %11s %6s %9s %6s  %s\n' $set $kind $budget "$s" "$(ratio "$s" $budget)" "$t" "$(ratio "$t" "$single")" "${report#*: }"
    done
  done
done
