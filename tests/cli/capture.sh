#!/usr/bin/env bash
# pelko-cli capture: a known picture on a private X display recorded as an AVI
# (frames, rate and pixels checked with ffprobe and ffmpeg) and as a GIF, the
# cursor drawn in, and the errors without a display.
set -euo pipefail
cli=$1
tmp=$(mktemp -d)
xvfb_pid=
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT
check() {  # WANT GOT WHAT
  if [ "$1" != "$2" ]; then echo "$3: expected '$1', got '$2'"; exit 1; fi
}
fails() {  # CODE MESSAGE ARGS...: capture must end with CODE and say MESSAGE
  local code=$1 message=$2; shift 2
  set +e
  "$cli" capture "$@" >/dev/null 2>"$tmp/err"; local rc=$?
  set -e
  check "$code" "$rc" "capture $* exit code"
  grep -qF -- "$message" "$tmp/err" || { echo "capture $*: no '$message'"; cat "$tmp/err"; exit 1; }
}

DISPLAY= fails 1 "Screen capture needs an X11 display, and this program runs without one" "$tmp/a.avi" --area 0,0,8,8
DISPLAY=:4093 fails 1 "the display :4093 cannot be reached" "$tmp/a.avi" --area 0,0,8,8
fails 2 "--area is needed" "$tmp/a.avi"
fails 2 "--area takes X,Y,WIDTH,HEIGHT" "$tmp/a.avi" --area 0,0,0,8
fails 2 "--count takes 1 to 10000" "$tmp/a.avi" --area 0,0,8,8 --count 0
fails 1 "the output must end in .gif or .avi" "$tmp/a.png" --area 0,0,8,8
fails 2 "--fps takes 5 to 30" "$tmp/a.avi" --area 0,0,8,8 --fps 31 --seconds 1
fails 2 "--fps and --seconds go together" "$tmp/a.avi" --area 0,0,8,8 --fps 10
fails 2 "--count, --period and --duration are for timed grabs" "$tmp/a.avi" --area 0,0,8,8 --fps 10 --seconds 1 --count 3

for tool in Xvfb ffprobe ffmpeg convert display; do
  if ! command -v "$tool" >/dev/null; then echo "$tool is not installed: the recording part skipped"; exit 0; fi
done
# -noreset: the background stays when the last client leaves
Xvfb -displayfd 3 -screen 0 320x240x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start: skipped"; exit 0; }
export DISPLAY=:$(cat "$tmp/display")

# the fixture as the screen's background: red, a blue square, a green bar
convert -size 320x240 xc:'#ff0000' -fill '#0000ff' -draw 'rectangle 100,50 199,149' \
  -fill '#00ff00' -draw 'rectangle 0,200 319,219' "$tmp/fixture.png"
display -window root "$tmp/fixture.png" 2>/dev/null || true  # it sets the background, then says 1
fails 1 "the area 300,0,40,10 does not lie on the 320 x 240 screen" "$tmp/a.avi" --area 300,0,40,10

"$cli" capture "$tmp/c.avi" --area 90,40,40,170 --count 3 --period 50 --duration 200 --quiet
check "5/1,3" "$(ffprobe -v error -count_frames -show_entries stream=r_frame_rate,nb_read_frames -of csv=p=0 "$tmp/c.avi")" "AVI rate and frames"
ffmpeg -v error -i "$tmp/c.avi" -f rawvideo -pix_fmt bgr24 "$tmp/frames.bgr"
convert "$tmp/fixture.png" -crop 40x170+90+40 -depth 8 bgr:"$tmp/want.bgr"
for _ in 1 2 3; do cat "$tmp/want.bgr"; done >"$tmp/want3.bgr"
cmp -s "$tmp/want3.bgr" "$tmp/frames.bgr" || { echo "the AVI's pixels are not the screen's"; exit 1; }
# a scaled screen: the area stays in device pixels, odd places included
QT_SCALE_FACTOR=2 "$cli" capture "$tmp/s.avi" --area 91,41,41,171 --count 1 --quiet
ffmpeg -v error -i "$tmp/s.avi" -f rawvideo -pix_fmt bgr24 "$tmp/s.bgr"
convert "$tmp/fixture.png" -crop 41x171+91+41 -depth 8 bgr:"$tmp/want-s.bgr"
cmp -s "$tmp/want-s.bgr" "$tmp/s.bgr" || { echo "a scaled screen's grab is not the area's device pixels"; exit 1; }

