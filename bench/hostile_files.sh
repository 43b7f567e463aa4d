#!/usr/bin/env bash
# Hostile picture files against pelko-cli. Each case is made here (small
# files that declare large pictures, lack their data, or repeat what a format
# lets them repeat), then "info" and "convert" run on it under
# /usr/bin/time -v. Prints one line per run: case, file size, command, exit
# code, peak memory (MB) and seconds. The goal for a refused file under 1 MB
# is less than 256 MB and 1 s.
#
#   bench/hostile_files.sh [PELKO_CLI]        run the table (default: the
#                                             first pelko-cli found in build-*/)
#   bench/hostile_files.sh --write DIR        only write the cases into DIR
#   bench/hostile_files.sh --crashers         write the tiny cases (under 4 KB)
#                                             into tests/crashers/READER/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

generate() {  # generate DIR [MAX_BYTES]: writes every case (up to MAX_BYTES) into DIR
  python3 - "$1" "${2:-0}" <<'PY'
import os, struct, sys, zlib

out, limit = sys.argv[1], int(sys.argv[2])
os.makedirs(out, exist_ok=True)
cases = {}

def le16(v): return struct.pack('<H', v)
def le32(v): return struct.pack('<I', v)
def be32(v): return struct.pack('>I', v)

# GIF ------------------------------------------------------------------------
def gif_header(w, h):
    return b'GIF89a' + le16(w) + le16(h) + b'\x80\x00\x00' + b'\x00\x00\x00\xff\xff\xff'

def gif_image(w, h, data=b'\x02\x02\x4c\x01\x00'):  # code size 2: clear, 0, end
    return b'\x2c' + le16(0) + le16(0) + le16(w) + le16(h) + b'\x00' + data

cases['gif_reader/frame-16384x16384.gif'] = gif_header(16384, 16384) + gif_image(16384, 16384) + b'\x3b'
cases['gif_reader/frame-10000x10000-no-data.gif'] = gif_header(10000, 10000) + gif_image(10000, 10000) + b'\x3b'
gce = b'\x21\xf9\x04\x00\x0a\x00\x00\x00'
cases['gif_reader/500000-extensions.gif'] = gif_header(1, 1) + gce * 500000 + gif_image(1, 1) + b'\x3b'
cases['gif_reader/70000-frames.gif'] = gif_header(1, 1) + (gce + gif_image(1, 1)) * 70000 + b'\x3b'

# PNG ------------------------------------------------------------------------
def chunk(kind, data):
    return be32(len(data)) + kind + data + be32(zlib.crc32(kind + data) & 0xffffffff)

def png(w, h, depth, colour, idat, last=b''):
    ihdr = be32(w) + be32(h) + bytes([depth, colour, 0, 0, 0])
    return b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', ihdr) + idat + last + chunk(b'IEND', b'')

def zeros_deflated(total, level=9):
    z = zlib.compressobj(level)
    block = bytes(1 << 20)
    parts = []
    while total > 0:
        n = min(total, len(block))
        parts.append(z.compress(block[:n]))
        total -= n
    parts.append(z.flush())
    return b''.join(parts)

def idat_chunks(data, size=65536):
    return b''.join(chunk(b'IDAT', data[i:i + size]) for i in range(0, len(data), size))

# 16384 x 16384 one-bit grey: 33 MB of rows, 33 KB deflated.
cases['png_reader/16384x16384-1bit.png'] = png(16384, 16384, 1, 0, idat_chunks(zeros_deflated(16384 * (1 + 2048))))
# 10000 x 10000 RGBA whose 370 KB of image data is not deflate data.
garbage = b'\x78\x9c' + bytes((i * 7919 + 13) % 251 for i in range(370000))
cases['png_reader/10000x10000-rgba-garbage.png'] = png(10000, 10000, 8, 6, idat_chunks(garbage))
cases['png_reader/10000x10000-rgba-5-bytes.png'] = png(10000, 10000, 8, 6, chunk(b'IDAT', b'\x78\x9c\x03\x00\x00'))

# BMP ------------------------------------------------------------------------
def bmp(w, h, bits, compression, pixels, colours=b''):
    offset = 14 + 40 + len(colours)
    info = le32(40) + le32(w) + le32(h & 0xffffffff) + le16(1) + le16(bits) + le32(compression) + le32(len(pixels)) + le32(2835) * 2 + le32(0) * 2
    return b'BM' + le32(offset + len(pixels)) + le32(0) + le32(offset) + info + colours + pixels

cases['image_bmp/16384x16384.bmp'] = bmp(16384, 16384, 24, 0, bytes(1024))
cases['image_bmp/10000x10000-rows-missing.bmp'] = bmp(10000, 10000, 24, 0, bytes(1024))
cases['image_bmp/rle8-10000x10000-1k.bmp'] = bmp(10000, 10000, 8, 1, b'\xff\x01' * 500 + b'\x00\x01', bytes(1024))

# ICO ------------------------------------------------------------------------
def ico(entries, blobs):
    # entries: (width, height, blob index); blobs follow the directory.
    head = le16(0) + le16(1) + le16(len(entries))
    at = 6 + 16 * len(entries)
    offsets = []
    for b in blobs:
        offsets.append(at)
        at += len(b)
    d = b''.join(bytes([w & 255, h & 255, 0, 0]) + le16(1) + le16(32) + le32(len(blobs[i])) + le32(offsets[i])
                 for w, h, i in entries)
    return head + d + b''.join(blobs)

# Three PNG entries of 10000 x 10000 grey whose data is one row short: each
# inflates 100 MB before it fails. 65535 entries name them over and over.
short = png(10000, 10000, 8, 0, idat_chunks(zeros_deflated(9999 * 10001)))
blobs = [short, short, short]
cases['image_ico/65535-entries.ico'] = ico([(0, 0, i % 3) for i in range(65535)], blobs)
dib = le32(40) + le32(16384) + le32(32768) + le16(1) + le16(32) + le32(0) * 6
cases['image_ico/dib-16384x16384.ico'] = ico([(0, 0, 0)], [dib + bytes(64)])

# JPEG -----------------------------------------------------------------------
class Bits:
    def __init__(self): self.out = bytearray(); self.acc = 0; self.n = 0
    def put(self, value, count):
        for i in range(count - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1); self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xff: self.out.append(0)
                self.acc = 0; self.n = 0
    def done(self):
        if self.n: self.put((1 << (8 - self.n)) - 1, 8 - self.n)
        return bytes(self.out)

def seg(marker, body): return b'\xff' + bytes([marker]) + struct.pack('>H', len(body) + 2) + body

def jpeg_head(w, h, sof=0xc2):
    dqt = seg(0xdb, b'\x00' + bytes([1]) * 64)
    frame = seg(sof, b'\x08' + struct.pack('>HH', h, w) + b'\x01\x01\x11\x00')
    # One code of one bit each: DC category 0, AC EOB14 (a run of up to 32767 empty blocks).
    dht = seg(0xc4, b'\x00' + b'\x01' + bytes(15) + b'\x00') + seg(0xc4, b'\x10' + b'\x01' + bytes(15) + b'\xe0')
    return b'\xff\xd8' + dqt + frame + dht

def dc_scan(blocks):
    b = Bits()
    for _ in range(blocks): b.put(0, 1)
    return seg(0xda, b'\x01\x01\x00\x00\x00\x00') + b.done()

def ac_scan(blocks):
    b = Bits()
    while blocks > 0:  # a run may go past the scan's last block
        run = max(min(blocks, 32767), 1 << 14)
        b.put(0, 1); b.put(run - (1 << 14), 14)
        blocks -= run
    return seg(0xda, b'\x01\x01\x00\x01\x3f\x00') + b.done()

cases['image_jpeg/16384x16384.jpg'] = jpeg_head(16384, 16384) + dc_scan(1) + b'\xff\xd9'
blocks64 = (64 // 8) ** 2
cases['image_jpeg/50000-scans.jpg'] = jpeg_head(64, 64) + dc_scan(blocks64) + ac_scan(blocks64) * 50000 + b'\xff\xd9'
blocks = 1250 * 1250
cases['image_jpeg/10000x10000-100-scans.jpg'] = jpeg_head(10000, 10000) + dc_scan(blocks) + ac_scan(blocks) * 99 + b'\xff\xd9'
cases['image_jpeg/10000x10000-blocks-missing.jpg'] = jpeg_head(10000, 10000) + dc_scan(8000) + b'\xff\xd9'
cases['image_jpeg/4000x4000-no-end.jpg'] = jpeg_head(4000, 4000, 0xc0) + dc_scan(250000)[:40000]

for name, data in cases.items():
    if limit and len(data) > limit:
        continue
    path = os.path.join(out, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)
PY
}

case "${1:-}" in
  --write)
    generate "${2:?usage: $0 --write DIR}"
    exit 0 ;;
  --crashers)
    generate "$root/tests/crashers" 4096
    exit 0 ;;
