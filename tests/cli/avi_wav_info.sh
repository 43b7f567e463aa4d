#!/usr/bin/env bash
# pelko-cli wav-info: durations and layouts of the WAV corpus, and failures.
set -euo pipefail
cli=$1
data=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ ! -d "$data/wav" ]; then
  echo "test data folder $data is absent: skipped"
  exit 0
fi

field() {  # FILE NAME: the value of one line of wav-info
  "$cli" wav-info "$data/wav/$1" | sed -n "s/^$2: //p"
}
check() {  # WANT GOT WHAT
  if [ "$1" != "$2" ]; then echo "$3: expected '$1', got '$2'"; exit 1; fi
}

check "500 ms" "$(field pcm16-stereo-44100.wav duration)" "stereo duration"
check "249 ms" "$(field pcm16-mono-22050-list-before-data.wav duration)" "LIST before data"
check "yes" "$(field pcm16-mono-22050-list-before-data.wav 'usable in AVI')" "LIST before data usable"
check "46" "$(field pcm16-mono-16000-fmt18.wav 'data offset')" "fmt of 18 bytes"
check "35280" "$(field truncated-data.wav 'data present')" "truncated data"
check "no" "$(field float32-stereo-22050.wav 'usable in AVI')" "float sound"
check "yes" "$(field pcm24-stereo-44100-extensible.wav 'usable in AVI')" "extensible PCM"
check "-1 ms" "$(field fmt-zero-rate.wav duration)" "zero rate"

set +e
"$cli" wav-info "$data/wav/not-riff.wav" >/dev/null 2>"$tmp/err"; rc=$?
set -e
check 1 "$rc" "not RIFF exit code"
grep -q "MMIO Error. Error Code: 265" "$tmp/err" || { echo "not RIFF message"; cat "$tmp/err"; exit 1; }
set +e
"$cli" wav-info "$tmp/none.wav" >/dev/null 2>"$tmp/err"; rc=$?
"$cli" wav-info >/dev/null 2>&1; rc2=$?
set -e
check 1 "$rc" "missing file exit code"
grep -q "Error opening file." "$tmp/err" || { echo "missing file message"; exit 1; }
check 2 "$rc2" "usage exit code"
echo ok
