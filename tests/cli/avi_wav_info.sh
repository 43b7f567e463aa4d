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
check "200 ms" "$(field truncated-data.wav duration)" "truncated data: the samples there"
check "500 ms" "$(field riff-size-unknown.wav duration)" "data size unknown"
check "format tag 3 is not linear PCM" "$(field float32-stereo-22050.wav 'not usable because')" "float reason"

fails() {  # CODE MESSAGE FILE: wav-info must end with CODE and say MESSAGE
  set +e
  "$cli" wav-info "$3" >/dev/null 2>"$tmp/err"; local rc=$?
  set -e
  check "$1" "$rc" "$3 exit code"
  grep -qF "$2" "$tmp/err" || { echo "$3: no '$2'"; cat "$tmp/err"; exit 1; }
}
fails 1 "fmt-zero-rate.wav: the format has 0 samples per second" "$data/wav/fmt-zero-rate.wav"
fails 1 "not-riff.wav: not a RIFF file" "$data/wav/not-riff.wav"
fails 1 "no-data-chunk.wav: no 'data' chunk" "$data/wav/no-data-chunk.wav"
fails 1 "none.wav: No such file or directory" "$tmp/none.wav"
set +e
"$cli" wav-info >/dev/null 2>&1; rc2=$?
set -e
check 2 "$rc2" "usage exit code"
echo ok
