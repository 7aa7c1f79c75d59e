#!/usr/bin/env bash
# vwg_memory_test.sh VWG: an input larger than the memory vwg may use ends
# in "not enough memory" and exit status 1, with nothing on standard output
# and the key files as they were, rather than in an abort.
set -euo pipefail
vwg=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keys=(--public "$work/public.vwg" --secret "$work/secret.vwg")
"$vwg" keygen --id memory "${keys[@]}" >/dev/null
cp "$work/public.vwg" "$work/public.before"
truncate -s 300M "$work/huge"

status=0
(ulimit -v 150000 && exec "$vwg" encrypt --to-index 0 "${keys[@]}" "$work/huge") \
  >"$work/out" 2>"$work/err" || status=$?
fail=0
[ "$status" = 1 ] || { echo "FAIL: exit status $status, expected 1: $(head -c 300 "$work/err")" >&2; fail=1; }
grep -qx 'vwg: not enough memory' "$work/err" || { echo "FAIL: stderr: $(head -c 300 "$work/err")" >&2; fail=1; }
[ ! -s "$work/out" ] || { echo "FAIL: wrote to standard output" >&2; fail=1; }
cmp -s "$work/public.vwg" "$work/public.before" || { echo "FAIL: the ring changed" >&2; fail=1; }
[ "$fail" = 0 ] && echo "vwg_memory: passed"
exit "$fail"
