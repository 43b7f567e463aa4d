#!/usr/bin/env bash
# Quality of colour reduction beside other tools: mean PSNR (dB, RGB) of
# frames reduced to one 256-colour GIF each.
#
#   bash bench/gif_color_quality.sh [PELKO_CLI] [FRAMES_DIR]
#
# PELKO_CLI defaults to the first pelko-cli found in build*/src/cli/.
# FRAMES_DIR holds frame_NNNN.png; without it, 60 frames of 640 x 360 are
# made with /work/shared/bench/make_frames.sh (or $PELKO_MAKE_FRAMES).
# Rows: rmQuantize 8 bits with dmNearest and with dmFloydSteinberg, ffmpeg's
# palettegen/paletteuse (a palette per frame, default dithering) and
# ImageMagick's default GIF output.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CLI="${1:-}"
if [ -z "$CLI" ]; then
  for c in "$ROOT"/build-colour-bench/src/cli/pelko-cli "$ROOT"/build*/src/cli/pelko-cli; do
    [ -x "$c" ] && { CLI=$c; break; }
  done
fi
[ -x "$CLI" ] || { echo "no pelko-cli found; build it or pass its path" >&2; exit 2; }
IM="$(command -v /usr/bin/convert || command -v convert)"
command -v ffmpeg >/dev/null || { echo "ffmpeg is needed" >&2; exit 2; }

T="$(mktemp -d)"; trap 'rm -rf "$T"' EXIT
FRAMES="${2:-}"
if [ -z "$FRAMES" ]; then
  FRAMES="$T/frames"
  bash "${PELKO_MAKE_FRAMES:-/work/shared/bench/make_frames.sh}" "$FRAMES" 60 640x360 >/dev/null
fi
mapfile -t SRC < <(ls "$FRAMES"/frame_*.png)
[ "${#SRC[@]}" -gt 0 ] || { echo "no frame_*.png in $FRAMES" >&2; exit 2; }

psnr() {  # GIF SOURCE -> average PSNR in dB (99 for identical pictures)
  local v
  v=$(ffmpeg -nostdin -hide_banner -i "$1" -i "$2" \
        -lavfi "[0:v]format=rgb24[a];[1:v]format=rgb24[b];[a][b]psnr" -f null - 2>&1 |
      sed -n 's/.*PSNR.* average:\([0-9.inf]*\).*/\1/p' | tail -1)
  [ "$v" = "inf" ] && v=99
  echo "$v"
}

declare -A SUM TIME
METHODS=(pelko_nearest pelko_floyd ffmpeg imagemagick)
for m in "${METHODS[@]}"; do SUM[$m]=0; TIME[$m]=0; done

for f in "${SRC[@]}"; do
  for m in "${METHODS[@]}"; do
    out="$T/$m.gif"
    start=$(date +%s%N)
    case $m in
      pelko_nearest) "$CLI" convert "$f" "$out" --reduction quantize --colors 256 --dither nearest ;;
      pelko_floyd)   "$CLI" convert "$f" "$out" --reduction quantize --colors 256 --dither floydsteinberg ;;
      ffmpeg)        ffmpeg -v error -nostdin -y -i "$f" -lavfi "split[a][b];[a]palettegen[p];[b][p]paletteuse" "$out" ;;
      imagemagick)   "$IM" "$f" "$out" ;;
    esac
    end=$(date +%s%N)
    TIME[$m]=$(( ${TIME[$m]} + (end - start) / 1000000 ))
    SUM[$m]=$(awk -v a="${SUM[$m]}" -v b="$(psnr "$out" "$f")" 'BEGIN { print a + b }')
  done
done

n=${#SRC[@]}
printf '%-44s %8s %14s\n' "method ($n frames)" "PSNR dB" "ms per frame"
label() {
  case $1 in
    pelko_nearest) echo "Pelko rmQuantize 8 bits, dmNearest" ;;
    pelko_floyd)   echo "Pelko rmQuantize 8 bits, dmFloydSteinberg" ;;
    ffmpeg)        echo "ffmpeg palettegen + paletteuse" ;;
    imagemagick)   echo "ImageMagick default GIF" ;;
  esac
}
for m in "${METHODS[@]}"; do
  printf '%-44s %8.2f %14d\n' "$(label $m)" "$(awk -v s="${SUM[$m]}" -v n="$n" 'BEGIN { print s / n }')" $(( ${TIME[$m]} / n ))
done
echo "(times include starting each program and writing the file)"
