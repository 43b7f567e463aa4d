#!/usr/bin/env bash
# pelko-cli's help and progress line: every command has a --help that lists
# each option its usage names; the long commands draw a progress line on a
# terminal only, and --quiet silences it.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pics="$root/data/demo/pictures"
fail() { echo "FAIL: $*"; exit 1; }

commands=$("$cli" --help | awk '/^commands:$/ { on = 1; next } /^$/ { on = 0 } on && /^  [^ ]/ { print $1 }')
[ "$(wc -l <<<"$commands")" -ge 8 ] || fail "--help lists too few commands: $commands"
for c in $commands; do
  help=$("$cli" "$c" --help) || fail "$c --help exits $?"
  [ "$help" = "$("$cli" help "$c")" ] || fail "help $c differs from $c --help"
  usage=$(head -1 <<<"$help")
  [[ $usage == "usage: pelko-cli $c "* ]] || fail "$c --help starts with: $usage"
  # every option of the usage line has its entry with a text
  for o in $(grep -o -- '\[--[a-z-]*' <<<"$usage" | tr -d '['); do
    grep -q -- "^  $o\b" <<<"$help" || fail "$c --help does not list $o"
  done
done
"$cli" make --help | grep -A1 -- '^  --loops N' | grep -q "0 (endless) to 65535 (default 0)" || fail "--loops range"

# A terminal for stderr comes from script(1); its output holds both streams.
on_terminal() { script -qec "$1" /dev/null | tr '\r' '\n'; }

out=$(on_terminal "'$cli' make '$tmp/a.gif' '$pics'/frame*.png")
grep -q "^make: frame 6 of 6  100%  elapsed 0:0[0-9]  remaining 0:00" <<<"$out" || fail "GIF progress: $out"
grep -q "^make: reading pictures: 100%" <<<"$out" || fail "reading progress: $out"
out=$(on_terminal "'$cli' make '$tmp/a.avi' '$pics'/frame*.png")
grep -q "^make: frame 6 of 6  100%" <<<"$out" || fail "AVI progress: $out"
out=$(on_terminal "'$cli' generate '$root/data/demo/demo.mcp' '$tmp/b.gif'")
grep -q "^generate: frame 6 of 6  100%" <<<"$out" || fail "generate progress: $out"
# a picture that cannot be read is reported on a line of its own
printf 'junk' >"$tmp/bad.png"
out=$(on_terminal "'$cli' make '$tmp/c.gif' '$pics/frame0.png' '$tmp/bad.png'" || true)
grep -q "^pelko-cli: $tmp/bad.png: " <<<"$out" || fail "failure after progress: $out"

out=$(on_terminal "'$cli' make '$tmp/q.gif' '$pics'/frame*.png --quiet")
[ -z "$(tr -d '\n' <<<"$out")" ] || fail "--quiet still shows: $out"
[ -s "$tmp/q.gif" ] || fail "--quiet made no GIF"
err=$("$cli" make "$tmp/p.gif" "$pics"/frame*.png 2>&1 >/dev/null)
[ -z "$err" ] || fail "progress on a stderr that is no terminal: $err"
echo "help and progress: ok"
