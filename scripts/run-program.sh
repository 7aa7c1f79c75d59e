#!/usr/bin/env bash
# Starts the tray program under Wine: on the user's X display when there is
# one, otherwise on a virtual display (said so), in the prefix ~/.vaultwing-wine
# (~/.vaultwing-wine64 for the 64-bit build, on hosts that cannot start 32-bit
# programs) so that keys and settings survive between runs.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/host-width.sh
exe=$windows_build/app/vaultwing.exe
if [ ! -f "$exe" ]; then
  echo "run-program: $exe has not been built" >&2
  exit 1
fi
[ "$host_width" = 32 ] || say_host_width
. scripts/wine-loader.sh "$host_width"
if [ "$host_width" = 32 ]; then
  export WINEPREFIX=${WINEPREFIX:-$HOME/.vaultwing-wine}
else
  export WINEPREFIX=${WINEPREFIX:-$HOME/.vaultwing-wine64}
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once)..."
  mkdir -p "$(dirname "$WINEPREFIX")"
  "${vwg_wine[@]}" wineboot -i >/dev/null 2>&1
fi
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "${vwg_wine[@]}" "$exe" "$@"
fi
echo "No X display: running on a virtual display (Xvfb); the windows are not visible here."
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "${vwg_wine[@]}" "$exe" "$@"
