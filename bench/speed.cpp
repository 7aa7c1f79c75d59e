// vwg_speed: the headline figures without Google Benchmark, so that the same
// program runs natively and as a 32-bit Windows program under Wine:
// PointMultiply with a 464-bit scalar, and EncryptText / DecryptText and
// the strong formats' EncryptStrongMessage / DecryptStrongMessage and
// EncryptV3Message / DecryptV3Message of 1 MiB (and of 100 bytes, with the
// old format's, where the scalar multiplications are the cost), the strong
// key's derivation, the load of a ring of 1000 entries with strong keys,
// and ParseProtectedKeyFile at the count we write (the unlock's PBKDF2).
// Prints "name value unit" lines for scripts/bench.sh.
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "crypto/curve.h"
#include "crypto/dispatch.h"
#include "keys/formats/cipher.h"
#include "keys/formats/protected_key_file.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/key_records.h"
#include "keys/strong_key.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace {

// CPU time of this process, as openssl speed counts it: on a machine shared
// with other work the wall clock would measure the neighbours too.
double CpuSeconds() {
#ifdef _WIN32
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return (static_cast<double>(user.dwHighDateTime) * 4294967296.0 + user.dwLowDateTime) * 1e-7;
#else
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
#endif
}

// CPU seconds per call of f, over at least a second.
template <typename F>
double TimePerCall(F f) {
  f();
  int n = 0;
  const double start = CpuSeconds();
  double spent = 0;
  do {
    f();
    ++n;
    spent = CpuSeconds() - start;
  } while (spent < 1.0);
  return spent / n;
}

}  // namespace

int main() {
  std::mt19937 rng(2024);
  uint16_t a[kScalarWords] = {kMaxScalarBits}, b[kScalarWords] = {kMaxScalarBits};
  for (uint16_t* s : {a, b}) {
    for (int i = 1; i < kMaxScalarBits; ++i) s[i] = rng() & 1;
    s[kMaxScalarBits] = 1;
  }
  CurvePoint pa, pb, r;
  PointMultiply(a, BasePoint, pa);
  PointMultiply(b, BasePoint, pb);

  std::string plain(1 << 20, '\0'), encrypted, decrypted;
  for (char& c : plain) c = static_cast<char>(rng());
  EncryptText(plain, a, pb, encrypted);

  std::printf("path %s\n", ActiveClmulPath() == ClmulPath::kInstruction ? "instruction" : "portable");
  std::printf("PointMultiply %.4f ms\n", 1e3 * TimePerCall([&] { PointMultiply(a, pb, r); }));
  const double mb = plain.size() / 1e6;
  std::printf("EncryptText %.1f MB/s\n", mb / TimePerCall([&] { EncryptText(plain, a, pb, encrypted); }));
  std::printf("DecryptText %.1f MB/s\n", mb / TimePerCall([&] { DecryptText(encrypted, b, pa, decrypted); }));
  const bool oldFormatOk = decrypted.compare(0, plain.size(), plain) == 0;

  PublicKeyRecord ring[2] = {};  // b's ring: b's own key, then a's
  SetRecordPoint(ring[0], pb);
  SetRecordPoint(ring[1], pa);
  std::string strong, opened;
  StrongParties parties;
  std::printf("EncryptStrong %.1f MB/s\n",
              mb / TimePerCall([&] { EncryptStrongMessage(plain, a, ring[1], ring[0], strong); }));
  std::printf("DecryptStrong %.1f MB/s\n",
              mb / TimePerCall([&] { DecryptStrongMessage(strong, b, ring[0], ring, 2, -1, opened, parties); }));

  // ?VW3: between the same two pairs' strong keys, at 1 MiB and at 100
  // bytes beside the old format.
  StrongKey strongKeys[2];  // b's, then a's, as b's ring holds them
  StrongKeyOf(b, strongKeys[0]);
  StrongKeyOf(a, strongKeys[1]);
  std::string v3, v3Opened;
  V3Parties v3Parties;
  constexpr uint64_t kWritten = 1796000000;
  std::printf("EncryptV3 %.1f MB/s\n",
              mb / TimePerCall([&] { EncryptV3Message(plain, kWritten, a, strongKeys[1], strongKeys[0], v3); }));
  std::printf("DecryptV3 %.1f MB/s\n", mb / TimePerCall([&] {
                DecryptV3Message(v3, b, strongKeys[0], strongKeys, 2, -1, v3Opened, v3Parties);
              }));
  const bool v3Ok = v3Opened == plain;
  const std::string note = plain.substr(0, 100);
  std::string shortText, shortOpened;
  std::printf("EncryptText100 %.1f us\n", 1e6 * TimePerCall([&] { EncryptText(note, a, pb, shortText); }));
  std::printf("DecryptText100 %.1f us\n", 1e6 * TimePerCall([&] { DecryptText(shortText, b, pa, shortOpened); }));
  std::printf("EncryptV3100 %.1f us\n",
              1e6 * TimePerCall([&] { EncryptV3Message(note, kWritten, a, strongKeys[1], strongKeys[0], shortText); }));
  std::printf("DecryptV3100 %.1f us\n", 1e6 * TimePerCall([&] {
                DecryptV3Message(shortText, b, strongKeys[0], strongKeys, 2, -1, shortOpened, v3Parties);
              }));
  StrongKey derived;
  std::printf("DeriveStrongKey %.4f ms\n", 1e3 * TimePerCall([&] { StrongKeyOf(a, derived); }));

  PublicKeyRing full;
  for (int i = 0; i < kMaxRingKeys; ++i) AddRingEntry(full, ring[i % 2], strongKeys[i % 2]);
  const char* ringPath = "vwg-speed-ring.vwg";
  const bool ringOk = SavePublicKeyFile(ringPath, full) == KeyFileStatus::kOk;
  std::printf("LoadRing1000 %.3f ms\n", 1e3 * TimePerCall([&] {
                PublicKeyRing loaded;
                LoadPublicKeyRing(ringPath, loaded);
              }));
  std::remove(ringPath);

  static const uint8_t kPassphrase[] = {'s', 'e', 'c', 'r', 'e', 't'};
  uint8_t locked[kProtectedFileBytes];
  uint16_t unlocked[kScalarWords] = {};
  const bool lockedOk = FormatProtectedKeyFile(a, kPassphrase, sizeof kPassphrase, kProtectedIterations, locked) ==
                        ProtectedKeyStatus::kOk;
  std::printf("UnlockKeyFile %.1f ms\n", 1e3 * TimePerCall([&] {
                ParseProtectedKeyFile(locked, kProtectedFileBytes, kPassphrase, sizeof kPassphrase, unlocked);
              }));
  const bool unlockedOk = lockedOk && std::memcmp(unlocked, a, sizeof a) == 0;
  return oldFormatOk && opened == plain && v3Ok && ringOk && unlockedOk ? 0 : 1;
}
