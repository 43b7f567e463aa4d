#!/usr/bin/env bash
# The GIF smaller-file mode beside a peer encoder that makes per-frame
# palettes with temporal dithering, in one run: for each frame set, the peer
# at qualities 50..90 and pelko-cli make at several strengths; prints bytes,
# mean PSNR (dB) and wall time for each, and for every peer quality the
# smallest of our files that reaches its PSNR. Wall time on a busy machine
# says little: CPU seconds (user + system) are printed beside it.
#   bash bench/smaller_gif.sh PELKO_CLI [BUILD_DIR] [STRENGTHS]
# Frame sets: the 60 benchmark frames (made in /tmp/b60 when missing), a
# screen-recording-like set and a photo pan (made with ImageMagick).
# PSNR: each GIF decoded with ffmpeg, sampled at every source frame's start
# time (25 frames a second), compared in RGB with the source frame; the
# mean over frames (a frame without error counts as 100 dB).
set -euo pipefail
cli=$(realpath "$1")
build=$(realpath "${2:-$(dirname "$cli")/../..}")
strengths=${3:-"0 20 40 60 80 100"}
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# the peer, from the npm registry, in a folder of its own
peer_dir=$build/peers/gifski
peer=$peer_dir/node_modules/gifski/bin/debian/gifski
if [ ! -x "$peer" ]; then
  mkdir -p "$peer_dir"
  [ -f "$peer_dir/package.json" ] || echo '{"private":true}' >"$peer_dir/package.json"
  (cd "$peer_dir" && npm install --silent gifski >/dev/null)
fi

# frame sets
sets=()
b60=/tmp/b60
if [ ! -f "$b60/frame_0060.png" ]; then
  bash "$here/../../shared/bench/make_frames.sh" "$b60" 60 640x360 >/dev/null
fi
sets+=("bench60:$b60")

screen=$build/bench-frames/screen
if [ ! -f "$screen/frame_0060.png" ]; then
  mkdir -p "$screen"
  # a text editor scrolling line by line, a moving pointer, a blinking caret
  mono=$(fc-match -f '%{file}' 'DejaVu Sans Mono'); sans=$(fc-match -f '%{file}' 'DejaVu Sans')
  lines=$tmp/lines.txt
  for i in $(seq 1 160); do
    printf '%3d  int value_%d = compute(%d, "%s") + offset * %d;\n' "$i" "$i" "$((i * 7 % 13))" \
      "$(printf 'item%04d' $((i * 37 % 1000)))" "$((i % 9))"
  done >"$lines"
  for f in $(seq 1 60); do
    first=$((1 + f / 3))
    sed -n "${first},$((first + 20))p" "$lines" >"$tmp/page.txt"
    px=$((60 + f * 8)); py=$((80 + (f * 5) % 200))
    convert -size 640x360 xc:'#f4f4f4' -font "$sans" \
      -fill '#2b579a' -draw 'rectangle 0,0 640,28' -fill white -pointsize 14 -annotate +10+19 'editor - main.cpp' \
      -fill '#e1e1e1' -draw 'rectangle 0,28 130,340' -fill '#333333' -pointsize 12 \
      -annotate +10+50 'src' -annotate +20+68 'main.cpp' -annotate +20+86 'util.h' -annotate +10+104 'tests' \
      -fill '#d0d0d0' -draw 'rectangle 0,340 640,360' -fill black -annotate +10+354 "Ln $first, Col $((f % 40))" \
      -font "$mono" -pointsize 12 -fill '#1e1e1e' -annotate +140+48 "$(cat "$tmp/page.txt")" \
      -fill black -draw "rectangle $((140 + (f % 30) * 7)),300 $((141 + (f % 30) * 7)),314" \
      -fill white -stroke black -draw "polygon $px,$py $((px + 12)),$((py + 12)) $((px + 5)),$((py + 12)) $px,$((py + 17))" \
      "$screen/$(printf 'frame_%04d.png' "$f")"
  done
fi
sets+=("screen:$screen")