esac

cli=${1:-}
if [ -z "$cli" ]; then
  for c in "$root"/build*/src/cli/pelko-cli; do
    [ -x "$c" ] && { cli=$c; break; }
  done
fi
[ -n "$cli" ] && [ -x "$cli" ] || { echo "no pelko-cli found: build it or name it" >&2; exit 2; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
generate "$tmp/cases"

printf '%-44s %9s %-8s %5s %9s %8s\n' case bytes command exit peak-MB seconds
for f in $(cd "$tmp/cases" && find . -type f | sort); do
  f=${f#./}
  size=$(stat -c %s "$tmp/cases/$f")
  for cmd in info convert; do
    if [ "$cmd" = info ]; then args=(info "$tmp/cases/$f"); else args=(convert "$tmp/cases/$f" "$tmp/out.png"); fi
    set +e
    /usr/bin/time -v -o "$tmp/time" "$cli" "${args[@]}" >/dev/null 2>"$tmp/err"
    code=$?
    set -e
    rm -f "$tmp/out.png"
    kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$tmp/time")
    secs=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$tmp/time" |
      awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }')
    printf '%-44s %9d %-8s %5d %9.1f %8s\n' "$f" "$size" "$cmd" "$code" "$(awk -v k="$kb" 'BEGIN { print k / 1024 }')" "$secs"
  done
done
