#!/usr/bin/env bash
# bench-scan.sh: what the tray program's scan costs under Wine, with 0, 100
# and 500 unrelated top-level windows open, in a Wine session of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
session=$PWD/build/windows/bench-wine
keys=$session/keys
exe=build/windows/bench/scan_tick.exe
[ -f "$exe" ] || { echo "bench-scan: $exe has not been built" >&2; exit 1; }
mkdir -p "$keys"
scripts/wine-session.sh start "$session" >/dev/null
trap 'scripts/wine-session.sh stop "$session" >/dev/null' EXIT

echo "The tray program's scan tick (every 300 ms), under Wine:"
scripts/wine-run.sh "$session" "$exe" "Z:${PWD//\//\\}\\build\\windows\\app\\vaultwing.exe" \
  "Z:${keys//\//\\}" | tr -d '\r'
