#!/usr/bin/env bash
# pelko-cli make and generate: animated GIFs that ffprobe reads with the right
# frame count and size; options and usage errors.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pics="$root/data/demo/pictures"

"$cli" make "$tmp/a.gif" "$pics"/frame*.png --time 100 --loops 2 --optimize --merge --crop --dither floydsteinberg
"$cli" generate "$root/data/demo/demo.mcp" "$tmp/b.gif"
for f in a b; do
  if command -v ffprobe >/dev/null; then
    probe=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames,width,height -of csv=p=0 "$tmp/$f.gif")
    [ "$probe" = "200,120,6" ] || { echo "$f.gif: $probe"; exit 1; }
  fi
done
# AVI: uncompressed by default, FFV1 on request, every picture one frame
"$cli" make "$tmp/a.avi" "$pics"/frame*.png --time 40
"$cli" make "$tmp/b.avi" "$pics"/frame*.png --codec ffv1
if command -v ffprobe >/dev/null; then
  probe=$(ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames,r_frame_rate -of csv=p=0 "$tmp/a.avi")
  [ "$probe" = "rawvideo,25/1,6" ] || { echo "a.avi: $probe"; exit 1; }
  probe=$(ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames -of csv=p=0 "$tmp/b.avi")
  [ "$probe" = "ffv1,6" ] || { echo "b.avi: $probe"; exit 1; }
fi
# the loop count is in the file: NETSCAPE2.0, sub-block 1, loops 2
grep -q "NETSCAPE2.0" "$tmp/a.gif"

set +e
"$cli" make "$tmp/c.gif" "$pics/frame0.png" --dither nonsense >/dev/null 2>&1; [ $? -eq 2 ] || { echo "bad dither must be a usage error"; exit 1; }
"$cli" make "$tmp/c.avi" "$pics/frame0.png" --codec nonsense >/dev/null 2>&1; [ $? -eq 2 ] || { echo "bad codec must be a usage error"; exit 1; }
"$cli" make "$tmp/c.mpg" "$pics/frame0.png" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "unknown output kind must fail"; exit 1; }
"$cli" generate "$tmp/none.mcp" "$tmp/d.gif" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "missing project must fail"; exit 1; }
[ ! -e "$tmp/d.gif" ] || { echo "nothing may be written for a missing project"; exit 1; }
exit 0
