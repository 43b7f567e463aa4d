#!/usr/bin/env bash
# pelko-cli text: the creeping line's GIF in the work folder named after its
# text, its frames inserted after frame N (or appended after the last) and
# saved; a second run takes the next free name; wrong usage and an area off
# the canvas fail without a file.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
made=()
trap 'rm -rf "$tmp"; rm -f "${made[@]}"' EXIT
pics="$root/data/demo/pictures"
"$cli" new "$tmp/p.mcp" "$pics/frame0.png" "$pics/frame1.png" "$pics/frame2.png" --type gif --time 100 >/dev/null

gif=$("$cli" text "$tmp/p.mcp" 2 --text "A/B" --count 3 --time 250 --area 10,20,100,30 --font "Sans Serif,14,bold" --color 0000FF)
made+=("$gif")
[[ "$(basename "$gif")" =~ ^A_B[0-9]*\.gif$ ]] || { echo "name: $gif"; exit 1; }
info=$("$cli" info "$tmp/p.mcp")
grep -q "Frame's number: 6" <<<"$info"
for k in 0 1 2; do
  frame=$(grep -A2 "^frame $((k + 3)): $gif \[$k\]" <<<"$info")
  grep -q "time 250, .* place 10,20 100 x 30" <<<"$frame"
  grep -q "bits 3," <<<"$frame"
done
grep -q "^frame 6: $pics/frame2.png" <<<"$info"
if command -v ffprobe >/dev/null; then
  probe=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames,width,height -of csv=p=0 "$gif")
  [ "$probe" = "100,30,3" ] || { echo "$gif: $probe"; exit 1; }
fi

# after the last frame the frames are appended over the whole canvas
gif2=$("$cli" text "$tmp/p.mcp" 6 --text "" --direction up --count 2)
made+=("$gif2")
[[ "$(basename "$gif2")" =~ ^text[0-9]*\.gif$ ]] || { echo "name: $gif2"; exit 1; }
info=$("$cli" info "$tmp/p.mcp")
grep -q "Frame's number: 8" <<<"$info"
grep -A1 "^frame 8: $gif2 \[1\]" <<<"$info" | grep -q "place 0,0 200 x 120"

# the same text again never replaces the first file
first=$(md5sum <"$gif")
gif3=$("$cli" text "$tmp/p.mcp" 1 --text "A/B" --count 2 --direction right --start 0,5)
made+=("$gif3")
[ "$gif3" != "$gif" ] && [ "$(md5sum <"$gif")" = "$first" ]

set +e
work=$(dirname "$gif")
before=$(ls "$work" | wc -l)
"$cli" text "$tmp/p.mcp" 1 >/dev/null 2>&1; [ $? -eq 2 ] || { echo "--text is needed"; exit 1; }
"$cli" text "$tmp/p.mcp" 1 --text x --direction sideways >/dev/null 2>&1; [ $? -eq 2 ] || { echo "a bad direction is wrong usage"; exit 1; }
"$cli" text "$tmp/p.mcp" 1 --text x --font Serif >/dev/null 2>&1; [ $? -eq 2 ] || { echo "a font needs a size"; exit 1; }
"$cli" text "$tmp/p.mcp" 1 --text x --area 1,2,3 >/dev/null 2>&1; [ $? -eq 2 ] || { echo "an area needs four numbers"; exit 1; }
"$cli" text "$tmp/p.mcp" 1 --text x --area 150,0,100,10 >/dev/null 2>&1; [ $? -eq 1 ] || { echo "an area off the canvas must fail"; exit 1; }
"$cli" text "$tmp/p.mcp" 99 --text x >/dev/null 2>&1; [ $? -eq 1 ] || { echo "a frame past the end must fail"; exit 1; }
[ "$(ls "$work" | wc -l)" = "$before" ] || { echo "a failure must write no GIF"; exit 1; }
exit 0
