#!/usr/bin/env bash
# pelko-cli new and info on projects: a project made from pictures opens again
# with the same frames; the bundled demo opens without a log line.
set -euo pipefail
cli=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

out=$("$cli" info "$root/data/demo/demo.mcp")
grep -q "Frame's number: 6" <<<"$out"
! grep -q "^log:" <<<"$out"

pics="$root/data/demo/pictures"
"$cli" new "$tmp/p.mcp" "$pics/frame0.png" "$pics/frame1.png" --type gif --time 70 >/dev/null
info=$("$cli" info "$tmp/p.mcp")
grep -q "type GIF, size 200 x 120" <<<"$info"
grep -q "Frame's number: 2" <<<"$info"
grep -q "time 70," <<<"$info"

# wrong usage and failures have their exit codes
set +e
"$cli" new "$tmp/q.mcp" >/dev/null 2>&1; [ $? -eq 2 ] || { echo "usage error expected"; exit 1; }
"$cli" new "$tmp/q.mcp" "$tmp/none.png" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "failure expected"; exit 1; }
"$cli" info "$tmp/none.mcp" >/dev/null 2>&1; [ $? -eq 1 ] || { echo "missing project must fail"; exit 1; }
exit 0
