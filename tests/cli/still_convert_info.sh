#!/usr/bin/env bash
# pelko-cli convert and info on still pictures: conversions keep every pixel
# (JPEG apart), info reports kind, size and the PNG header, and failures and
# wrong usage have their exit codes and messages.
set -euo pipefail
cli=$1
data=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ ! -d "$data/pngsuite" ]; then
  echo "test data folder $data is absent: skipped"
  exit 0
fi

expect_exit() {  # CODE COMMAND...: runs the command, which must end with CODE
  local want=$1; shift
  set +e; "$@" >"$tmp/out" 2>"$tmp/err"; local got=$?; set -e
  if [ "$got" -ne "$want" ]; then
    echo "expected exit $want, got $got: $*"; cat "$tmp/err"; exit 1
  fi
}

# Lossless kinds: the same pixels whichever way the picture goes.
src=$data/pngsuite/basn2c08.png
"$cli" convert "$src" "$tmp/a.ppm"
"$cli" convert "$src" "$tmp/a.bmp"
"$cli" convert "$tmp/a.bmp" "$tmp/b.PNG"
"$cli" convert "$tmp/b.PNG" "$tmp/b.ppm"
cmp "$tmp/a.ppm" "$tmp/b.ppm"
"$cli" convert "$tmp/a.ppm" "$tmp/c.png"
"$cli" convert "$tmp/c.png" "$tmp/c.ppm"
cmp "$tmp/a.ppm" "$tmp/c.ppm"

# JPEG: the quality changes the size; 100 is the default.
"$cli" convert "$src" "$tmp/q10.jpg" --quality 10
"$cli" convert "$src" "$tmp/q100.jpeg"
[ "$(stat -c %s "$tmp/q10.jpg")" -lt "$(stat -c %s "$tmp/q100.jpeg")" ]

# Other sources: an icon, a BMP with RLE, a JPEG, a GIF's first frame.
"$cli" convert "$data/ico/gen-32bpp-16-32-48.ico" "$tmp/i.bmp"
"$cli" convert "$data/bmp/g/pal8rle.bmp" "$tmp/r.png"
"$cli" convert "$data/jpeg/progressive.jpg" "$tmp/j.png"
"$cli" convert "$data/gif/ts-depth8.gif" "$tmp/g.png"

# info
out=$("$cli" info "$tmp/i.bmp")
grep -q "^kind: BMP$" <<<"$out"
grep -q "^size: 48 x 48$" <<<"$out"
out=$("$cli" info "$data/pngsuite/basi3p04.png")
grep -q "^kind: PNG$" <<<"$out"
grep -q "^color type: 3 (palette)$" <<<"$out"
grep -q "^bit depth: 4$" <<<"$out"
grep -q "^interlace: Adam7$" <<<"$out"
grep -q "^transparency: none$" <<<"$out"
out=$("$cli" info "$data/pngsuite/tbrn2c08.png")
grep -q "^transparency: one color, 0x" <<<"$out"
out=$("$cli" info "$data/pngsuite/basn6a16.png")
grep -q "^transparency: partial$" <<<"$out"
grep -q "^bit depth: 16$" <<<"$out"
out=$("$cli" info "$data/jpeg/grey.jpg")
grep -q "^size: 128 x 128$" <<<"$out"

# Failures: one line naming the file and the problem, exit 1, nothing written.
expect_exit 1 "$cli" convert "$data/png-broken/crc-idat.png" "$tmp/x.bmp"
grep -q "crc-idat.png: PNG: .*crc error" "$tmp/err"
[ ! -e "$tmp/x.bmp" ]
expect_exit 1 "$cli" convert "$data/bmp/b/reallybig.bmp" "$tmp/x.png"
grep -q "reallybig.bmp: BMP: " "$tmp/err"
expect_exit 1 "$cli" convert "$tmp/none.jpg" "$tmp/x.png"
grep -q "none.jpg: No such file or directory" "$tmp/err"
head -c 2000 "$data/jpeg/progressive.jpg" > "$tmp/cut.jpg"
expect_exit 1 "$cli" convert "$tmp/cut.jpg" "$tmp/x.png"
grep -q "cut.jpg: JPEG: " "$tmp/err"
[ ! -e "$tmp/x.png" ]
expect_exit 1 "$cli" info "$data/ico/gen-zero-images.ico"
grep -q "This file is not ICO." "$tmp/err"
expect_exit 1 "$cli" info "$data/png-broken/ihdr-not-first.png"
grep -q "This file is not PNG." "$tmp/err"
expect_exit 1 "$cli" convert "$tmp/a.txt" "$tmp/x.png"

# GIF output is written or refused cleanly.
set +e; "$cli" convert "$src" "$tmp/o.gif" 2>/dev/null; code=$?; set -e
[ "$code" -eq 0 ] || { [ "$code" -eq 1 ] && [ ! -e "$tmp/o.gif" ]; }

# Wrong usage.
expect_exit 2 "$cli" convert "$src"
expect_exit 2 "$cli" convert "$src" "$tmp/x.tiff"
expect_exit 2 "$cli" convert "$src" "$tmp/x.jpg" --quality 101
expect_exit 2 "$cli" convert "$src" "$tmp/x.jpg" --quality high
expect_exit 2 "$cli" convert "$src" "$tmp/x.png" --quality 50
expect_exit 2 "$cli" convert "$src" "$tmp/x.png" --colors 16
exit 0
