#!/usr/bin/env bash
# The new output formats play in a real browser: pelko-cli makes an MP4, a
# WebM, an animated WebP and an APNG of two pictures (left half red, right
# half blue, then all green), headless Chromium shows them on one page (the
# videos as <video>, the others as <img>), and the screenshot has the first
# picture's colours where each file is placed.
set -euo pipefail
cli=$1
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "SKIP: chromium is not installed"; exit 0; }
command -v convert >/dev/null || { echo "SKIP: ImageMagick's convert is not installed"; exit 0; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 160x120 xc:'#ff0000' -fill '#0000ff' -draw 'rectangle 80,0 159,119' "$tmp/first.png"
convert -size 160x120 xc:'#00ff00' "$tmp/second.png"
# The first picture lasts long enough to be the one shown when the page is taken.
placed=()
for f in mp4 webm webp apng; do
  if ! "$cli" make "$tmp/out.$f" "$tmp/first.png" "$tmp/second.png" --time 30000 >"$tmp/$f.log" 2>&1; then
    if grep -q "must end in" "$tmp/$f.log"; then echo "pelko-cli writes no .$f yet: skipped"; continue; fi
    cat "$tmp/$f.log"; exit 1
  fi
  placed+=("$f")
done

# Each file in a cell of its own, 200 x 150 pixels apart.
{
  echo '<!DOCTYPE html><html><body style="margin:0;background:#fff">'
  i=0
  for f in "${placed[@]}"; do
    style="position:absolute;left:$(( i % 2 * 200 ))px;top:$(( i / 2 * 150 ))px;width:160px;height:120px"
    case $f in
      mp4|webm) echo "<video src=\"out.$f\" preload=\"auto\" muted style=\"$style\"></video>" ;;
      *) echo "<img src=\"out.$f\" style=\"$style\">" ;;
    esac
    i=$(( i + 1 ))
  done
  echo '</body></html>'
} >"$tmp/page.html"

HOME=$tmp timeout 120 "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --mute-audio \
  --autoplay-policy=no-user-gesture-required --window-size=400,300 --virtual-time-budget=4000 \
  --screenshot="$tmp/shot.png" "file://$tmp/page.html" >"$tmp/browser.log" 2>&1 || true
[ -s "$tmp/shot.png" ] || { cat "$tmp/browser.log"; echo "no screenshot"; exit 1; }

# "R,G,B" of the screenshot's pixel at x, y.
pixel() {
  convert "$tmp/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/.*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
# Whether r,g,b is within 48 of each of the expected channels.
near() {
  local IFS=,; read -r r g b <<<"$1"; read -r R G B <<<"$2"
  (( ${r:-999} - R < 48 && R - ${r:-999} < 48 && ${g:-999} - G < 48 && G - ${g:-999} < 48 && ${b:-999} - B < 48 && B - ${b:-999} < 48 ))
}
status=0
i=0
for f in "${placed[@]}"; do
  x=$(( i % 2 * 200 )); y=$(( i / 2 * 150 ))
  left=$(pixel $(( x + 40 )) $(( y + 60 ))); right=$(pixel $(( x + 120 )) $(( y + 60 )))
  if near "$left" 255,0,0 && near "$right" 0,0,255; then
    echo "$f: first frame shown ($left, $right)"
  else
    echo "$f: expected red and blue, the browser shows $left and $right"; status=1
  fi
  i=$(( i + 1 ))
done
exit $status
