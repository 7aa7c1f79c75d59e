#!/usr/bin/env bash
# scripts/fuzz.sh [--time SECONDS | --runs N] [--parallel P] [TARGET...]
# Builds the fuzz preset (clang, libFuzzer, ASan and UBSan) and runs every
# target (or the ones named) for SECONDS each (default 60) or for N
# executions each, P at a time (default 1). New inputs go to
# build/fuzz/corpus/TARGET, the committed seeds in fuzz/corpus/TARGET are
# only read; a crash, leak, timeout or sanitizer report is kept in
# build/fuzz/artifacts/ and makes the script fail. Prints one line per
# target: executions, speed, peak memory, result.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=60)
parallel=1
targets=()
while [ $# -gt 0 ]; do
  case $1 in
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    --parallel) parallel=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=($(ls fuzz/corpus))

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 >build/fuzz/build.log || { cat build/fuzz/build.log; exit 1; }

out=build/fuzz
mkdir -p "$out/artifacts" "$out/logs"

run_one() {
  local t=$1 flags=()
  mkdir -p "$out/corpus/$t"
  # fuzz/TARGET.flags: options of one target, e.g. a shorter -max_len.
  [ -f "fuzz/$t.flags" ] && read -ra flags <"fuzz/$t.flags"
  # -timeout: one input running for seconds is a hang; -rss_limit_mb: the
  # targets need a few MB, so 2 GB is a leak. Leaks are found at the end of
  # each input that allocated (libFuzzer's -detect_leaks, on by default).
  if "$out/fuzz/fuzz_$t" "${limit[@]}" "${flags[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$out/artifacts/$t-" "$out/corpus/$t" "fuzz/corpus/$t" \
       >"$out/logs/$t.log" 2>&1; then
    status=passed
  else
    status=FAILED
  fi
  local execs secs rss
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/logs/$t.log" | tail -1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$out/logs/$t.log" | tail -1)
  rss=$(sed -n 's/^stat::peak_rss_mb: *//p' "$out/logs/$t.log" | tail -1)
  printf '%-16s %12s executions in %5ss  %4s MB peak  %s\n' "$t" "${execs:-?}" "${secs:-?}" "${rss:-?}" "$status"
  [ "$status" = passed ] || { tail -30 "$out/logs/$t.log" | sed 's/^/    /'; return 1; }
}

status=0
pids=()
for t in "${targets[@]}"; do
  [ -d "fuzz/corpus/$t" ] || { echo "no such fuzz target: $t" >&2; exit 2; }
  run_one "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
