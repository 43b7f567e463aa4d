#!/usr/bin/env bash
# pelko-cli blend: the fade's GIF in the work folder with the alphas of the
# sequence, its frames inserted after frame N and saved; a second run takes
# the next free name; wrong usage and missing frames fail without a file.
set -euo pipefail
cli=$1
tmp=$(mktemp -d)
made=()
trap 'rm -rf "$tmp"; rm -f "${made[@]}"' EXIT

# a black and a white 4 x 4 picture in a GIF project
printf 'P6\n4 4\n255\n' >"$tmp/black.ppm"; head -c 48 /dev/zero >>"$tmp/black.ppm"
printf 'P6\n4 4\n255\n' >"$tmp/white.ppm"; head -c 48 /dev/zero | tr '\0' '\377' >>"$tmp/white.ppm"
"$cli" convert "$tmp/black.ppm" "$tmp/black.png"
"$cli" convert "$tmp/white.ppm" "$tmp/white.png"
"$cli" new "$tmp/p.mcp" "$tmp/black.png" "$tmp/white.png" "$tmp/black.png" --type gif --time 100 >/dev/null

gif=$("$cli" blend "$tmp/p.mcp" 2 --time 305)
made+=("$gif")
[ "$(basename "$gif")" = AlphaBlend.gif ] || [[ "$(basename "$gif")" =~ ^AlphaBlend[0-9]+\.gif$ ]]
info=$("$cli" info "$tmp/p.mcp")
grep -q "Frame's number: 8" <<<"$info"
# frames 3..7 come from the GIF, 0..4 in order, each 300 ms; frame 8 is the last black
for k in 0 1 2 3 4; do
  grep -A1 "^frame $((k + 3)): $gif \[$k\]" <<<"$info" | grep -q "time 300,"
done
grep -q "^frame 8: $tmp/black.png" <<<"$info"
if command -v ffmpeg >/dev/null; then
  greys=$(ffmpeg -v error -i "$gif" -f rawvideo -pix_fmt gray - | od -An -tu1 -w16 -v | awk '{print $1}' | tr '\n' ' ')
  [ "$greys" = "0 63 126 189 252 " ] || { echo "alphas: $greys"; exit 1; }
fi

# hide up from the first frame over the background colour; the name moves on
gif2=$("$cli" blend "$tmp/p.mcp" 1 --count 2 --hide --background FF0000)
made+=("$gif2")
[ "$gif2" != "$gif" ] && [ -s "$gif" ]
grep -q "Frame's number: 10" <<<"$("$cli" info "$tmp/p.mcp")"

set +e
before=$(ls "$(dirname "$gif")" | wc -l)
"$cli" blend "$tmp/p.mcp" 11 >/dev/null 2>&1; [ $? -eq 1 ] || { echo "a frame past the end must fail"; exit 1; }
"$cli" blend "$tmp/p.mcp" 0 >/dev/null 2>&1; [ $? -eq 2 ] || { echo "frame 0 is wrong usage"; exit 1; }
"$cli" blend "$tmp/p.mcp" 1 --count 1 >/dev/null 2>&1; [ $? -eq 2 ] || { echo "--count 1 is wrong usage"; exit 1; }
"$cli" blend "$tmp/p.mcp" 1 --background red >/dev/null 2>&1; [ $? -eq 2 ] || { echo "a named colour is wrong usage"; exit 1; }
"$cli" blend "$tmp/none.mcp" 1 >/dev/null 2>&1; [ $? -eq 1 ] || { echo "a missing project must fail"; exit 1; }
rm "$tmp/white.png"
"$cli" blend "$tmp/p.mcp" 1 >/dev/null 2>&1; [ $? -eq 1 ] || { echo "a project with a missing picture must fail"; exit 1; }
[ "$(ls "$(dirname "$gif")" | wc -l)" = "$before" ] || { echo "a failure must write no GIF"; exit 1; }
grep -q "white.png" "$tmp/p.mcp" || { echo "a failure must leave the project as it was"; exit 1; }
exit 0
