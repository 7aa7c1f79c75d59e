#!/usr/bin/env bash
# bench-scan.sh: what the tray program's scan costs under Wine, with 0, 100
# and 500 unrelated top-level windows open, in a Wine session of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/host-width.sh
session=$PWD/$windows_build/bench-wine
keys=$session/keys
exe=$windows_build/bench/scan_tick.exe
[ -f "$exe" ] || { echo "bench-scan: $exe has not been built" >&2; exit 1; }
mkdir -p "$keys"
scripts/wine-session.sh start "$session" "$host_width" >/dev/null
trap 'scripts/wine-session.sh stop "$session" >/dev/null' EXIT

echo "The tray program's scan tick (every 300 ms), $host_width-bit, under Wine:"
scripts/wine-run.sh "$session" "$exe" "Z:${PWD//\//\\}\\${windows_build//\//\\}\\app\\vaultwing.exe" \
  "Z:${keys//\//\\}" | tr -d '\r'
