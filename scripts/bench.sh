#!/usr/bin/env bash
# Runs the benchmarks of the native build and, in the same run, OpenSSL's
# ECDH on the binary curve B-409 as the reference peer, then vwg_speed natively
# and as the Windows program under Wine (the 32-bit one, or the 64-bit one on
# a host that cannot start 32-bit programs); prints the summary table with
# the ratios. Times are CPU time, as openssl speed counts them, so that other
# work on the machine does not show up as ours.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/host-width.sh
bin=build/native/bench
win=$windows_build/bench/vwg_speed.exe
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

for b in "$bin"/*_bench; do
  "$b" --benchmark_format=console --benchmark_out="$out/$(basename "$b").json" --benchmark_out_format=json
done

echo
echo "Reference: openssl speed -seconds 3 ecdhb409"
openssl speed -seconds 3 ecdhb409 2>/dev/null | tee "$out/openssl.txt" | tail -2

echo
echo "vwg_speed, native:"
"$bin"/vwg_speed | tee "$out/speed-native.txt"
if [ -f "$win" ]; then
  echo "vwg_speed, $host_width-bit Windows under Wine:"
  scripts/wine-session.sh start "$windows_build/wine" "$host_width" >/dev/null
  scripts/wine-run.sh "$windows_build/wine" "$win" | tr -d '\r' | tee "$out/speed-wine.txt"
  scripts/wine-session.sh stop "$windows_build/wine" >/dev/null
fi

python3 - "$out" "$host_width" <<'PY'
import json, os, re, sys
out, width = sys.argv[1], sys.argv[2]
def bench(name):
    for f in ("crypto_bench.json", "keys_bench.json"):
        for b in json.load(open(os.path.join(out, f)))["benchmarks"]:
            if b["name"] == name:
                scale = {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[b["time_unit"]]
                return b["cpu_time"] * scale, b.get("bytes_per_second")
    return None, None
def speed(path):
    if not os.path.exists(path):
        return {}
    return {m.group(1): float(m.group(2)) for m in re.finditer(r"^(\w+) ([\d.]+)", open(path).read(), re.M)}
ops = float(re.search(r"ecdh \(nistb409\)\s+\S+\s+(\S+)", open(os.path.join(out, "openssl.txt")).read()).group(1))
ref = 1000 / ops
# Times of one run in ms, and rates over 1 MiB in bytes per second.
ms = {name: bench(f"BM_{name}")[0]
      for name in ("PointMultiply", "PointMultiplyPortable", "PointMultiplyLiteral", "GenerateKeys",
                   "UnlockProtectedKeyFile", "DeriveStrongKey", "LoadRing1000Strong")}
fast, portable, literal = ms["PointMultiply"], ms["PointMultiplyPortable"], ms["PointMultiplyLiteral"]
rate = {name: bench(f"BM_{name}/1048576")[1]
        for name in ("EncryptText", "DecryptText", "EncryptStrong", "DecryptStrong", "EncryptV3", "DecryptV3")}
enc, dec = rate["EncryptText"], rate["DecryptText"]
senc, sdec, venc, vdec = rate["EncryptStrong"], rate["DecryptStrong"], rate["EncryptV3"], rate["DecryptV3"]
# The strong format beside the old one: a short message costs its scalar
# multiplications, a long one the cipher.
short = {name: bench(f"BM_{name}/100")[0] for name in rate}
native, wine = speed(os.path.join(out, "speed-native.txt")), speed(os.path.join(out, "speed-wine.txt"))
rows = [
    ("PointMultiply, 464-bit scalar (fast)", f"{fast:.3f} ms", f"{fast / ref:.2f} x OpenSSL"),
    ("PointMultiply, portable path", f"{portable:.3f} ms", f"{portable / ref:.2f} x OpenSSL"),
    ("PointMultiply, literal double-and-add", f"{literal:.3f} ms", f"{literal / ref:.2f} x OpenSSL"),
    ("OpenSSL ECDH B-409 (openssl speed ecdhb409)", f"{ref:.3f} ms", "1.00"),
    ("GenerateKeys", f"{ms['GenerateKeys']:.3f} ms", ""),
    ("UnlockKeyFile, 600,000 PBKDF2 rounds", f"{ms['UnlockProtectedKeyFile']:.0f} ms", ""),
    ("EncryptText, 1 MiB", f"{enc / 1e6:.0f} MB/s", ""),
    ("DecryptText, 1 MiB", f"{dec / 1e6:.0f} MB/s", ""),
    ("EncryptText, 100 B (old format)", f"{short['EncryptText'] * 1e3:.0f} us", ""),
    ("EncryptStrong, 100 B", f"{short['EncryptStrong'] * 1e3:.0f} us",
     f"{short['EncryptStrong'] / short['EncryptText']:.2f} x EncryptText"),
    ("DecryptText, 100 B (old format)", f"{short['DecryptText'] * 1e3:.0f} us", ""),
    ("DecryptStrong, 100 B", f"{short['DecryptStrong'] * 1e3:.0f} us",
     f"{short['DecryptStrong'] / short['DecryptText']:.2f} x DecryptText"),
    ("EncryptStrong, 1 MiB", f"{senc / 1e6:.0f} MB/s", f"{senc / enc:.2f} x EncryptText's speed"),
    ("DecryptStrong, 1 MiB", f"{sdec / 1e6:.0f} MB/s", f"{sdec / dec:.2f} x DecryptText's speed"),
    ("EncryptV3, 100 B", f"{short['EncryptV3'] * 1e3:.0f} us",
     f"{short['EncryptV3'] / short['EncryptText']:.2f} x EncryptText"),
    ("DecryptV3, 100 B", f"{short['DecryptV3'] * 1e3:.0f} us",
     f"{short['DecryptV3'] / short['DecryptText']:.2f} x DecryptText"),
    ("EncryptV3, 1 MiB", f"{venc / 1e6:.0f} MB/s", f"{venc / enc:.2f} x EncryptText's speed"),
    ("DecryptV3, 1 MiB", f"{vdec / 1e6:.0f} MB/s", f"{vdec / dec:.2f} x DecryptText's speed"),
    ("Strong key from the secret key (HKDF, s2 * G)", f"{ms['DeriveStrongKey']:.3f} ms", ""),
    ("Ring of 1000 entries with strong keys, loaded", f"{ms['LoadRing1000Strong']:.2f} ms", ""),
]
for key, unit in (("PointMultiply", "ms"), ("EncryptText", "MB/s"), ("DecryptText", "MB/s"),
                  ("EncryptStrong", "MB/s"), ("DecryptStrong", "MB/s"), ("EncryptV3", "MB/s"),
                  ("DecryptV3", "MB/s"), ("EncryptText100", "us"), ("DecryptText100", "us"),
                  ("EncryptV3100", "us"), ("DecryptV3100", "us"), ("DeriveStrongKey", "ms"),
                  ("LoadRing1000", "ms"), ("UnlockKeyFile", "ms")):
    if key in native and key in wine:
        slower = native[key] / wine[key] if unit == "MB/s" else wine[key] / native[key]
        rows.append((f"{key}, Wine {width}-bit vs native (vwg_speed)", f"{wine[key]:g} vs {native[key]:g} {unit}",
                     f"{slower:.2f} x slower"))
print("\n| Measure | Result | Ratio |\n|---|---|---|")
for r in rows:
    print("| " + " | ".join(r) + " |")
PY

if [ -x scripts/bench-cli.sh ]; then
  echo
  scripts/bench-cli.sh
fi

if [ -x scripts/bench-scan.sh ] && [ -f "$windows_build/bench/scan_tick.exe" ]; then
  echo
  scripts/bench-scan.sh
fi
