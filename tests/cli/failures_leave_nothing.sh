#!/usr/bin/env bash
# pelko-cli failures: each one exits with its code, says "FILE: reason" on
# stderr, and leaves no output file (an existing one stays as it was), also
# when the program is killed while it writes.
set -uo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
pics=$root/data/demo/pictures
fails=0
bad() { echo "FAIL: $*"; fails=$((fails + 1)); }

# Small hostile inputs, made here.
mkwav() {  # FILE TAG CHANNELS RATE BITS DATA_BYTES [DECLARED_DATA_SIZE]
  python3 - "$@" <<'PY'
import struct, sys
path, tag, ch, rate, bits, n = sys.argv[1], *map(int, sys.argv[2:7])
declared = int(sys.argv[7]) if len(sys.argv) > 7 else n
block = ch * (bits // 8)
fmt = struct.pack('<HHIIHH', tag, ch, rate, rate * block, block, bits)
body = b'WAVE' + b'fmt ' + struct.pack('<I', 16) + fmt + b'data' + struct.pack('<I', declared) + bytes(n)
open(path, 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
PY
}
mkwav good.wav 1 1 8000 16 1600
mkwav zero-channels.wav 1 0 8000 16 100
mkwav zero-rate.wav 1 1 0 16 100
mkwav float.wav 3 1 8000 32 100
mkwav claims-4g.wav 1 1 8000 16 100 4294967295  # 144 bytes in all
printf 'hello' > not-riff.wav
printf 'BM\x10\x00' > bad.bmp
printf 'GIF89a\x04\x00' > cut.gif
printf 'notes' > notes.txt
cp "$pics/frame0.png" good.png
mkdir out dir.avi dir.png
printf 'precious' > out/keep.gif

# case EXIT MESSAGE COMMAND...: the exit code, a line of stderr holding
# MESSAGE (empty: no check), and afterwards nothing in out/ but keep.gif,
# unchanged.
case_() {
  local want=$1 msg=$2
  shift 2
  "$cli" "$@" >stdout 2>stderr
  local got=$?
  [ "$got" -eq "$want" ] || { bad "exit $got, not $want: $*"; cat stderr; }
  [ -z "$msg" ] || grep -qF -- "$msg" stderr || { bad "no '$msg' from: $*"; cat stderr; }
  [ "$(ls -A out)" = keep.gif ] || bad "left in out/ by $*: $(ls -A out | tr '\n' ' ')"
  [ "$(cat out/keep.gif)" = precious ] || bad "out/keep.gif changed by $*"
}

# WAV files: an unusable format is an error; the duration counts the samples there.
case_ 1 "zero-channels.wav: the format has 0 channels" wav-info zero-channels.wav
case_ 1 "zero-rate.wav: the format has 0 samples per second" wav-info zero-rate.wav
case_ 1 "not-riff.wav: not a RIFF file" wav-info not-riff.wav
case_ 1 "none.wav: No such file or directory" wav-info none.wav
case_ 0 "" wav-info claims-4g.wav
grep -qx "duration: 6 ms" stdout || bad "4 GiB claimed, 100 bytes there: $(grep duration stdout)"

# Pictures: every one must be read, or nothing is written.
case_ 1 "bad.bmp: BMP: " make out/q.gif good.png bad.bmp
case_ 1 "bad.bmp: BMP: " make out/keep.gif good.png bad.bmp
case_ 1 "bad.bmp: BMP: " new out/p.mcp good.png bad.bmp
case_ 1 "cut.gif: GIF: " make out/q.avi good.png cut.gif
case_ 1 "notes.txt: not a picture" make out/q.gif good.png notes.txt
case_ 1 "gone.png: No such file or directory" make out/q.gif good.png gone.png
case_ 1 "bad.bmp: BMP: " convert bad.bmp out/x.png
case_ 1 "cut.gif: GIF: " frames cut.gif out/frames

# Arguments are checked before any picture is read: bad.bmp is never reached.
case_ 2 "--codec is one of" make out/s.avi bad.bmp --codec nonsense
grep -q bad.bmp stderr && bad "a picture was read before the codec name was checked"
case_ 2 "" make out/s.avi good.png --codec ffv1x
case_ 2 "belong to AVI output" make out/s.gif bad.bmp --wav good.wav
case_ 2 "do not go with AVI output" make out/s.avi bad.bmp --loops 3
case_ 1 "out/s.mpg: the output must end in .gif, .avi" make out/s.mpg good.png

# Outputs that cannot be written: the system's reason.
case_ 1 "dir.avi: Is a directory" make dir.avi bad.bmp
case_ 1 "out/none/x.gif: No such file or directory" make out/none/x.gif good.png
case_ 1 "dir.png: Is a directory" convert good.png dir.png
case_ 1 "none.mcp: No such file or directory" generate none.mcp out/x.gif
if [ "$(id -u)" -ne 0 ]; then  # root writes anywhere
  mkdir locked && chmod 555 locked
  case_ 1 "locked/x.png: Permission denied" convert good.png locked/x.png
  case_ 1 "locked/x.avi: Permission denied" make locked/x.avi good.png
fi

# A full disk (a small file system of our own, where user namespaces allow
# one): the system's reason, and nothing left on it.
if unshare -rm true 2>/dev/null; then
  mkdir full
  for named in 0 1; do
    for cmd in "make full/x.avi $pics/frame0.png $pics/frame1.png" "convert good.png full/x.bmp"; do
      got=$(PELKO_NAMED_TEMPORARIES=$named unshare -rm sh -c \
        'mount -t tmpfs -o size=16k tmpfs full && "$0" $1; echo "exit $?"; echo "left: $(ls -A full)"' \
        "$cli" "$cmd" 2>&1)
      grep -q "^pelko-cli: full/x\.[a-z]*: No space left on device$" <<<"$got" &&
        grep -qx "exit 1" <<<"$got" && grep -qx "left: " <<<"$got" ||
        bad "full disk ($cmd, named $named): $got"
    done
  done
fi

# A sound that cannot be used: the AVI is written without it, exit 3.
for w in zero-channels.wav float.wav none.wav; do
  "$cli" make snd.avi good.png --wav "$w" >/dev/null 2>stderr
  rc=$?
  [ "$rc" -eq 3 ] || bad "--wav $w: exit $rc, not 3"
  grep -q "^pelko-cli: $w: .* — written without sound$" stderr || { bad "--wav $w message"; cat stderr; }
  [ -s snd.avi ] || bad "--wav $w: no AVI"
  if command -v ffprobe >/dev/null; then
    [ "$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 snd.avi)" = video ] || bad "--wav $w: streams"
  fi
  rm -f snd.avi
done
"$cli" make snd.avi good.png --wav good.wav 2>stderr || bad "a good WAV: exit $?"
[ -s stderr ] && bad "a good WAV: $(cat stderr)"

# Killed while writing: nothing but the old file is left, in both ways of
# keeping the unfinished file. Named temporaries (for file systems without
# unnamed files) go at SIGTERM, and after SIGKILL at the next write there.
frames=()
for i in $(seq 12); do frames+=("$pics"/frame*.png); done
kill_midway() {  # SIGNAL: starts a long AVI into slow/, kills it once it writes
  rm -rf slow && mkdir slow && printf 'old movie' > slow/movie.avi
  "$cli" make slow/movie.avi "${frames[@]}" --size 1000x1000 --stretch --codec ffv1 2>/dev/null &
  local pid=$! i
  for i in $(seq 200); do
    # an unfinished file of ours holding bytes already
    if ls -l /proc/$pid/fd 2>/dev/null | grep -q "$tmp/slow/"; then
      for fd in /proc/$pid/fd/*; do
        case $(readlink "$fd") in "$tmp/slow/"*) [ "$(stat -L -c %s "$fd" 2>/dev/null || echo 0)" -gt 0 ] && break 2 ;; esac
      done
    fi
    sleep 0.02
  done
  kill -"$1" $pid
  wait $pid 2>/dev/null
  [ "$(cat slow/movie.avi)" = "old movie" ] || bad "SIG$1 ($mode): the old file changed"
}
for mode in unnamed named; do
  if [ $mode = named ]; then export PELKO_NAMED_TEMPORARIES=1; else unset PELKO_NAMED_TEMPORARIES; fi
  for sig in TERM KILL; do
    kill_midway $sig
    if [ $mode = named ] && [ $sig = KILL ]; then
      ls -A slow | grep -q '^\.pelko-tmp-' || bad "SIGKILL ($mode): expected the named temporary to be left"
      "$cli" make slow/next.gif good.png || bad "the next write failed"
      [ "$(ls -A slow | tr '\n' ' ')" = "movie.avi next.gif " ] || bad "after the next write: $(ls -A slow)"
    else
      [ "$(ls -A slow)" = movie.avi ] || bad "SIG$sig ($mode): left $(ls -A slow | tr '\n' ' ')"
    fi
  done
done
unset PELKO_NAMED_TEMPORARIES

[ "$fails" -eq 0 ] || { echo "$fails checks failed"; exit 1; }
echo ok
