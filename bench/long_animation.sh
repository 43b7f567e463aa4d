#!/usr/bin/env bash
# Long animations at 1920x1080: peak memory and time of pelko-cli info, of
# pelko-cli generate to AVI (uncompressed and MPEG-4) and, with --gif, to an
# animated GIF (plain, and with one colour map, merging and cropping, which
# take a second pass over the animation), for projects of N
# frames made from ten 1080p pictures, each frame placed, sized, mirrored,
# greyed or inverted in its own way (so nearly every frame image differs and
# no folder of thousands of files is needed).
#   bash bench/long_animation.sh PELKO_CLI [N...] [--cache-mb MB] [--gif] [--no-avi]
# N defaults to 300 1000 3000. Targets: AVI <= 400 MB peak, GIF <= 600 MB,
# info < 50 MB.
# The uncompressed AVI of 3000 frames takes about 19 GB of disk while it is
# measured; TMPDIR chooses where.
set -euo pipefail
cli=$(realpath "$1")
shift
counts=()
cache=()
gif=0
avi=1
while [ $# -gt 0 ]; do
  case $1 in
    --cache-mb) cache=(--cache-mb "$2"); shift 2 ;;
    --gif) gif=1; shift ;;
    --no-avi) avi=0; shift ;;
    *) counts+=("$1"); shift ;;
  esac
done
[ ${#counts[@]} -gt 0 ] || counts=(300 1000 3000)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# ten 1080p JPEG pictures of moving test patterns
ffmpeg -v error -f lavfi -i testsrc2=size=1920x1080:rate=25 -vf "select='not(mod(n,7))'" -vsync vfr \
  -frames:v 10 -q:v 3 "$tmp/pic_%02d.jpg"

# project.mcp of n frames: the AVI canvas 1920x1080 at 25 frames a second
make_project() {
  local n=$1 out=$2
  awk -v n="$n" 'BEGIN {
    print "[Main]\nVersion=Pelko v.2.2\n[Parameters]\nWidth=1920\nHeight=1080\nStretch=0\nType=0\nTime=40\nSound=0\nWav_File="
    print "[Files]"
    for (i = 1; i <= n; i++) {
      k = (i - 1) % 10
      # a size and place per frame: cut, padded or stretched
      w = 960 + ((i * 37) % 961); h = 540 + ((i * 53) % 541)
      stretch = (i % 11 == 0)
      printf "File_%d=pic_%02d.jpg\nFlip_%d=%d\nInverse_%d=%d\nGray_%d=%d\nFrame_%d=0\n", i, k + 1, i, int(i / 10) % 4, i, (i % 3 == 1), i, (i % 5 >= 3), i
      printf "ColorDither_%d=0\nColorReduction_%d=7\nReductionBit_%d=8\nGIFCompression_%d=0\nGIFTransparent_%d=0\n", i, i, i, i, i
      printf "DisposalMethod_%d=0\nTransparentColor_%d=16777215\nTransparentColorIndex_%d=0\n", i, i, i
      printf "Stretch_%d=%d\nLeft_%d=%d\nTop_%d=%d\nWidth_%d=%d\nHeight_%d=%d\n", i, stretch, i, (i * 17) % (1920 - w + 1), i, (i * 29) % (1080 - h + 1), i, w, i, h
    }
  }' >"$out"
}

measure() {  # measure LABEL command...: peak memory in MB and wall seconds
  local label=$1; shift
  if ! /usr/bin/time -f "%M %e" -o "$tmp/t" "$@" >/dev/null 2>"$tmp/err"; then
    echo "$label failed:" >&2
    cat "$tmp/err" >&2
    exit 1
  fi
  read -r rss wall <"$tmp/t"
  printf '%-26s %8.1f MB %9.2f s\n' "$label" "$(echo "scale=1; $rss / 1024" | bc)" "$wall"
}

printf '%-26s %11s %11s\n' "run" "peak" "time"
for n in "${counts[@]}"; do
  make_project "$n" "$tmp/project.mcp"
  measure "info, $n frames" "$cli" info "$tmp/project.mcp" "${cache[@]}"
  if [ $avi = 1 ]; then
    measure "AVI uncompressed, $n" "$cli" generate "$tmp/project.mcp" "$tmp/out.avi" --codec dib "${cache[@]}"
    rm -f "$tmp/out.avi"
    measure "AVI MPEG-4, $n" "$cli" generate "$tmp/project.mcp" "$tmp/out.avi" --codec divx "${cache[@]}"
    rm -f "$tmp/out.avi"
  fi
  if [ $gif = 1 ]; then
    measure "GIF, $n" "$cli" generate "$tmp/project.mcp" "$tmp/out.gif" "${cache[@]}"
    rm -f "$tmp/out.gif"
    measure "GIF optimized, $n" "$cli" generate "$tmp/project.mcp" "$tmp/out.gif" --optimize --merge --crop \
      "${cache[@]}"
    rm -f "$tmp/out.gif"
  fi
done
