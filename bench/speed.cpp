// vwg_speed: the headline figures without Google Benchmark, so that the same
// program runs natively and as a 32-bit Windows program under Wine:
// PointMultiply with a 464-bit scalar, and EncryptText / DecryptText and
// the strong format's EncryptStrongMessage / DecryptStrongMessage of 1 MiB,
// and ParseProtectedKeyFile at the count we write (the unlock's PBKDF2).
// Prints "name value unit" lines for scripts/bench.sh.
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "crypto/curve.h"
#include "crypto/fast_arith.h"
#include "keys/cipher.h"
#include "keys/key_records.h"
#include "keys/protected_key_file.h"
#include "keys/strong_message.h"

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

  static const uint8_t kPassphrase[] = {'s', 'e', 'c', 'r', 'e', 't'};
  uint8_t locked[kProtectedFileBytes];
  uint16_t unlocked[kScalarWords] = {};
  const bool lockedOk = FormatProtectedKeyFile(a, kPassphrase, sizeof kPassphrase, kProtectedIterations, locked) ==
                        ProtectedKeyStatus::kOk;
  std::printf("UnlockKeyFile %.1f ms\n", 1e3 * TimePerCall([&] {
                ParseProtectedKeyFile(locked, kProtectedFileBytes, kPassphrase, sizeof kPassphrase, unlocked);
              }));
  const bool unlockedOk = lockedOk && std::memcmp(unlocked, a, sizeof a) == 0;
  return oldFormatOk && opened == plain && unlockedOk ? 0 : 1;
}
