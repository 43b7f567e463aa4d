#!/usr/bin/env bash
# pelko-cli make and generate with --lossy and --palette: smaller files that
# decode cleanly, the same bytes on any number of threads, the project's own
# setting used by generate unless overridden, and usage errors.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pics="$root/data/demo/pictures"
size() { stat -c %s "$1"; }

"$cli" make "$tmp/plain.gif" "$pics"/frame*.png --merge --dither floydsteinberg --quiet
"$cli" make "$tmp/zero.gif" "$pics"/frame*.png --merge --dither floydsteinberg --lossy 0 --palette octree --quiet
cmp "$tmp/plain.gif" "$tmp/zero.gif" || { echo "--lossy 0 --palette octree must change nothing"; exit 1; }
for jobs in 1 2 3; do
  "$cli" make "$tmp/s$jobs.gif" "$pics"/frame*.png --merge --dither floydsteinberg --lossy 60 --palette best \
    --jobs $jobs --quiet
done
cmp "$tmp/s1.gif" "$tmp/s2.gif" && cmp "$tmp/s1.gif" "$tmp/s3.gif" || { echo "threads changed the bytes"; exit 1; }
[ "$(size "$tmp/s1.gif")" -lt "$(size "$tmp/plain.gif")" ] || { echo "--lossy 60 is not smaller"; exit 1; }
if command -v ffprobe >/dev/null; then
  probe=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames,width,height -of csv=p=0 "$tmp/s1.gif")
  [ "$probe" = "200,120,6" ] || { echo "s1.gif: $probe"; exit 1; }
fi

# shown the same by ffmpeg and ImageMagick, each composing the frames itself
if command -v ffmpeg >/dev/null && command -v convert >/dev/null && command -v compare >/dev/null; then
  "$cli" make "$tmp/strong.gif" "$pics"/frame*.png --merge --crop --lossy 90 --palette best --quiet
  for gif in s1 strong; do
    ffmpeg -v error -i "$tmp/$gif.gif" -vsync passthrough -pix_fmt rgb24 "$tmp/${gif}_ff_%02d.ppm"
    convert "$tmp/$gif.gif" -coalesce -scene 1 "$tmp/${gif}_im_%02d.ppm"
    n=0
    for f in "$tmp/${gif}"_ff_*.ppm; do
      im=${f/_ff_/_im_}
      ae=$(compare -metric AE "$f" "$im" null: 2>&1) || true
      [ "$ae" = "0" ] || { echo "$gif.gif: ffmpeg and ImageMagick differ at $(basename "$f"): $ae"; exit 1; }
      n=$((n + 1))
    done
    [ "$n" -ge 5 ] || { echo "$gif.gif: $n frames compared"; exit 1; }
  done
fi

# generate: the project's stored strength, unless one is given
cp -r "$root/data/demo/pictures" "$tmp/"
sed 's/^Interlaced=0$/Interlaced=0\nLossy=80/' "$root/data/demo/demo.mcp" > "$tmp/lossy.mcp"
sed 's/^Lossy=80$//' "$tmp/lossy.mcp" > "$tmp/plain.mcp"
"$cli" generate "$tmp/lossy.mcp" "$tmp/g-stored.gif" --quiet
"$cli" generate "$tmp/plain.mcp" "$tmp/g-given.gif" --lossy 80 --quiet
"$cli" generate "$tmp/lossy.mcp" "$tmp/g-off.gif" --lossy 0 --quiet
"$cli" generate "$tmp/plain.mcp" "$tmp/g-plain.gif" --quiet
cmp "$tmp/g-stored.gif" "$tmp/g-given.gif" || { echo "the stored strength is not used"; exit 1; }
cmp "$tmp/g-off.gif" "$tmp/g-plain.gif" || { echo "--lossy 0 must override the project"; exit 1; }
[ "$(size "$tmp/g-stored.gif")" -lt "$(size "$tmp/g-plain.gif")" ] || { echo "Lossy=80 is not smaller"; exit 1; }

set +e
for bad in "--lossy 101" "--lossy -1" "--lossy x" "--palette nice"; do
  # shellcheck disable=SC2086
  "$cli" make "$tmp/c.gif" "$pics/frame0.png" $bad >/dev/null 2>&1
  [ $? -eq 2 ] || { echo "$bad must be a usage error"; exit 1; }
done
"$cli" make "$tmp/c.avi" "$pics/frame0.png" --lossy 20 >/dev/null 2>&1
[ $? -eq 2 ] || { echo "--lossy with an AVI must be a usage error"; exit 1; }
[ ! -e "$tmp/c.gif" ] && [ ! -e "$tmp/c.avi" ] || { echo "nothing may be written on a usage error"; exit 1; }
exit 0