pan=$build/bench-frames/pan
if [ ! -f "$pan/frame_0060.png" ]; then
  mkdir -p "$pan"
  photo=$(ls /usr/share/backgrounds/*.jpg 2>/dev/null | sort | tail -1)
  [ -n "$photo" ] || { echo "no photo in /usr/share/backgrounds" >&2; exit 2; }
  convert "$photo" -resize 1600x900^ -gravity center -extent 1600x900 "$tmp/photo.png"
  for f in $(seq 1 60); do
    convert "$tmp/photo.png" -crop "960x540+$((f * 9))+$((f * 4))" +repage -resize 640x360 \
      "$pan/$(printf 'frame_%04d.png' "$f")"
  done
fi
sets+=("pan:$pan")

# mean PSNR of a GIF against the frames
psnr() {
  local gif=$1 frames=$2
  ffmpeg -v error -i "$gif" -framerate 25 -i "$frames/frame_%04d.png" -lavfi \
    "[0:v]fps=25,format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr=stats_file=$tmp/psnr.log" -f null - 2>/dev/null
  awk '{for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { t = substr($i, 10); v = (t == "inf") ? 100 : t + 0; if (v > 100) v = 100; s += v; n++ } }
       END { printf "%.2f", n ? s / n : 0 }' "$tmp/psnr.log"
}
# command...: wall and CPU seconds into $tmp/wall
timed() {
  /usr/bin/time -f "%e %U %S" -o "$tmp/time" "$@" >/dev/null 2>&1
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$tmp/time" >"$tmp/wall"
}

for s in "${sets[@]}"; do
  name=${s%%:*}; frames=${s#*:}
  echo "== $name ($(ls "$frames"/frame_*.png | wc -l) frames)"
  printf '%-26s %10s %8s %8s %8s\n' encoder bytes "PSNR dB" "wall s" "cpu s"
  : >"$tmp/peer.txt"; : >"$tmp/ours.txt"
  for q in 50 60 70 80 90; do
    timed "$peer" --quiet --fps 25 --quality "$q" -o "$tmp/peer.gif" "$frames"/frame_*.png
    read -r w c <"$tmp/wall"; b=$(stat -c %s "$tmp/peer.gif"); p=$(psnr "$tmp/peer.gif" "$frames")
    printf '%-26s %10d %8s %8s %8s\n' "peer --quality $q" "$b" "$p" "$w" "$c"
    echo "$q $b $p $w $c" >>"$tmp/peer.txt"
  done
  timed "$cli" make "$tmp/ours.gif" "$frames"/frame_*.png --time 40 --quiet
  read -r w c <"$tmp/wall"
  printf '%-26s %10d %8s %8s %8s\n' "pelko defaults" "$(stat -c %s "$tmp/ours.gif")" "$(psnr "$tmp/ours.gif" "$frames")" "$w" "$c"
  for palette in octree best; do
    for l in $strengths; do
      timed "$cli" make "$tmp/ours.gif" "$frames"/frame_*.png --time 40 --merge --palette "$palette" \
        --lossy "$l" --quiet
      read -r w c <"$tmp/wall"; b=$(stat -c %s "$tmp/ours.gif"); p=$(psnr "$tmp/ours.gif" "$frames")
      printf '%-26s %10d %8s %8s %8s\n' "pelko $palette --lossy $l" "$b" "$p" "$w" "$c"
      echo "$palette/$l $b $p $w $c" >>"$tmp/ours.txt"
    done
  done
  # for each peer quality: our smallest file at no lower PSNR
  while read -r q b p w c; do
    best=$(awk -v p="$p" '$3 >= p { print $2, $1, $3, $4, $5 }' "$tmp/ours.txt" | sort -n | head -1)
    if [ -z "$best" ]; then
      echo "  peer q$q ($b B, $p dB): none of ours reaches its PSNR"
    else
      read -r ob on op ow oc <<<"$best"
      printf '  peer q%s (%d B, %s dB): ours %s %d B (%.2fx its bytes), %s dB, wall %.2fx, cpu %.2fx its time\n' \
        "$q" "$b" "$p" "$on" "$ob" "$(echo "$ob / $b" | bc -l)" "$op" "$(echo "$ow / $w" | bc -l)" \
        "$(echo "$oc / $c" | bc -l)"
    fi
  done <"$tmp/peer.txt"
done
