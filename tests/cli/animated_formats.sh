#!/usr/bin/env bash
# pelko-cli make and generate write animated WebP, APNG, MP4 and WebM by the
# output's extension, read back by webpmux and ffprobe with every frame;
# each format's options go only with it; --max-size keeps the file under
# the budget and tells size, setting and mean PSNR, or writes nothing;
# estimate gives every format's size.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pics=("$root/data/demo/pictures"/frame*.png)
n=${#pics[@]}

"$cli" make "$tmp/a.webp" "${pics[@]}" --time 70 --quiet
"$cli" make "$tmp/a.apng" "${pics[@]}" --time 70 --loops 3 --quiet
"$cli" make "$tmp/a.webp.lossless.webp" "${pics[@]}" --lossless --keyframes 3 --quiet
"$cli" generate "$root/data/demo/demo.mcp" "$tmp/b.webp" --quiet
"$cli" generate "$root/data/demo/demo.mcp" "$tmp/c.webp" --quality 50 --quiet
"$cli" generate "$root/data/demo/demo.mcp" "$tmp/b.apng" --quiet
if command -v webpmux >/dev/null; then
  for f in a.webp a.webp.lossless.webp b.webp c.webp; do
    frames=$(webpmux -info "$tmp/$f" | sed -n 's/^Number of frames: //p')
    [ "$frames" = "$n" ] || { echo "$f: $frames frames, not $n"; exit 1; }
  done
  webpmux -info "$tmp/a.webp" | awk 'NF >= 10 && $1 ~ /^[0-9]+:$/ && $7 != 70 { bad = 1 } END { exit bad }' ||
    { echo "a.webp: a frame not 70 ms"; exit 1; }
fi
if command -v ffprobe >/dev/null; then
  probe=$(ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$tmp/a.apng")
  [ "$probe" = "apng,$n" ] || { echo "a.apng: $probe"; exit 1; }
  for f in mp4 webm; do
    "$cli" make "$tmp/a.$f" "${pics[@]}" --time 70 --crf 30 --quiet
    probe=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$tmp/a.$f")
    [ "$probe" = "$n" ] || { echo "a.$f: $probe frames"; exit 1; }
  done
fi

# under a budget: at most that many bytes, and the closing line
for f in gif webp; do
  line=$("$cli" make "$tmp/fit.$f" "${pics[@]}" --max-size 20k --quiet)
  size=$(stat -c %s "$tmp/fit.$f")
  [ "$size" -le 20000 ] || { echo "fit.$f: $size bytes over 20k"; exit 1; }
  [[ $line == "$tmp/fit.$f: "*", mean PSNR "*" dB" ]] || { echo "closing line: $line"; exit 1; }
done
set +e
out=$("$cli" make "$tmp/none.webp" "${pics[@]}" --max-size 300 --quiet 2>&1); rc=$?
set -e
[ $rc -eq 1 ] && [[ $out == *"does not fit in 300 bytes"*"nothing written"* ]] || { echo "impossible budget: $rc $out"; exit 1; }
[ ! -e "$tmp/none.webp" ] || { echo "an impossible budget wrote a file"; exit 1; }

# the estimate of a short animation encodes it whole: the real sizes
"$cli" estimate "$root/data/demo/demo.mcp" >"$tmp/estimate"
head -1 "$tmp/estimate" | grep -q "^GIF .* · WebP .* · APNG .* · MP4 .* · WebM " || { cat "$tmp/estimate"; exit 1; }
for f in webp apng; do
  est=$(awk -v f="$f" '$1 == f { print $2 }' "$tmp/estimate")
  [ "$est" = "$(stat -c %s "$tmp/b.$f")" ] || { echo "estimate of $f: $est, real $(stat -c %s "$tmp/b.$f")"; exit 1; }
done

# options that do not go with the output are wrong usage, and nothing is written
usage_error() {
  set +e; "$cli" "$@" >/dev/null 2>&1; local rc=$?; set -e
  [ $rc -eq 2 ] || { echo "expected a usage error: $*"; exit 1; }
}
usage_error make "$tmp/u.webp" "${pics[0]}" --crf 20
usage_error make "$tmp/u.apng" "${pics[0]}" --max-size 1M
usage_error make "$tmp/u.gif" "${pics[0]}" --lossless
usage_error make "$tmp/u.mp4" "${pics[0]}" --crf 60
usage_error make "$tmp/u.webm" "${pics[0]}" --preset fast
usage_error make "$tmp/u.gif" "${pics[0]}" --max-size 2X
ls "$tmp"/u.* >/dev/null 2>&1 && { echo "a usage error wrote a file"; exit 1; }
exit 0
