#!/usr/bin/env bash
# The animated WebP and PNG outputs, the size budget and the size estimate,
# beside ffmpeg, in one run. For each frame set (the 60 benchmark frames,
# made in /tmp/b60 when missing, and a screen-recording-like set):
#   - WebP lossy at the default settings against our default GIF (bytes,
#     mean PSNR), and against ffmpeg's libwebp_anim at the quality whose
#     PSNR matches ours (looked for among 80..95): bytes and wall time;
#   - APNG against ffmpeg's APNG encoder (-plays 0 -f apng): bytes, time;
#   - --max-size 0.5, 1 and 2 MB for GIF, WebP and MP4: the file's size
#     over the budget and the time over one encode at the default setting;
#   - pelko-cli estimate against the real size of each format.
# Times are medians of three runs (wall seconds, /usr/bin/time).
#   bash bench/formats_compare.sh PELKO_CLI
# PSNR: bench/anim_psnr.py (Pillow) for the animations, each picture shown
# at a frame's start against the frame, on white; ffmpeg's psnr filter for
# the MP4.
set -euo pipefail
cli=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
py=/usr/bin/python3
"$py" -c 'import numpy, PIL' 2>/dev/null || { echo "needs python3-pil and python3-numpy" >&2; exit 2; }

b60=/tmp/b60
[ -f "$b60/frame_0060.png" ] || bash "$here/../../shared/bench/make_frames.sh" "$b60" 60 640x360 >/dev/null
screen=$tmp/screen
mkdir -p "$screen"
# a text editor scrolling line by line, a moving pointer, a blinking caret
mono=$(fc-match -f '%{file}' 'DejaVu Sans Mono'); sans=$(fc-match -f '%{file}' 'DejaVu Sans')
for i in $(seq 1 160); do
  printf '%3d  int value_%d = compute(%d, "%s") + offset * %d;\n' "$i" "$i" "$((i * 7 % 13))" \
    "$(printf 'item%04d' $((i * 37 % 1000)))" "$((i % 9))"
done >"$tmp/lines.txt"
for f in $(seq 1 60); do
  first=$((1 + f / 3))
  sed -n "${first},$((first + 20))p" "$tmp/lines.txt" >"$tmp/page.txt"
  px=$((60 + f * 8)); py_=$((80 + (f * 5) % 200))
  convert -size 640x360 xc:'#f4f4f4' -font "$sans" \
    -fill '#2b579a' -draw 'rectangle 0,0 640,28' -fill white -pointsize 14 -annotate +10+19 'editor - main.cpp' \
    -fill '#e1e1e1' -draw 'rectangle 0,28 130,340' -fill '#333333' -pointsize 12 \
    -annotate +10+50 'src' -annotate +20+68 'main.cpp' -annotate +20+86 'util.h' \
    -fill '#d0d0d0' -draw 'rectangle 0,340 640,360' -fill black -annotate +10+354 "Ln $first, Col $((f % 40))" \
    -font "$mono" -pointsize 12 -fill '#1e1e1e' -annotate +140+48 "$(cat "$tmp/page.txt")" \
    -fill black -draw "rectangle $((140 + (f % 30) * 7)),300 $((141 + (f % 30) * 7)),314" \
    -fill white -stroke black -draw "polygon $px,$py_ $((px + 12)),$((py_ + 12)) $((px + 5)),$((py_ + 12)) $px,$((py_ + 17))" \
    "$screen/$(printf 'frame_%04d.png' "$f")"
done

