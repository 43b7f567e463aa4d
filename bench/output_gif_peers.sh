#!/usr/bin/env bash
# Animated GIF from 60 frames of 640x360: pelko-cli make beside the peer
# pipelines (ffmpeg palettegen + paletteuse, ImageMagick -layers Optimize),
# in one run. Prints wall and CPU seconds, peak memory, size and the ratios.
#   bash bench/output_gif_peers.sh PELKO_CLI [FRAMES_DIR]
set -euo pipefail
cli=$(realpath "$1")
frames=${2:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ -z "$frames" ]; then
  frames=$tmp/frames
  bash "$(dirname "$0")/../../shared/bench/make_frames.sh" "$frames" 60 640x360 >/dev/null
fi
run() {  # run NAME command...: one line of figures
  local name=$1; shift
  /usr/bin/time -f "%e %U %S %M" -o "$tmp/t" "$@" >/dev/null 2>&1
  read -r wall user sys rss <"$tmp/t"
  printf '%-22s wall %6.2f s  cpu %6.2f s  rss %7d KB\n' "$name" "$wall" "$(echo "$user + $sys" | bc)" "$rss"
  echo "$wall $(echo "$user + $sys" | bc)" >"$tmp/$name.fig"
}
run pelko "$cli" make "$tmp/pelko.gif" "$frames"/frame_*.png --time 40
run pelko-floyd "$cli" make "$tmp/pelko_fs.gif" "$frames"/frame_*.png --time 40 --dither floydsteinberg
run ffmpeg sh -c "ffmpeg -v error -y -framerate 25 -i '$frames/frame_%04d.png' -vf 'split[a][b];[a]palettegen[p];[b][p]paletteuse' '$tmp/ffmpeg.gif'"
run imagemagick convert -delay 4 "$frames"/frame_*.png -layers Optimize "$tmp/im.gif"
for f in pelko pelko_fs ffmpeg im; do printf '%-12s %9d bytes\n' "$f.gif" "$(stat -c %s "$tmp/$f.gif")"; done
read -r pw pc <"$tmp/pelko.fig"
best_wall=$(awk '{print $1}' "$tmp/ffmpeg.fig" "$tmp/imagemagick.fig" | sort -g | head -1)
best_cpu=$(awk '{print $2}' "$tmp/ffmpeg.fig" "$tmp/imagemagick.fig" | sort -g | head -1)
echo "wall ratio (pelko / fastest peer): $(echo "scale=3; $pw / $best_wall" | bc)  (target <= 0.25)"
echo "cpu ratio  (pelko / least-cpu peer): $(echo "scale=3; $pc / $best_cpu" | bc)  (target <= 0.5)"
