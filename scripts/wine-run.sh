#!/usr/bin/env bash
# wine-run.sh DIR PROGRAM.exe [ARGS...]: runs a Windows program in the Wine
# session of DIR (see wine-session.sh) and returns its exit code.
set -euo pipefail
dir=$(cd "$1" && pwd)
shift
. "$(dirname "$0")/wine-env.sh" "$dir"
exec "${vwg_wine[@]}" "$@"