# command...: wall seconds
wall() {
  /usr/bin/time -f "%e" -o "$tmp/time" "$@" </dev/null >/dev/null 2>&1
  cat "$tmp/time"
}
median3() { local a b c; a=$("$@"); b=$("$@"); c=$("$@"); printf '%s\n%s\n%s\n' "$a" "$b" "$c" | sort -n | sed -n 2p; }
psnr() { "$py" "$here/anim_psnr.py" "$1" 40 "$frames"/frame_*.png; }
mp4psnr() {
  ffmpeg -v error -nostdin -i "$1" -framerate 25 -i "$frames/frame_%04d.png" -lavfi \
    "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr=stats_file=$tmp/psnr.log" -f null - 2>/dev/null
  awk '{for (i = 1; i <= NF; i++) if ($i ~ /^psnr_avg:/) { t = substr($i, 10); v = (t == "inf") ? 100 : t + 0; s += v; n++ } }
       END { printf "%.2f", n ? s / n : 0 }' "$tmp/psnr.log"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
size() { stat -c %s "$1"; }
make_() { "$cli" make "$@" "$frames"/frame_*.png --time 40 --quiet; }
ff_webp() { ffmpeg -v error -nostdin -y -framerate 25 -i "$frames/frame_%04d.png" -c:v libwebp_anim -quality "$1" -loop 0 "$tmp/ff.webp"; }

for s in "bench60:$b60" "screen:$screen"; do
  name=${s%%:*}; frames=${s#*:}
  echo "== $name (60 frames, 640x360)"
  make_ "$tmp/ours.gif"; make_ "$tmp/ours.webp"
  gb=$(size "$tmp/ours.gif"); gp=$(psnr "$tmp/ours.gif")
  wb=$(size "$tmp/ours.webp"); wp=$(psnr "$tmp/ours.webp")
  ww=$(median3 wall "$cli" make "$tmp/ours.webp" "$frames"/frame_*.png --time 40 --quiet)
  printf 'GIF default           %9d B  %6s dB\n' "$gb" "$gp"
  printf 'WebP default          %9d B  %6s dB  %5ss  (%sx the GIF bytes)\n' "$wb" "$wp" "$ww" "$(ratio "$wb" "$gb")"
  # ffmpeg's quality whose PSNR first reaches ours
  fq=""; for q in 80 82 84 86 88 90 92 94 95; do
    ff_webp "$q"; p=$(psnr "$tmp/ff.webp")
    if awk -v a="$p" -v b="$wp" 'BEGIN { exit !(a >= b) }'; then fq=$q; fp=$p; fb=$(size "$tmp/ff.webp"); break; fi
  done
  if [ -n "$fq" ]; then
    fw=$(median3 wall ffmpeg -v error -nostdin -y -framerate 25 -i "$frames/frame_%04d.png" -c:v libwebp_anim \
      -quality "$fq" -loop 0 "$tmp/ff.webp")
    printf 'ffmpeg libwebp_anim q%s %9d B  %6s dB  %5ss  ours: %sx its bytes, %sx its wall time\n' \
      "$fq" "$fb" "$fp" "$fw" "$(ratio "$wb" "$fb")" "$(ratio "$ww" "$fw")"
  else
    echo "ffmpeg libwebp_anim: no quality up to 95 reaches $wp dB"
  fi
  # APNG
  aw=$(median3 wall "$cli" make "$tmp/ours.apng" "$frames"/frame_*.png --time 40 --quiet)
  faw=$(median3 wall ffmpeg -v error -nostdin -y -framerate 25 -i "$frames/frame_%04d.png" -plays 0 -f apng "$tmp/ff.apng")
  ab=$(size "$tmp/ours.apng"); fab=$(size "$tmp/ff.apng")
  printf 'APNG ours %9d B %5ss, ffmpeg %9d B %5ss: %sx its bytes, %sx its wall time\n' \
    "$ab" "$aw" "$fab" "$faw" "$(ratio "$ab" "$fab")" "$(ratio "$aw" "$faw")"
  # budgets: one encode at the default setting, then each budget
  for f in gif webp mp4; do
    one=$(median3 wall "$cli" make "$tmp/one.$f" "$frames"/frame_*.png --time 40 --quiet)
    for budget in 500k 1M 2M; do
      bytes=$(awk -v b="$budget" 'BEGIN { n = b + 0; print (b ~ /M$/) ? n * 1000000 : n * 1000 }')
      /usr/bin/time -f "%e" -o "$tmp/time" "$cli" make "$tmp/fit.$f" "$frames"/frame_*.png --time 40 \
        --max-size "$budget" --quiet >"$tmp/line" 2>&1 </dev/null || true
      t=$(cat "$tmp/time")
      if [ -f "$tmp/fit.$f" ]; then
        printf 'budget %-4s %-4s %9d B  %sx the budget  %5ss = %sx one encode (%ss)  %s\n' "$f" "$budget" \
          "$(size "$tmp/fit.$f")" "$(ratio "$(size "$tmp/fit.$f")" "$bytes")" "$t" "$(ratio "$t" "$one")" "$one" \
          "$(sed 's/^[^:]*: //' "$tmp/line")"
      else
        printf 'budget %-4s %-4s %s\n' "$f" "$budget" "$(cat "$tmp/line")"
      fi
      rm -f "$tmp/fit.$f"
    done
  done
  # estimates against the real files
  "$cli" new "$tmp/p.mcp" "$frames"/frame_*.png --time 40 --quiet >/dev/null
  "$cli" estimate "$tmp/p.mcp" >"$tmp/estimate"
  head -1 "$tmp/estimate"
  tail -n +2 "$tmp/estimate" | while read -r f est; do
    "$cli" generate "$tmp/p.mcp" "$tmp/real.$f" --quiet
    real=$(size "$tmp/real.$f")
    printf 'estimate %-4s %9d B, real %9d B: %sx\n' "$f" "$est" "$real" "$(ratio "$est" "$real")"
  done
  [ "$name" = bench60 ] && printf 'MP4 default PSNR %s dB\n' "$(mp4psnr "$tmp/real.mp4")"
done
