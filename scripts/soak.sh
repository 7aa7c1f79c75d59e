#!/usr/bin/env bash
# scripts/soak.sh [MINUTES]: the long run of the tray program under Wine,
# beside the look-alike messenger, for MINUTES (default 30); it stops by
# itself. Builds the Windows preset, runs tests/soak/soak_tests.exe in a Wine
# session of its own (build/windows/soak-wine) and writes the samples it
# takes each minute inside Wine to build/windows/soak.csv. Each minute this
# script also reads the resident memory of the program's Linux process
# (VmRSS in /proc) into build/windows/soak-linux.csv, as a cross-check of
# what Wine reports. First, natively, vwg import is killed at 3000 random
# moments (the test command kills it 300 times), then, in the Wine session,
# the dialog churn of icq_program_tests runs 100 rounds (the test command
# runs 25). On a host that cannot start 32-bit programs the 64-bit build
# soaks instead, in build/windows64. Not part of ./build.sh test.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-30}
. scripts/host-width.sh
say_host_width

build=$(pwd)/$windows_build
cmake --preset "$windows_preset" >/dev/null
cmake --build --preset "$windows_preset" -j 2 --target soak_tests icq_program_tests >"$build/soak-build.log" || { cat "$build/soak-build.log"; exit 1; }

session=$build/soak-wine
scripts/wine-session.sh start "$session" "$host_width"
trap 'kill "$sampler" 2>/dev/null || true; scripts/wine-session.sh stop "$session"' EXIT
prefix=$session/prefix

# The Linux process of vaultwing.exe in this session's prefix (other
# sessions may run one too).
program_pid() {
  local p
  for p in $(pgrep -f 'vaultwing\.exe' || true); do
    if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "$p"
      return
    fi
  done
}

(
  echo "minute,vmrss_kb"
  for m in $(seq 0 "$minutes"); do
    p=$(program_pid)
    [ -n "$p" ] && echo "$m,$(awk '/^VmRSS:/ {print $2}' "/proc/$p/status" 2>/dev/null)"
    sleep 60
  done
) >"$build/soak-linux.csv" &
sampler=$!

status=0
cmake --preset native >/dev/null
cmake --build --preset native -j 2 --target vwg_kill_tests >"$build/soak-native-build.log" || { cat "$build/soak-native-build.log"; exit 1; }
VWG_KILL_RUNS=3000 build/native/tests/cli/vwg_kill_tests || status=$?
VWG_CHURN_ROUNDS=100 scripts/wine-run.sh "$session" "$build/tests/icq/icq_program_tests.exe" \
  --gtest_filter='Churn.DialogsOpenedAndClosed*' || status=$?
VWG_SOAK_MINUTES=$minutes VWG_SOAK_CSV="Z:${build//\//\\}\\soak.csv" \
  timeout $(( (minutes + 5) * 60 )) \
  scripts/wine-run.sh "$session" "$build/tests/soak/soak_tests.exe" || status=$?
echo "samples: $build/soak.csv (inside Wine), $build/soak-linux.csv (Linux VmRSS)"
exit $status
