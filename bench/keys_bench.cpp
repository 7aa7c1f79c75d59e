// The message cipher on whole texts. Each text costs two scalar
// multiplications (the order check of the correspondent's point and the
// shared point), plus one inversion when decrypting, plus one field product
// per 58-byte block: the fixed part dominates short messages, the blocks
// long ones. Strong messages have the same two scalar multiplications, then
// HKDF, AES-256-GCM and Base64 in place of the blocks. ?VW3: messages cost
// four scalar multiplications each way (the order check of the other
// party's point, and E, es and ss or es, ss and the check of E), the
// cipher's part as for ?VW2:. Unlocking a protected secret key file costs
// its PBKDF2 rounds.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "crypto/curve.h"
#include "keys/formats/cipher.h"
#include "keys/formats/protected_key_file.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/key_records.h"
#include "keys/strong_key.h"

namespace {

struct BenchKeys {
  uint16_t secretA[kScalarWords] = {}, secretB[kScalarWords] = {};
  CurvePoint pointA, pointB;
  PublicKeyRecord recordA = {}, recordB = {};
  StrongKey strongA, strongB;
  BenchKeys() {
    // Fixed 464-bit scalars, so that runs compare: the cost of a scalar
    // multiplication follows the number of set bits.
    std::mt19937 rng(2024);
    for (uint16_t* s : {secretA, secretB}) {
      for (int i = 1; i <= kMaxScalarBits; ++i) s[i] = rng() & 1;
      s[kMaxScalarBits] = 1;
      s[0] = kMaxScalarBits;
    }
    PointMultiply(secretA, BasePoint, pointA);
    PointMultiply(secretB, BasePoint, pointB);
    SetRecordPoint(recordA, pointA);
    SetRecordPoint(recordB, pointB);
    StrongKeyOf(secretA, strongA);
    StrongKeyOf(secretB, strongB);
  }
};

const BenchKeys& Keys() {
  static const BenchKeys keys;
  return keys;
}

std::string RandomText(size_t n) {
  std::mt19937 rng(7);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

void BM_EncryptText(benchmark::State& state) {
  const BenchKeys& k = Keys();
  const std::string plain = RandomText(static_cast<size_t>(state.range(0)));
  std::string out;
  for (auto _ : state) {
    EncryptText(plain, k.secretA, k.pointB, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DecryptText(benchmark::State& state) {
  const BenchKeys& k = Keys();
  std::string encrypted, out;
  EncryptText(RandomText(static_cast<size_t>(state.range(0))), k.secretA, k.pointB, encrypted);
  for (auto _ : state) {
    DecryptText(encrypted, k.secretB, k.pointA, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_EncryptStrong(benchmark::State& state) {
  const BenchKeys& k = Keys();
  const std::string plain = RandomText(static_cast<size_t>(state.range(0)));
  std::string out;
  for (auto _ : state) {
    EncryptStrongMessage(plain, k.secretA, k.recordA, k.recordB, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DecryptStrong(benchmark::State& state) {
  const BenchKeys& k = Keys();
  std::string encrypted, out;
  EncryptStrongMessage(RandomText(static_cast<size_t>(state.range(0))), k.secretA, k.recordA, k.recordB,
                       encrypted);
  const PublicKeyRecord ring[] = {k.recordB, k.recordA};
  StrongParties parties;
  for (auto _ : state) {
    DecryptStrongMessage(encrypted, k.secretB, k.recordB, ring, 2, -1, out, parties);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

constexpr uint64_t kWritten = 1796000000;

void BM_EncryptV3(benchmark::State& state) {
  const BenchKeys& k = Keys();
  const std::string plain = RandomText(static_cast<size_t>(state.range(0)));
  std::string out;
  for (auto _ : state) {
    EncryptV3Message(plain, kWritten, k.secretA, k.strongA, k.strongB, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

void BM_DecryptV3(benchmark::State& state) {
  const BenchKeys& k = Keys();
  std::string encrypted, out;
  EncryptV3Message(RandomText(static_cast<size_t>(state.range(0))), kWritten, k.secretA, k.strongA, k.strongB,
                   encrypted);
  const StrongKey ring[] = {k.strongB, k.strongA};
  V3Parties parties;
  for (auto _ : state) {
    DecryptV3Message(encrypted, k.secretB, k.strongB, ring, 2, -1, out, parties);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// A key pair's strong key from its secret scalar: HKDF, then s2 * G.
void BM_DeriveStrongKey(benchmark::State& state) {
  StrongKey key;
  for (auto _ : state) benchmark::DoNotOptimize(StrongKeyOf(Keys().secretA, key));
}
BENCHMARK(BM_DeriveStrongKey)->Unit(benchmark::kMillisecond);

// Loading a full ring whose every entry has a strong key (264,016 bytes):
// the whole file read, then the cheap check of 2000 points.
void BM_LoadRing1000Strong(benchmark::State& state) {
  const BenchKeys& k = Keys();
  PublicKeyRing ring;
  for (int i = 0; i < kMaxRingKeys; ++i) AddRingEntry(ring, i % 2 ? k.recordA : k.recordB, i % 2 ? k.strongA : k.strongB);
  const std::string path = (std::filesystem::temp_directory_path() / "vwg-bench-ring.vwg").string();
  SavePublicKeyFile(path.c_str(), ring);
  for (auto _ : state) {
    PublicKeyRing loaded;
    benchmark::DoNotOptimize(LoadPublicKeyRing(path.c_str(), loaded));
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_LoadRing1000Strong)->Unit(benchmark::kMillisecond);

// Unlocking the secret key file as the program writes it: PBKDF2 at
// 600,000 rounds, nearly all of the cost, then AES-256-GCM over 938 bytes.
void BM_UnlockProtectedKeyFile(benchmark::State& state) {
  static const uint8_t kPassphrase[] = {'s', 'e', 'c', 'r', 'e', 't'};
  uint8_t file[kProtectedFileBytes];
  FormatProtectedKeyFile(Keys().secretA, kPassphrase, sizeof kPassphrase, kProtectedIterations, file);
  uint16_t key[kScalarWords];
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ParseProtectedKeyFile(file, kProtectedFileBytes, kPassphrase, sizeof kPassphrase, key));
  }
}
BENCHMARK(BM_UnlockProtectedKeyFile)->Unit(benchmark::kMillisecond);

// Key generation without the user ID and the random draw's system call.
void BM_GenerateKeys(benchmark::State& state) {
  std::mt19937 rng(11);
  uint8_t bytes[kScalarBytes];
  for (auto& b : bytes) b = static_cast<uint8_t>(rng());
  uint16_t secret[kScalarWords];
  PublicKeyRecord pub;
  for (auto _ : state) {
    benchmark::DoNotOptimize(KeyPairFromRandomBytes(bytes, secret, pub));
  }
}
BENCHMARK(BM_GenerateKeys)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK(BM_EncryptText)->Arg(100)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptText)->Arg(100)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptStrong)->Arg(100)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptStrong)->Arg(100)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptV3)->Arg(100)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptV3)->Arg(100)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
