#!/usr/bin/env bash
# bench-cli.sh [VWG]: the whole-process time of `vwg encrypt` of a short
# message (start, both key files read, the key checked, one message), with
# throw-away keys in a temporary folder. VWG defaults to the native build.
set -euo pipefail
cd "$(dirname "$0")/.."
vwg=$(realpath "${1:-build/native/cli/vwg}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keys=(--public "$work/public.vwg" --secret "$work/secret.vwg")
"$vwg" keygen --id bench "${keys[@]}"
printf 'A short message of about sixty characters, one block long.' >"$work/message"
echo "Whole-process time of: vwg encrypt --to-index 0 (a 58-byte message, in the strong format)"
hyperfine --warmup 5 --runs 200 --style basic \
  "$vwg encrypt --to-index 0 ${keys[*]} $work/message" 2>&1 | grep -E '^ *(Time|Range)'
