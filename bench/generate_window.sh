#!/usr/bin/env bash
# Generate from the window against pelko-cli make: the benchmark frames
# (../shared/bench/make_frames.sh) written as an animated GIF by
# pelko-cli make, and by the window's Generate (bench_gui_generate, built
# with -DPELKO_BENCH=ON and the GUI), best of three each; prints the ratio.
#   bash bench/generate_window.sh PELKO_CLI BENCH_GUI_GENERATE [N=60] [WxH=640x360]
set -euo pipefail
cli=$(realpath "$1")
bench=$(realpath "$2")
n=${3:-60}
size=${4:-640x360}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
bash "$here/../../shared/bench/make_frames.sh" "$tmp/frames" "$n" "$size" > /dev/null

best=
for i in 1 2 3; do
  start=$(date +%s.%N)
  "$cli" make "$tmp/cli.gif" "$tmp"/frames/frame_*.png 2> /dev/null
  t=$(echo "$(date +%s.%N) - $start" | bc)
  if [ -z "$best" ] || [ "$(echo "$t < $best" | bc)" = 1 ]; then best=$t; fi
done
cli_ms=$(echo "$best * 1000 / 1" | bc)

json=$(PELKO_BENCH_FRAMES="$tmp/frames" QT_QPA_PLATFORM=offscreen "$bench" --benchmark_format=json 2>/dev/null)
window_ms=$(echo "$json" | python3 -c 'import json,sys; d=json.load(sys.stdin)
print(" ".join("%s=%.0f" % (b["name"], b["real_time"]) for b in d["benchmarks"]))')
echo "frames $n at $size"
echo "pelko-cli make: ${cli_ms} ms (with reading the pictures; $(stat -c %s "$tmp/cli.gif") bytes)"
for kv in $window_ms; do
  name=${kv%%=*}; ms=${kv#*=}
  echo "window $name: ${ms} ms, ratio $(echo "scale=2; $ms / $cli_ms" | bc)"
done
