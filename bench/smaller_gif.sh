#!/usr/bin/env bash
# The GIF smaller-file mode beside a peer encoder that makes per-frame
# palettes with temporal dithering, in one run. For each frame set: the
# peer at qualities 50..90, and pelko-cli make --palette best --merge --crop
# at strengths 0, 10, .., 100 (bytes, mean PSNR in dB, wall and CPU
# seconds); then, for each peer quality, the strength of ours with the
# fewest bytes at no lower PSNR (looked for to a step of 1 between the
# coarse ones), and both timed again three times, medians compared.
#   bash bench/smaller_gif.sh PELKO_CLI [BUILD_DIR]
# Frame sets: the 60 benchmark frames (made in /tmp/b60 when missing), a
# screen-recording-like set and a photo pan (made with ImageMagick).
# PSNR: each GIF decoded with ffmpeg, sampled at every source frame's start
# time (25 frames a second), compared in RGB with the source frame; the
# mean over frames (a frame without error counts as 100 dB).
set -euo pipefail
cli=$(realpath "$1")
build=$(realpath "${2:-$(dirname "$cli")/../..}")
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
  ffmpeg -v error -nostdin -i "$gif" -framerate 25 -i "$frames/frame_%04d.png" -lavfi \
    "[0:v]fps=25,format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr=stats_file=$tmp/psnr.log" -f null - 2>/dev/null
  awk '{for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { t = substr($i, 10); v = (t == "inf") ? 100 : t + 0; if (v > 100) v = 100; s += v; n++ } }
       END { printf "%.2f", n ? s / n : 0 }' "$tmp/psnr.log"
}
# command...: "wall cpu" seconds
timed() {
  /usr/bin/time -f "%e %U %S" -o "$tmp/time" "$@" </dev/null >/dev/null 2>&1
  awk '{ printf "%s %.2f\n", $1, $2 + $3 }' "$tmp/time"
}
median3() { sort -n | sed -n 2p; }
peer_run() { timed "$peer" --quiet --fps 25 --quality "$1" -o "$tmp/peer.gif" "$frames"/frame_*.png; }
ours_run() {
  timed "$cli" make "$tmp/ours.gif" "$frames"/frame_*.png --time 40 --merge --crop --palette best --lossy "$1" --quiet
}
# point L: made[L] = "bytes psnr wall cpu" of strength L, each made once per set
declare -A made
point() {
  local l=$1 w c
  if [ -z "${made[$l]:-}" ]; then
    read -r w c < <(ours_run "$l")
    made[$l]="$(stat -c %s "$tmp/ours.gif") $(psnr "$tmp/ours.gif" "$frames") $w $c"
  fi
}
reaches() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

for s in "${sets[@]}"; do
  name=${s%%:*}; frames=${s#*:}
  made=()
  echo "== $name ($(ls "$frames"/frame_*.png | wc -l) frames)"
  printf '%-24s %10s %8s %7s %7s\n' encoder bytes "PSNR dB" "wall s" "cpu s"
  : >"$tmp/peer.txt"
  for q in 50 60 70 80 90; do
    read -r w c < <(peer_run "$q")
    b=$(stat -c %s "$tmp/peer.gif"); p=$(psnr "$tmp/peer.gif" "$frames")
    printf '%-24s %10d %8s %7s %7s\n' "peer --quality $q" "$b" "$p" "$w" "$c"
    echo "$q $b $p" >>"$tmp/peer.txt"
  done
  for l in 0 10 20 30 40 50 60 70 80 90 100; do
    point "$l"
    read -r b p w c <<<"${made[$l]}"
    printf '%-24s %10d %8s %7s %7s\n' "pelko --lossy $l" "$b" "$p" "$w" "$c"
  done
  mapfile -t peers <"$tmp/peer.txt"
  for line in "${peers[@]}"; do
    read -r q pb pp <<<"$line"
    # the strongest coarse strength that reaches the PSNR, then steps of 1 up
    # to the next coarse one (PSNR falls as the strength grows)
    lo=-1
    for l in 0 10 20 30 40 50 60 70 80 90 100; do
      point "$l"
      read -r b p _ _ <<<"${made[$l]}"
      reaches "$p" "$pp" && lo=$l
    done
    if [ "$lo" -lt 0 ]; then
      echo "  peer q$q ($pb B, $pp dB): none of ours reaches its PSNR"
      continue
    fi
    hi=$((lo + 10 > 100 ? 100 : lo + 10))
    while [ $((hi - lo)) -gt 1 ]; do
      mid=$(((lo + hi) / 2))
      point "$mid"
      read -r b p _ _ <<<"${made[$mid]}"
      if reaches "$p" "$pp"; then lo=$mid; else hi=$mid; fi
    done
    best=""
    for l in "${!made[@]}"; do
      read -r b p _ _ <<<"${made[$l]}"
      reaches "$p" "$pp" && best+="$b $l $p"$'\n'
    done
    read -r ob ol op < <(printf '%s' "$best" | sort -n | head -1)
    runs=$(for i in 1 2 3; do peer_run "$q"; ours_run "$ol" | sed 's/^/o /'; done)
    pw=$(grep -v '^o' <<<"$runs" | awk '{print $1}' | median3)
    pc=$(grep -v '^o' <<<"$runs" | awk '{print $2}' | median3)
    ow=$(grep '^o' <<<"$runs" | awk '{print $2}' | median3)
    oc=$(grep '^o' <<<"$runs" | awk '{print $3}' | median3)
    printf '  peer q%s (%d B, %s dB, %ss): ours --lossy %s %d B (%.2fx its bytes), %s dB, %ss: wall %.2fx, cpu %.2fx its time\n' \
      "$q" "$pb" "$pp" "$pw" "$ol" "$ob" "$(echo "$ob / $pb" | bc -l)" "$op" "$ow" \
      "$(echo "$ow / $pw" | bc -l)" "$(echo "$oc / $pc" | bc -l)"
  done
done
