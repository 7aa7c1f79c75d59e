// A secret key file from bytes, as LoadSecretKeyFile reads it. What parses is
// a valid scalar and formats back to the same 938 bytes; what does not parse
// leaves the key buffer untouched.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "keys/formats/key_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  uint16_t key[kScalarWords];
  std::memset(key, 0xA5, sizeof key);
  const bool ok = ParseSecretKeyFile(data, static_cast<int>(size), key);
  if (!ok) {
    for (uint16_t w : key) FUZZ_CHECK(w == 0xA5A5);
    return 0;
  }
  FUZZ_CHECK(ok);
  FUZZ_CHECK(size >= static_cast<size_t>(kSecretFileBytes));
  FUZZ_CHECK(IsValidSecretKey(key));
  uint8_t again[kSecretFileBytes];
  FormatSecretKeyFile(key, again);
  FUZZ_CHECK(std::memcmp(again, data, kSecretFileBytes) == 0);
  return 0;
}
