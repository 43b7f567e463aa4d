#!/usr/bin/env bash
# pelko-cli info and frames on GIF files: the structure printout, the frame
# pictures, and failures with exit code 1 and one line on stderr.
set -u
CLI=$1
DATA=$2
fails=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1; shift
    if ! "$@"; then echo "FAIL: $what"; fails=$((fails + 1)); fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A 4x2 two-frame GIF89a with a global map of 4 colours, a loop extension, a
# comment and a transparent second frame, written byte by byte.
printf 'GIF89a\x04\x00\x02\x00\x91\x00\x00' > "$tmp/a.gif"
printf '\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff' >> "$tmp/a.gif"
printf '\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00' >> "$tmp/a.gif"
printf '\x21\xfe\x05hello\x00' >> "$tmp/a.gif"
printf '\x21\xf9\x04\x04\x0a\x00\x00\x00' >> "$tmp/a.gif"
# Frame 0: codes (3 bits) clear, 0 1 2 3 0 1 2 3 ... as plain codes with a clear
# before each pair so widths stay 3 bits: 4 0 1 4 2 3 4 0 1 4 2 3 5.
python3 - "$tmp/a.gif" <<'PY'
import sys
def pack(codes, width=3):
    acc = bits = 0; out = bytearray()
    for c in codes:
        acc |= c << bits; bits += width
        while bits >= 8: out.append(acc & 255); acc >>= 8; bits -= 8
    if bits: out.append(acc & 255)
    return bytes(out)
def image(left, top, w, h, codes):
    data = pack(codes)
    return (b'\x2c' + bytes([left, 0, top, 0, w, 0, h, 0, 0]) + b'\x02' + bytes([len(data)]) + data + b'\x00')
f = open(sys.argv[1], 'ab')
f.write(image(0, 0, 4, 2, [4, 0, 1, 4, 2, 3, 4, 0, 1, 4, 2, 3, 5]))
f.write(b'\x21\xf9\x04\x09\x14\x00\x03\x00')
f.write(image(1, 0, 2, 1, [4, 3, 2, 5]))
f.write(b'\x3b')
PY

out=$("$CLI" info "$tmp/a.gif")
check "info exits 0" test $? -eq 0
check "logical screen" grep -q '^logical screen: 4x2' <<<"$out"
check "global map" grep -q '^global color map: 4 colors' <<<"$out"
check "frame count" grep -q '^frames: 2' <<<"$out"
check "frame 0 line" grep -q '^frame 0: bounds 0,0 4x2, interlaced no, local color map 0 colors, delay 10, disposal keep, transparent no' <<<"$out"
check "frame 1 line" grep -q '^frame 1: bounds 1,0 2x1, .* delay 20, disposal background, transparent yes (index 3)' <<<"$out"
check "comment" grep -q 'comment: "hello"' <<<"$out"
check "loop count" grep -q '^loop count: 0 (endless)' <<<"$out"

check "frames exits 0" "$CLI" frames "$tmp/a.gif" "$tmp/out" --format ppm
check "two pictures" test -f "$tmp/out/0000.ppm" -a -f "$tmp/out/0001.ppm" -a ! -e "$tmp/out/0002.ppm"
# Frame 0 row 0 is red, green, blue, white.
expected=$(printf 'P6\n4 2\n255\n\xff\x00\x00\x00\xff\x00\x00\x00\xff\xff\xff\xff' | od -An -tx1 | tr -d ' \n')
actual=$(head -c $((11 + 12)) "$tmp/out/0000.ppm" | od -An -tx1 | tr -d ' \n')
check "frame 0 pixels" test "$expected" = "$actual"
check "frame 1 size" grep -q '^2 1$' <(sed -n 2p "$tmp/out/0001.ppm")

# Wrong usage and broken files.
"$CLI" frames "$tmp/a.gif" 2>/dev/null; check "frames usage exits 2" test $? -eq 2
"$CLI" frames "$tmp/a.gif" "$tmp/o2" --format png 2>/dev/null; check "unknown format exits 2" test $? -eq 2
printf 'GIX89a\x01\x00\x01\x00\x00\x00\x00\x3b' > "$tmp/bad.gif"
err=$("$CLI" info "$tmp/bad.gif" 2>&1 >/dev/null); rc=$?
check "bad signature exits 1" test $rc -eq 1
check "bad signature message" grep -q 'Invalid GIF signature' <<<"$err"
check "one error line" test "$(wc -l <<<"$err")" -eq 1

if [ -d "$DATA/gif" ]; then
    out=$("$CLI" info "$DATA/gif/ts-no-eoi.gif")
    check "warnings are listed" grep -q '^warning: Decoder bit buffer under-run' <<<"$out"
    check "corpus frames" "$CLI" frames "$DATA/gif/pil-dispose_bgnd.gif" "$tmp/corpus"
    check "five corpus pictures" test "$(ls "$tmp/corpus" | wc -l)" -eq 5
else
    echo "skipping corpus checks: $DATA/gif is absent"
fi

[ "$fails" -eq 0 ] || { echo "$fails checks failed"; exit 1; }
