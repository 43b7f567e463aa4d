#!/usr/bin/env bash
# pelko-cli export: frame N of the demo project in the four formats, read
# back by ImageMagick against the frame's source picture, and the failures
# (a bad N, an unknown type, a folder in the way) that write nothing and
# leave an old file as it was.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
command -v convert >/dev/null || { echo "SKIP: ImageMagick's convert is not installed"; exit 0; }
cp -r "$root/data/demo" "$tmp/demo"
mcp=$tmp/demo/demo.mcp
source=$tmp/demo/pictures/frame2.png  # frame 3, at the canvas' size, no effects
rgb() { convert "$1" -depth 8 rgb:- | md5sum; }
# mean absolute difference in 0..65535 units (compare exits 1 when the
# pictures differ at all)
differs() { { compare -metric MAE "$1" "$2" null: 2>&1 || true; } | cut -d' ' -f1; }

"$cli" export "$mcp" 3 "$tmp/f.png" || fail "png exits $?"
[ "$(rgb "$tmp/f.png")" = "$(rgb "$source")" ] || fail "the PNG is not the frame"
"$cli" export "$mcp" 3 "$tmp/f.bmp" || fail "bmp exits $?"
[ "$(rgb "$tmp/f.bmp")" = "$(rgb "$source")" ] || fail "the 24-bit BMP is not the frame"
identify "$tmp/f.bmp" | grep -q " 200x120 " || fail "BMP size: $(identify "$tmp/f.bmp")"
"$cli" export "$mcp" 3 "$tmp/f4.bmp" --bits 4
[ "$(identify -format '%k' "$tmp/f4.bmp")" -le 16 ] || fail "a 4-bit BMP of more than 16 colours"
"$cli" export "$mcp" 3 "$tmp/f.jpeg" --quality 100
mae=$(differs "$tmp/f.jpeg" "$source")
awk -v m="$mae" 'BEGIN { exit !(m < 1500) }' || fail "JPEG at quality 100 differs by $mae"
"$cli" export "$mcp" 3 "$tmp/low.jpg" --quality 10
[ "$(stat -c %s "$tmp/low.jpg")" -lt "$(stat -c %s "$tmp/f.jpeg")" ] || fail "quality 10 is no smaller"
"$cli" export "$mcp" 3 "$tmp/f.gif" --colors 256
[ "$(identify "$tmp/f.gif" | wc -l)" = 1 ] || fail "the GIF has more than one frame"
"$cli" export "$mcp" 3 "$tmp/i.png" --interlaced --transparent 00FF00 --level 0
identify -verbose "$tmp/i.png" | grep -q "Interlace: PNG" || fail "the PNG is not interlaced"

# wrong usage: exit 2, nothing written
for bad in "0 $tmp/u.png" "x $tmp/u.png" "3 $tmp/u.png --bits 8" "3 $tmp/u.bmp --bits 7" \
  "3 $tmp/u.jpg --quality 101" "3 $tmp/u.gif --dither fancy" "3"; do
  set +e
  # shellcheck disable=SC2086
  "$cli" export "$mcp" $bad 2>/dev/null
  rc=$?
  set -e
  [ "$rc" = 2 ] || fail "export $bad exits $rc, not 2"
done
# failures: exit 1, the reason named with the file, nothing written
echo "old" >"$tmp/old.png"
check_failure() {  # expected message, then the arguments
  local want=$1
  shift
  set +e
  err=$("$cli" export "$@" 2>&1)
  rc=$?
  set -e
  [ "$rc" = 1 ] || fail "export $* exits $rc, not 1"
  grep -qF -- "$want" <<<"$err" || fail "export $*: $err"
}
check_failure "there is no frame 7; the project has 6 frames" "$mcp" 7 "$tmp/old.png"
check_failure "$tmp/f.tif: the output must end in" "$mcp" 1 "$tmp/f.tif"
mkdir "$tmp/folder.png"
check_failure "$tmp/folder.png: Is a directory" "$mcp" 1 "$tmp/folder.png"
rm "$tmp/demo/pictures/frame0.png"
check_failure "not every frame of the project could be read; nothing written" "$mcp" 3 "$tmp/old.png"
[ "$(cat "$tmp/old.png")" = old ] || fail "the old file changed"
[ ! -e "$tmp/f.tif" ] && [ ! -e "$tmp/u.png" ] || fail "a failed export left a file"
[ -z "$(find "$tmp" -name '.pelko-tmp-*')" ] || fail "a temporary was left behind"
echo "export: ok"
