#!/usr/bin/env bash
# pelko-cli convert to GIF: the colour options choose the reduction, the
# palettes have the sizes they promise, and wrong options are usage errors.
set -euo pipefail
cli=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

expect_exit() {  # CODE COMMAND...
  local want=$1; shift
  set +e; "$@" >"$tmp/out" 2>"$tmp/err"; local got=$?; set -e
  if [ "$got" -ne "$want" ]; then
    echo "expected exit $want, got $got: $*"; cat "$tmp/err"; exit 1
  fi
}

# The global colour table size from the logical screen descriptor.
table_size() { perl -e 'open(F, "<:raw", $ARGV[0]) or die; read(F, $d, 11); $p = ord(substr($d, 10, 1)); print(($p & 0x80) ? 2 << ($p & 7) : 0)' "$1"; }

# A 64 x 48 PPM with smooth ramps (thousands of colours).
perl -e 'open(F, ">:raw", $ARGV[0]) or die; print F "P6\n64 48\n255\n";
  for $y (0..47) { for $x (0..63) { print F pack("C3", $x * 4, $y * 5, (($x + $y) * 2) % 256) } }' "$tmp/ramp.ppm"
# Four flat colours: quantizing keeps them exactly.
perl -e 'open(F, ">:raw", $ARGV[0]) or die; print F "P6\n16 8\n255\n";
  @c = ([10, 20, 30], [200, 0, 0], [0, 200, 0], [250, 250, 250]);
  for $y (0..7) { for $x (0..15) { print F pack("C3", @{$c[(int($x / 4) + $y) % 4]}) } }' "$tmp/flat.ppm"

"$cli" convert "$tmp/flat.ppm" "$tmp/flat.gif"
case "$(head -c 6 "$tmp/flat.gif")" in GIF87a|GIF89a) ;; *) echo "not a GIF"; exit 1;; esac
"$cli" convert "$tmp/flat.gif" "$tmp/flat_back.ppm"
cmp "$tmp/flat.ppm" "$tmp/flat_back.ppm"
[ "$(table_size "$tmp/flat.gif")" -eq 4 ]

# Reductions and their colour counts (the table is written at a power of two).
check() {  # MAX_TABLE ARGS...
  local max=$1; shift
  "$cli" convert "$tmp/ramp.ppm" "$tmp/r.gif" "$@"
  local n; n=$(table_size "$tmp/r.gif")
  if [ "$n" -gt "$max" ] || [ "$n" -lt 2 ]; then echo "table of $n entries for $*"; exit 1; fi
}
check 256
check 8 --colors 8
check 32 --reduction quantize --colors 32 --dither floydsteinberg
check 2 --reduction monochrome --dither stucki
check 4 --reduction WindowsGray
check 256 --reduction rmNetscape --dither burkes
check 32 --reduction windows20 --dither sierra
check 256 --reduction grayscale --dither jajuni
check 256 --reduction quantizewindows --dither stevearche

# Dithering changes the pixels, not the size.
"$cli" convert "$tmp/ramp.ppm" "$tmp/n.gif" --reduction netscape
"$cli" convert "$tmp/ramp.ppm" "$tmp/d.gif" --reduction netscape --dither floydsteinberg
! cmp -s "$tmp/n.gif" "$tmp/d.gif"

# rmNone keeps true colour only up to 256 colours.
"$cli" convert "$tmp/flat.ppm" "$tmp/none.gif" --reduction none
expect_exit 1 "$cli" convert "$tmp/ramp.ppm" "$tmp/none.gif" --reduction none
grep -q "Color table overflow" "$tmp/err"

# Wrong options.
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --reduction sepia
grep -q "quantize" "$tmp/err"
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --reduction palette
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --dither random
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --colors 100
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --colors 4
expect_exit 2 "$cli" convert "$tmp/ramp.ppm" "$tmp/x.gif" --fast
[ ! -e "$tmp/x.gif" ]
echo "color_convert_gif: all passed"
