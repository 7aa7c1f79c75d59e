#!/usr/bin/env bash
# ./build.sh COMMAND — one entry point for a fresh Debian machine.
#   test    install what is missing, build every preset, run every test
#           (the Windows builds under Wine, in the background while the
#           native tests run, then natively again under ASan and UBSan, then
#           each fuzz target's corpus and 10 s of fuzzing)
#   run     install what is missing, build, start the program
#   demo    build, then encrypt and decrypt a message in the look-alike
#           messenger on a virtual display, with screenshots
#   bench   build and run the benchmarks, with the reference figures
#   build   install what is missing and build the native and both Windows presets
#   dist    build the Windows installer and portable zip into build/windows/dist
#   deps    only install the packages
# The Windows programs users get are 32-bit; the same sources also build as
# 64-bit programs, which run where a host cannot start 32-bit ones.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

# deps: once a run of this command (every step asks for it).
deps() {
  [ -z "${deps_done:-}" ] || return 0
  scripts/install-deps.sh
  deps_done=1
}

# took WHAT: one line saying when a step of this command ended, in seconds
# since it began, so that a slow step shows.
took() { echo "== ${SECONDS} s: $*"; }

# build PRESET...: configure and build each; a failure ends it, failing
# (explicitly: it also runs where errexit does not hold).
build() {
  deps
  for preset in "$@"; do
    cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" -j "$jobs" || return 1
    took "built $preset"
  done
}

# windows_tests PRESET [CTEST-OPTION...]: the Windows tests of one width
# under Wine, four at a time whatever the cores: they mostly wait, three of
# them at most driving windows, each in a Wine session of its own
# (tests/CMakeLists.txt). A suite that fails fails the command: there is no
# second run (docs/testing.md).
windows_tests() {
  run_tests "$1" --preset "$@" -j 4
}

# Every test run's whole output is also kept in build/test-logs/NAME.log,
# from which the test command's last lines name what failed.
logs=build/test-logs

# run_tests NAME CTEST-OPTION...: one ctest run, logged as NAME.
run_tests() {
  local name=$1
  shift
  mkdir -p "$logs"
  local status=0
  ctest "$@" --output-log "$logs/$name.log" || status=$?
  took "tests $name"
  return $status
}

# The suites and test cases that failed, by the run that saw them fail.
name_failures() {
  local log run
  echo
  echo "Failed (whole output in $logs/):"
  for log in "$logs"/*.log; do
    run=$(basename "$log" .log)
    # Skipped cases (a CPU without the instruction a case needs) are no failure.
    sed -n '/(Skipped)$/!s/^[[:space:]]*[0-9]* - \(.*\) (\(.*\))$/  '"$run"': \1 (\2)/p' "$log"
    # A suite that failed with no failed case (it crashed or timed out)
    # finds nothing here; the lines below name it.
    { grep -o '^\[  FAILED  \] [^ ,]*\.[^ ,]*' "$log" || true; } | sort -u | sed 's/^\[  FAILED  \] /  '"$run"': case /'
    # A case that began and never ended is where a suite hung or crashed.
    awk -v run="$run" '/^\[ RUN      \] /{open[$4]=1} /^\[ +(OK|FAILED|SKIPPED) +\] /{delete open[$4]}
      END{for (c in open) print "  " run ": case " c " (did not end)"}' "$log"
    sed -n 's/^\([a-z_]*\) .* FAILED$/  '"$run"': \1/p' "$log"
  done
}

# The native build and the Windows build that this host can run.
build_for_host() {
  deps
  . scripts/host-width.sh
  build native "$windows_preset"
}

case ${1:-} in
  deps) deps ;;
  build) build native windows windows64 ;;
  test)
    deps
    . scripts/host-width.sh
    rm -rf "$logs"
    mkdir -p "$logs"
    # The Windows build first: its suites mostly wait on windows and Wine,
    # so they run in the background while the native builds and tests keep
    # the cores busy, at idle priority (below), so that a window's wait is
    # not a wait for a core.
    if [ "$host_width" = 32 ]; then
      echo "This host starts 32-bit programs: the Windows tests run as 32-bit programs, and those that" \
           "depend on the width as 64-bit programs too."
      build windows windows64
      (
        status=0
        windows_tests windows || status=1
        windows_tests windows64 -L width || status=1
        exit $status
      ) >"$logs/windows.out" 2>&1 &
    else
      echo "This host cannot start 32-bit programs: the Windows tests run as 64-bit programs under wine64;" \
           "of the 32-bit build only the programs users get are built, not run."
      build windows64
      # The 32-bit programs after the suites, beside the native side's last
      # steps: built before them, they held up everything else.
      (
        status=0
        windows_tests windows64 || status=1
        cmake --preset windows >/dev/null && cmake --build --preset windows -j "$jobs" --target vaultwing vwg ||
          status=1
        took "built the 32-bit programs"
        exit $status
      ) >"$logs/windows.out" 2>&1 &
    fi
    windows=$!
    status=0
    (
      # Idle priority: the native steps take a core only when no Wine process
      # wants one (at nice 10 they still had a tenth of a contended core).
      chrt --idle --pid 0 "$BASHPID"
      status=0
      build native || exit 1
      run_tests native --preset native -j "$jobs" || status=1
      build native-asan || exit 1
      run_tests native-asan --preset native-asan -j "$jobs" || status=1
      # The corpus is replayed whole first; the long runs are scripts/fuzz.sh's.
      scripts/fuzz.sh --time 10 --parallel "$jobs" | tee "$logs/fuzz.log" || status=1
      took "fuzzing"
      exit $status
    ) || status=1
    wait $windows || status=1
    cat "$logs/windows.out"
    took "the Windows tests' output above"
    # A failure is named last.
    if [ $status != 0 ]; then name_failures; fi
    exit $status
    ;;
  run)
    build_for_host
    exec scripts/run-program.sh
    ;;
  demo)
    build_for_host
    cmake --build --preset "$windows_preset" -j "$jobs" --target demo
    exec scripts/demo.sh
    ;;
  bench)
    build_for_host
    cmake --build --preset native -j "$jobs" --target benchmarks
    cmake --build --preset "$windows_preset" -j "$jobs" --target benchmarks
    exec scripts/bench.sh
    ;;
  dist)
    deps
    cmake --preset windows >/dev/null
    cmake --build --preset windows -j "$jobs" --target dist
    ls -l build/windows/dist
    ;;
  *)
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
