#!/usr/bin/env bash
# Trim and de-duplicate on a screen recording: a project of 300 frames of
# 1280x720 from a recording-like GIF (10 frames a second, every frame whole,
# as the capture bar writes it) where most frames repeat the one before: a
# desktop with a window, long idle stretches, a cursor that moves now and
# then, lines of text that appear one by one.
#   bash bench/edit_recording.sh PELKO_CLI [RUNS]
# Runs pelko-cli edit --trim 0 --dedupe 0 on a copy, generates the GIF of
# both projects, and prints: the edit's time and speed (whole process, and
# without opening the project, which info alone takes), the frames left,
# the two GIFs' bytes and generate times with their ratios, and whether both
# GIFs show the same picture at every moment (each decoded with ffmpeg and
# sampled every 50 ms, compared by MD5). Times are medians of RUNS (3).
# Goals: bytes and generate time at most 1/4, the edit 300 frames/s or more.
set -euo pipefail
cli=$(realpath "$1")
runs=${2:-3}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# the recording: frames 50-60 and 220-235 move the cursor, text lines come
# at frames 80, 90, .., 200; the rest is idle
lines=""
for k in $(seq 0 12); do
  lines+=",drawbox=x=240:y=$((170 + k * 28)):w=$((300 + (k * 97) % 500)):h=12:color=0x303030:t=fill:enable='gte(n,$((80 + k * 10)))'"
done
cursor_x="if(lt(n,50),300,if(lte(n,60),300+(n-50)*37,if(lt(n,220),670,if(lte(n,235),670-(n-220)*23,325))))"
cursor_y="if(lt(n,50),400,if(lte(n,60),400-(n-50)*19,if(lt(n,220),210,if(lte(n,235),210+(n-220)*17,465))))"
ffmpeg -v error -f lavfi -i "color=c=0x2d6a8f:s=1280x720:r=10:d=30,drawgrid=w=80:h=80:t=1:c=white@0.15" \
  -f lavfi -i "color=c=white:s=12x18:r=10:d=30" -filter_complex \
  "[0]drawbox=x=200:y=100:w=880:h=520:color=0xf0f0f0:t=fill,drawbox=x=200:y=100:w=880:h=30:color=0x2050a0:t=fill${lines}[d];
   [d][1]overlay=x='$cursor_x':y='$cursor_y':eval=frame,split[a][b];[a]palettegen=max_colors=64[p];[b][p]paletteuse=dither=none" \
  -frames:v 300 -gifflags -offsetting-transdiff "$tmp/recording.gif"
"$cli" new "$tmp/recording.mcp" "$tmp/recording.gif" --type gif --size 1280x720 >/dev/null

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
wall() {  # wall seconds of a command
  /usr/bin/time -f "%e" -o "$tmp/t" "$@" >/dev/null 2>"$tmp/err" || { cat "$tmp/err" >&2; exit 1; }
  cat "$tmp/t"
}

open_s=$(for _ in $(seq "$runs"); do wall "$cli" info "$tmp/recording.mcp"; done | median)
edit_s=$(for _ in $(seq "$runs"); do
  cp "$tmp/recording.mcp" "$tmp/edited.mcp"
  wall "$cli" edit "$tmp/edited.mcp" --trim 0 --dedupe 0 --quiet
done | median)
frames_left=$("$cli" info "$tmp/edited.mcp" | awk '/^frame / { n++ } END { print n }')
gen_a=$(for _ in $(seq "$runs"); do wall "$cli" generate "$tmp/recording.mcp" "$tmp/a.gif" --quiet; done | median)
gen_b=$(for _ in $(seq "$runs"); do wall "$cli" generate "$tmp/edited.mcp" "$tmp/b.gif" --quiet; done | median)
bytes_a=$(stat -c %s "$tmp/a.gif")
bytes_b=$(stat -c %s "$tmp/b.gif")

# every 50 ms of both GIFs, as ffmpeg shows them
samples() { ffmpeg -v error -i "$1" -vf fps=20 -pix_fmt rgb24 -f framemd5 - | grep -v '^#' | awk -F, '{ print $NF }'; }
samples "$tmp/a.gif" >"$tmp/a.md5"
samples "$tmp/b.gif" >"$tmp/b.md5"
if cmp -s "$tmp/a.md5" "$tmp/b.md5"; then same="yes ($(wc -l <"$tmp/a.md5") samples)"; else
  same="NO: $(diff "$tmp/a.md5" "$tmp/b.md5" | grep -c '^<') of $(wc -l <"$tmp/a.md5") samples differ"
fi

ratio() { echo "scale=3; $1 / $2" | bc; }
speed() { echo "scale=0; 300 / $1" | bc; }
edit_only=$(echo "$edit_s - $open_s" | bc)
printf '%-40s %s\n' "frames" "300 -> $frames_left"
printf '%-40s %s s (%s frames/s)\n' "edit --trim 0 --dedupe 0, whole process" "$edit_s" "$(speed "$edit_s")"
printf '%-40s %s s (%s frames/s; opening alone %s s)\n' "edit without opening the project" "$edit_only" \
  "$(speed "$(echo "if ($edit_only < 0.001) 0.001 else $edit_only" | bc)")" "$open_s"
printf '%-40s %s s -> %s s, ratio %s (goal <= 0.25)\n' "generate time" "$gen_a" "$gen_b" "$(ratio "$gen_b" "$gen_a")"
printf '%-40s %s -> %s, ratio %s (goal <= 0.25)\n' "GIF bytes" "$bytes_a" "$bytes_b" "$(ratio "$bytes_b" "$bytes_a")"
printf '%-40s %s\n' "same picture at every moment" "$same"