"$cli" capture "$tmp/c.gif" --area 90,40,40,170 --count 2 --period 20 --duration 330
"$cli" info "$tmp/c.gif" >"$tmp/info"
grep -q "^frames: 2$" "$tmp/info" || { echo "GIF frames"; cat "$tmp/info"; exit 1; }
check 2 "$(grep -c 'graphic control: delay 33, disposal none, transparent no' "$tmp/info")" "GIF delays"
grep -q "loop: 0 (endless)" "$tmp/info" || { echo "GIF loop"; exit 1; }

# recording: 2 s at 10 frames a second; the AVI runs at that rate, the
# GIF's delays add up to the time recorded
"$cli" capture "$tmp/r.avi" --area 90,40,40,170 --fps 10 --seconds 2 --quiet
IFS=, read -r rate frames < <(ffprobe -v error -count_frames -show_entries stream=r_frame_rate,nb_read_frames -of csv=p=0 "$tmp/r.avi")
check "10/1" "$rate" "recorded AVI rate"
[ "$frames" -ge 19 ] && [ "$frames" -le 21 ] || { echo "recorded AVI: $frames frames for 2 s"; exit 1; }
"$cli" capture "$tmp/r.gif" --area 90,40,40,170 --fps 25 --seconds 2 --quiet
total=$("$cli" info "$tmp/r.gif" | sed -n 's/.*graphic control: delay \([0-9]*\),.*/\1/p' | awk '{s += $1} END {print s + 0}')
[ "$total" -ge 195 ] && [ "$total" -le 205 ] || { echo "recorded GIF: delays add up to $total cs for 2 s"; exit 1; }

# an odd area with H.264: padded to even sizes, not refused
if ffmpeg -hide_banner -encoders 2>/dev/null | grep -q libx264; then
  "$cli" capture "$tmp/o.avi" --area 10,10,301,199 --count 2 --period 20 --codec H264 --quiet
  check "302,200" "$(ffprobe -v error -show_entries stream=width,height -of csv=p=0 "$tmp/o.avi")" "odd area with H.264"
fi

# with the cursor on the blue square, it is drawn there and nowhere else
if command -v xdotool >/dev/null; then
  xdotool mousemove 150 100
  "$cli" capture "$tmp/k.avi" --area 90,40,120,120 --count 1 --cursor --quiet
  "$cli" capture "$tmp/p.avi" --area 90,40,120,120 --count 1 --quiet
  ffmpeg -v error -i "$tmp/k.avi" -vf crop=40:40:40:40 -f rawvideo -pix_fmt bgr24 "$tmp/k.bgr"
  ffmpeg -v error -i "$tmp/p.avi" -vf crop=40:40:40:40 -f rawvideo -pix_fmt bgr24 "$tmp/p.bgr"
  ! cmp -s "$tmp/k.bgr" "$tmp/p.bgr" || { echo "no cursor drawn at the mouse"; exit 1; }
  ffmpeg -v error -i "$tmp/k.avi" -vf crop=20:20:0:0 -f rawvideo -pix_fmt bgr24 "$tmp/k0.bgr"
  ffmpeg -v error -i "$tmp/p.avi" -vf crop=20:20:0:0 -f rawvideo -pix_fmt bgr24 "$tmp/p0.bgr"
  cmp -s "$tmp/k0.bgr" "$tmp/p0.bgr" || { echo "the cursor drawn away from the mouse"; exit 1; }
fi
echo "capture: ok"
