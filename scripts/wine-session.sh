#!/usr/bin/env bash
# wine-session.sh start DIR [32|64] | stop DIR
# start: a virtual X display and a persistent wineserver for the prefix in
# DIR/prefix (created on first use), so that each test's Wine start is cheap;
# the width (default 32) says which programs the prefix runs, and is kept in
# DIR/width for wine-run.sh. A prefix of the other width is made anew.
# stop: ends every Wine process of the prefix and the display.
set -euo pipefail
cmd=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
if [ "$cmd" = start ]; then
  width=${3:-32}
  case $width in 32|64) ;; *) echo "wine-session: width must be 32 or 64" >&2; exit 2 ;; esac
  if [ "$(cat "$dir/width" 2>/dev/null || echo 32)" != "$width" ]; then
    # The prefix was made for programs of the other width.
    (. "$(dirname "$0")/wine-env.sh" "$dir" && "$vwg_wineserver" -k 2>/dev/null) || true
    rm -rf "$dir/prefix"
  fi
  echo "$width" >"$dir/width"
fi
. "$(dirname "$0")/wine-env.sh" "$dir"

start_display() {
  local n
  # Sessions started at once take turns at choosing a number: each waits
  # until the last one's display answers, so no two pick the same.
  exec 9>/tmp/vwg-display.lock
  flock 9
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$dir/xvfb.log" 2>&1 </dev/null 9>&- &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do
      [ -S "/tmp/.X11-unix/X$n" ] && { echo ":$n" >"$dir/display"; export DISPLAY=":$n"; exec 9>&-; return 0; }
      kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || break
      sleep 0.05
    done
  done
  exec 9>&-
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
    "$vwg_wineserver" -k 2>/dev/null || true
    start_display
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "${vwg_wine[@]}" wineboot -i >"$dir/wineboot.log" 2>&1
      rm -f "$dir/settings.reg"
    fi
    # Without a window manager every hide of a managed window stalls ~2 s,
    # so windows are unmanaged. But Wine gives an unmanaged window the X
    # focus when it is activated, and then brings its key state in step with
    # the X server's, where no key is ever down (input comes from SendInput,
    # straight to Wine): a Ctrl held for a Ctrl+A is let go between the two
    # keys, and the A is typed. Windows has no such race. The look-alike chat
    # programs, which the keyboard is sent to, are managed: they never take
    # the X focus. Imported into a new prefix, and into an older one whose
    # settings were other.
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\AppDefaults\chat.exe\X11 Driver]' '"Managed"="Y"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\AppDefaults\writer.exe\X11 Driver]' '"Managed"="Y"' >"$dir/settings.new"
    if ! cmp -s "$dir/settings.new" "$dir/settings.reg"; then
      "${vwg_wine[@]}" reg import "$dir/settings.new" >>"$dir/wineboot.log" 2>&1 ||
        { echo "wine-session: could not import $dir/settings.new (see $dir/wineboot.log)" >&2; exit 1; }
      "$vwg_wineserver" -w
      mv "$dir/settings.new" "$dir/settings.reg"
    fi
    # A persistent server: each later wine start skips the server start-up.
    setsid "$vwg_wineserver" -p >/dev/null 2>&1 </dev/null &
    "${vwg_wine[@]}" cmd /c exit 0 >/dev/null 2>&1
    ;;
  stop)
    "$vwg_wineserver" -k 2>/dev/null || true
    stop_display
    ;;
  *)
    echo "usage: wine-session.sh start|stop DIR" >&2
    exit 2
    ;;
esac
