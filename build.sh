#!/usr/bin/env bash
# ./build.sh COMMAND — one entry point for a fresh Debian machine.
#   test    install what is missing, build both presets, run every test
#           (native, natively again under ASan and UBSan, the 32-bit Windows
#           build under Wine, then each fuzz target for a minute)
#   run     install what is missing, build, start the program
#   demo    build, then encrypt and decrypt a message in the look-alike
#           messenger on a virtual display, with screenshots
#   bench   build and run the benchmarks, with the reference figures
#   build   install what is missing and build both presets
#   dist    build the Windows installer and portable zip into build/windows/dist
#   deps    only install the packages
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

deps() { scripts/install-deps.sh; }

build() {
  deps
  for preset in native windows; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
  done
}

case ${1:-} in
  deps) deps ;;
  build) build ;;
  test)
    build
    status=0
    ctest --preset native -j "$jobs" || status=1
    cmake --preset native-asan >/dev/null
    cmake --build --preset native-asan -j "$jobs"
    ctest --preset native-asan -j "$jobs" || status=1
    ctest --preset windows || status=1
    scripts/fuzz.sh --time 60 --parallel "$jobs" || status=1
    exit $status
    ;;
  run)
    build
    exec scripts/run-program.sh
    ;;
  demo)
    build
    exec scripts/demo.sh
    ;;
  bench)
    build
    exec scripts/bench.sh
    ;;
  dist)
    deps
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs" --target dist
    ls -l build/windows/dist
    ;;
  *)
    sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
