#!/usr/bin/env bash
# Starts the tray program under Wine: on the user's X display when there is
# one, otherwise on a virtual display (said so), in the prefix ~/.vaultwing-wine
# so that keys and settings survive between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=build/windows/app/vaultwing.exe
if [ ! -f "$exe" ]; then
  echo "run-program: $exe has not been built" >&2
  exit 1
fi
export WINEPREFIX=${WINEPREFIX:-$HOME/.vaultwing-wine}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once)..."
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot -i >/dev/null 2>&1
fi
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec wine "$exe" "$@"
fi
echo "No X display: running on a virtual display (Xvfb); the windows are not visible here."
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" wine "$exe" "$@"
