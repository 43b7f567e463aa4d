#!/usr/bin/env bash
# Recording 1280x720 at 30 frames a second for SECONDS (default 60) s:
#   pelko-cli capture --fps 30 from an Xvfb screen that plays a moving test
#     pattern (ffplay of lavfi testsrc2 at 30 fps);
#   ffmpeg -f x11grab -framerate 30 of the same screen into a lossless file;
#   pelko-cli capture --grabber portal through the stand-in portal, whose
#     PipeWire source sends 1280x720 frames at 30 fps.
# For each: the frames taken on time (pelko: grabbed / (grabbed + missed);
# ffmpeg: its frames less its duplicates, over the 30 a second asked for), the
# average CPU (one core = 100 %) and the peak memory of the recording. On a
# machine busy with other work the CPU figures are the share each got. pelko-cli's figures
# are read from /proc the moment it says the recording is done (before it
# writes the file, which is not part of the recording).
#
#   bench/capture_record.sh BUILD_DIR [SECONDS]
# BUILD_DIR: a Release build with pelko-cli (and tests/gui/test_screen_source
# for the portal row).
set -uo pipefail
build=${1:?usage: capture_record.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
cli=$build/src/cli/pelko-cli
source_prog=$build/tests/gui/test_screen_source
tmp=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
for tool in Xvfb ffplay ffmpeg; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done
[ -x "$cli" ] || { echo "no $cli: build pelko-cli first"; exit 1; }
hz=$(getconf CLK_TCK)

Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp -noreset 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")
SDL_AUDIODRIVER=dummy ffplay -loglevel error -noborder -left 0 -top 0 -an \
  -f lavfi "testsrc2=size=1280x720:rate=30" >/dev/null 2>&1 &
pids+=($!)
sleep 3

# pelko-cli capture ... --fps 30 --seconds S; prints "on-time% cpu% peakMB"
pelko_row() {
  local err=$tmp/pelko.err
  : >"$err"
  "$cli" capture "$tmp/r.avi" --area 0,0,1280,720 --fps 30 --seconds "$seconds" --codec MJPG "$@" 2>"$err" &
  local pid=$!
  local start
  start=$(awk '{print $22}' "/proc/$pid/stat")
  while kill -0 "$pid" 2>/dev/null && ! grep -q "^recorded" "$err"; do sleep 0.05; done
  local stat ticks peak up
  stat=$(cat "/proc/$pid/stat" 2>/dev/null)
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null)
  up=$(awk '{print $1}' /proc/uptime)
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  if ! grep -q "^recorded" "$err"; then
    echo "failed: $(tr '\n' ' ' <"$err")"
    return
  fi
  ticks=$(echo "$stat" | awk '{print $14 + $15}')
  read -r frames missed < <(sed -n 's/^recorded \([0-9]*\) frames, \([0-9]*\) missed/\1 \2/p' "$err")
  awk -v f="$frames" -v m="$missed" -v t="$ticks" -v hz="$hz" -v up="$up" -v st="$start" -v kb="$peak" \
    'BEGIN { wall = up - st / hz; printf "%.2f %.0f %.0f %d/%d\n", 100 * f / (f + m), 100 * t / hz / wall, kb / 1024, f, f + m }'
}

ffmpeg_row() {
  /usr/bin/time -v -o "$tmp/time" ffmpeg -nostdin -hide_banner -y -f x11grab -framerate 30 -video_size 1280x720 \
    -i "$DISPLAY+0,0" -t "$seconds" -c:v ffv1 "$tmp/x.mkv" 2>"$tmp/ffmpeg.err"
  local dup drop frames cpu kb
  dup=$(tr '\r' '\n' <"$tmp/ffmpeg.err" | sed -n 's/.*dup=\([0-9]*\).*/\1/p' | tail -1)
  drop=$(tr '\r' '\n' <"$tmp/ffmpeg.err" | sed -n 's/.*drop=\([0-9]*\).*/\1/p' | tail -1)
  frames=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$tmp/x.mkv")
  cpu=$(sed -n 's/.*Percent of CPU this job got: \([0-9]*\)%.*/\1/p' "$tmp/time")
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): \([0-9]*\).*/\1/p' "$tmp/time")
  # on time: the frames of the file that are neither duplicates nor missing
  # from the 30 a second the time asked for
  awk -v f="$frames" -v d="${dup:-0}" -v r="${drop:-0}" -v c="$cpu" -v kb="$kb" -v want="$((seconds * 30))" \
    'BEGIN { printf "%.2f %.0f %.0f %d/%d,dup=%d,drop=%d\n", 100 * (f - d) / want, c, kb / 1024, f - d, want, d, r }'
}

portal_row() {
  for tool in dbus-daemon pipewire wireplumber; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; return; }
  done
  [ -x "$source_prog" ] || { echo "skipped: no $source_prog"; return; }
  local run=$tmp/run
  mkdir -p "$run" && chmod 700 "$run"
  (
    export XDG_RUNTIME_DIR=$run DBUS_SESSION_BUS_ADDRESS=unix:path=$run/bus XDG_CONFIG_HOME=$tmp/config
    dbus-daemon --session --nofork --address="$DBUS_SESSION_BUS_ADDRESS" 2>/dev/null &
    local bus=$!
    pipewire >/dev/null 2>&1 &
    local pw=$!
    for _ in $(seq 100); do [ -S "$run/pipewire-0" ] && [ -S "$run/bus" ] && break; sleep 0.05; done
    wireplumber >/dev/null 2>&1 &
    local wp=$!
    "$source_prog" 1280 720 30 >"$tmp/node" &
    local src=$!
    for _ in $(seq 100); do [ -s "$tmp/node" ] && break; sleep 0.05; done
    /usr/bin/python3 "$root/tests/platform/screencast_portal.py" "$(head -1 "$tmp/node")" "$tmp/portal.log" >"$tmp/ready" &
    local portal=$!
    for _ in $(seq 100); do [ -s "$tmp/ready" ] && break; sleep 0.05; done
    pelko_row --grabber portal
    kill "$portal" "$src" "$wp" "$pw" "$bus" 2>/dev/null
    wait 2>/dev/null
  )
}

echo "recording 1280x720 at 30 frames a second for $seconds s ($(nproc) cores)"
printf "%-34s %9s %6s %9s  %s\n" "" "on time %" "CPU %" "peak MB" "frames"
printf "%-34s %9s %6s %9s  %s\n" "pelko-cli capture --fps 30 (X11)" $(pelko_row)
printf "%-34s %9s %6s %9s  %s\n" "ffmpeg -f x11grab (FFV1)" $(ffmpeg_row)
printf "%-34s %9s %6s %9s  %s\n" "pelko-cli capture --grabber portal" $(portal_row)
