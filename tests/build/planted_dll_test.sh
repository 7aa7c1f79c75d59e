#!/usr/bin/env bash
# planted_dll_test.sh VWG.EXE PLANTED.DLL WINE_ENV WINE_DIR: a bcrypt.dll
# put beside vwg.exe is never loaded, though Wine is told to take a DLL
# found beside a program before its own (as Windows does for a DLL that is
# not a known DLL): vwg.exe confines the search to System32 before its
# first call into bcrypt.dll, which it delay-loads. The planted DLL ends
# any process that loads it with exit code 77 (planted_dll.cpp).
set -euo pipefail
exe=$1 planted=$2
. "$3" "$4"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/vwg.exe"
cp "$planted" "$work/bcrypt.dll"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;bcrypt=n,b"

# keygen draws the new key from bcrypt.dll's random source. Output goes to
# files only: under Wine a pipe can stay open after the program ends.
status=0
timeout 120 "${vwg_wine[@]}" "$work/vwg.exe" keygen --id planted --public "Z:$work/public.vwg" \
  --secret "Z:$work/secret.vwg" >"$work/out" 2>"$work/err" || status=$?
if [ "$status" = 77 ]; then
  echo "FAIL: vwg.exe loaded the bcrypt.dll beside it" >&2
  exit 1
fi
if [ "$status" != 0 ] || [ ! -s "$work/secret.vwg" ]; then
  echo "FAIL: vwg.exe keygen: status $status, stderr: $(head -c 300 "$work/err")" >&2
  exit 1
fi
echo "planted_dll: passed"
