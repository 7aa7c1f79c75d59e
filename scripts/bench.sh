#!/usr/bin/env bash
# Runs the benchmarks of the native build and, in the same run, OpenSSL's
# ECDH on the binary curve B-409 as the reference peer; prints the ratio of
# our scalar multiplication to it.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/native/bench
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for b in "$bin"/*_bench; do
  "$b" --benchmark_format=console --benchmark_out="$out/$(basename "$b").json" --benchmark_out_format=json
done

echo
echo "Reference: openssl speed -seconds 3 ecdhb409"
openssl speed -seconds 3 ecdhb409 2>/dev/null | tee "$out/openssl.txt" | tail -2

ours_ms=$(python3 - "$out/crypto_bench.json" <<'PY'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b["name"] == "BM_PointMultiply":
        t = b["real_time"]
        unit = b["time_unit"]
        print(t * {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[unit])
PY
)
# op/s is printed with more digits than the seconds column.
ref_ops=$(awk '/ecdh \(nistb409\)/ {print $NF}' "$out/openssl.txt")
awk -v ours="$ours_ms" -v ops="$ref_ops" 'BEGIN {
  ref = 1000 / ops
  printf "\nPointMultiply (464-bit scalar): %.3f ms\nOpenSSL B-409 ECDH:             %.3f ms\nratio ours / OpenSSL:           %.2f\n",
         ours, ref, ours / ref }'

if [ -x scripts/bench-cli.sh ]; then
  echo
  scripts/bench-cli.sh
fi
