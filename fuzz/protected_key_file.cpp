// A protected secret key file from bytes, read with one fixed passphrase.
// What opens is a valid scalar and seals again, with the file's own count,
// salt and nonce, to the very 996 bytes that were read; what is refused
// leaves the key buffer untouched; the verdict agrees with the checks that
// need no passphrase and with IsProtectedKeyFile.
//
// A file that passes those checks with a count above 10 is skipped. A round
// of the system's PBKDF2 costs about half a microsecond: an input at the
// count we write would take a quarter of a second, one at the reader's bound
// of 10,000,000 five seconds, so such inputs would spend the run in code
// that is not ours and end it in "timeouts" that are the designed cost.
// Counts outside the accepted range still go in: the reader must refuse
// them before the first round.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "keys/formats/protected_key_file.h"

namespace {

constexpr char kPassphraseText[] = "fuzz passphrase";
const uint8_t* const kPassphrase = reinterpret_cast<const uint8_t*>(kPassphraseText);
constexpr size_t kPassphraseBytes = sizeof kPassphraseText - 1;
constexpr uint32_t kMaxFuzzIterations = 10;

uint32_t FileIterations(const uint8_t* data) {
  const uint8_t* p = data + kProtectedIterationsAt;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const int n = static_cast<int>(size);
  const ProtectedKeyStatus checked = CheckProtectedKeyFile(data, n);
  if (checked == ProtectedKeyStatus::kOk && FileIterations(data) > kMaxFuzzIterations) return 0;

  uint16_t key[kScalarWords];
  std::memset(key, 0xA5, sizeof key);
  const ProtectedKeyStatus status = ParseProtectedKeyFile(data, n, kPassphrase, kPassphraseBytes, key);
  FUZZ_CHECK(IsProtectedKeyFile(data, n) == (status != ProtectedKeyStatus::kNotProtected));
  if (checked != ProtectedKeyStatus::kOk) {
    FUZZ_CHECK(status == checked);
  } else {
    FUZZ_CHECK(status == ProtectedKeyStatus::kOk || status == ProtectedKeyStatus::kWrongPassphrase ||
               status == ProtectedKeyStatus::kInvalidInnerFile);
  }
  if (status != ProtectedKeyStatus::kOk) {
    for (uint16_t w : key) FUZZ_CHECK(w == 0xA5A5);
    return 0;
  }
  FUZZ_CHECK(size == static_cast<size_t>(kProtectedFileBytes));
  FUZZ_CHECK(IsValidSecretKey(key));
  uint8_t again[kProtectedFileBytes];
  FUZZ_CHECK(FormatProtectedKeyFileWith(key, kPassphrase, kPassphraseBytes, FileIterations(data),
                                        data + kProtectedSaltAt, data + kProtectedNonceAt,
                                        again) == ProtectedKeyStatus::kOk);
  FUZZ_CHECK(std::memcmp(again, data, kProtectedFileBytes) == 0);
  return 0;
}
