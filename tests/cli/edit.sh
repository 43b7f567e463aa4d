#!/usr/bin/env bash
# pelko-cli edit: the tools in the order given, the project saved; trim and
# de-duplicate keep the playback; crop and scale write new pictures into the
# work folder; a value the project cannot take leaves the file as it was.
set -euo pipefail
cli=$1
tmp=$(mktemp -d)
made=()
trap 'rm -rf "$tmp"; rm -f "${made[@]}"' EXIT

# three 8 x 6 pictures of one colour each
picture() { # NAME R G B
  printf 'P6\n8 6\n255\n' >"$tmp/$1.ppm"
  for _ in $(seq 48); do printf "\\x$2\\x$3\\x$4"; done >>"$tmp/$1.ppm"
  "$cli" convert "$tmp/$1.ppm" "$tmp/$1.png"
}
picture a ff 00 00
picture b 00 ff 00
picture c 00 00 ff
frames() { for f in "$@"; do printf '%s ' "$tmp/$f.png"; done; }
# shellcheck disable=SC2046
"$cli" new "$tmp/p.mcp" $(frames a a a b b c c c) --type gif --time 100 >/dev/null

times() { "$cli" info "$1" | awk '/^  time / { sub(",", "", $2); printf "%s ", $2 }'; }
files() { "$cli" info "$1" | awk '/^frame / { n = split($3, p, "/"); printf "%s ", p[n] }'; }

out=$("$cli" edit "$tmp/p.mcp" --trim 0 --dedupe 0)
grep -q "8 frames before, Frame's number: 3, Playback: 800 msec" <<<"$out" || { echo "$out"; exit 1; }
[ "$(files "$tmp/p.mcp")" = "a.png b.png c.png " ]
[ "$(times "$tmp/p.mcp")" = "300 200 300 " ]

# the tools run in the order given
"$cli" edit "$tmp/p.mcp" --yoyo --speed 50 >/dev/null
[ "$(files "$tmp/p.mcp")" = "a.png b.png c.png b.png " ]
[ "$(times "$tmp/p.mcp")" = "150 100 150 100 " ]
"$cli" edit "$tmp/p.mcp" --range 2-3 --reverse --time 40 >/dev/null
[ "$(files "$tmp/p.mcp")" = "a.png c.png b.png b.png " ]
[ "$(times "$tmp/p.mcp")" = "150 40 40 100 " ]
"$cli" edit "$tmp/p.mcp" --drop-every 2 >/dev/null
[ "$(files "$tmp/p.mcp")" = "a.png b.png " ]
[ "$(times "$tmp/p.mcp")" = "190 140 " ]
"$cli" edit "$tmp/p.mcp" --range 1-1 --delete >/dev/null
[ "$(files "$tmp/p.mcp")" = "b.png " ]

# crop and scale: new pictures in the work folder, the sources untouched
"$cli" new "$tmp/q.mcp" $(frames a b) --type gif --time 100 >/dev/null
cp "$tmp/a.png" "$tmp/a-before.png"
"$cli" edit "$tmp/q.mcp" --crop 2,1,5,5 >/dev/null
"$cli" info "$tmp/q.mcp" | grep -q "size 5 x 5"
cropped=$("$cli" info "$tmp/q.mcp" | awk '/^frame 1:/ { print $3 }')
made+=($("$cli" info "$tmp/q.mcp" | awk '/^frame / { print $3 }' | grep -v "^$tmp/"))
[[ $(basename "$cropped") =~ ^Crop[0-9]*\.png$ ]] || { echo "cropped frame: $cropped"; exit 1; }
"$cli" edit "$tmp/q.mcp" --scale 10x8 >/dev/null
made+=($("$cli" info "$tmp/q.mcp" | awk '/^frame / { print $3 }'))
"$cli" info "$tmp/q.mcp" | grep -q "size 10 x 8"
"$cli" info "$tmp/q.mcp" | grep -q "place 0,0 10 x 8"
cmp -s "$tmp/a.png" "$tmp/a-before.png"

# errors: a clear message naming the project, and the file as it was
"$cli" new "$tmp/r.mcp" $(frames a b c) --type gif --time 100 >/dev/null
cp "$tmp/r.mcp" "$tmp/r-before.mcp"
check() { # EXIT-CODE MESSAGE ARGS...
  local want=$1 message=$2 rc=0
  shift 2
  err=$("$cli" edit "$tmp/r.mcp" "$@" 2>&1 >/dev/null) || rc=$?
  [ "$rc" = "$want" ] || { echo "edit $*: exit $rc, not $want"; exit 1; }
  grep -q -- "$message" <<<"$err" || { echo "edit $*: $err"; exit 1; }
  cmp -s "$tmp/r.mcp" "$tmp/r-before.mcp" || { echo "edit $* changed the project"; exit 1; }
}
check 1 "r.mcp: --range: frames 2-5 are not a range of the project's frames 1-3" --reverse --range 2-5 --delete
check 1 "r.mcp: --crop: the crop 0,0,9,6 is not inside the canvas of 8 x 6" --dedupe 0 --crop 0,0,9,6
check 1 "r.mcp: --scale: the size 4 x 100" --scale 4x100
check 2 "--speed takes a percentage" --speed fast
check 2 "--trim takes a tolerance" --trim 300
check 2 "--delete deletes the frames of a --range" --delete
check 2 "usage: pelko-cli edit" --wobble
rc=0; err=$("$cli" edit "$tmp/none.mcp" --reverse 2>&1) || rc=$?
[ "$rc" = 1 ] && grep -q "none.mcp: No such file" <<<"$err"
exit 0
