#!/usr/bin/env bash
# wine-session.sh start|stop DIR
# start: a virtual X display and a persistent wineserver for the prefix in
# DIR/prefix (created on first use), so that each test's Wine start is cheap.
# stop: ends every Wine process of the prefix and the display.
set -euo pipefail
cmd=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
. "$(dirname "$0")/wine-env.sh" "$dir"

start_display() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 </dev/null &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do
      [ -S "/tmp/.X11-unix/X$n" ] && { echo ":$n" >"$dir/display"; export DISPLAY=":$n"; return 0; }
      kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || break
      sleep 0.05
    done
  done
  echo "wine-session: could not start Xvfb" >&2
  return 1
}

stop_display() {
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
}

case $cmd in
  start)
    stop_display
    wineserver -k 2>/dev/null || true
    start_display
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      wineboot -i >"$dir/wineboot.log" 2>&1
      # Without a window manager every hide of a managed window stalls ~2 s.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
      wineserver -w
    fi
    # A persistent server: each later wine start skips the server start-up.
    setsid wineserver -p >/dev/null 2>&1 </dev/null &
    wine cmd /c exit 0 >/dev/null 2>&1
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    stop_display
    ;;
  *)
    echo "usage: wine-session.sh start|stop DIR" >&2
    exit 2
    ;;
esac
