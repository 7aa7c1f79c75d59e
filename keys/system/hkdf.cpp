#include "keys/system/hkdf.h"

#include <algorithm>
#include <cstring>

#include "crypto/wipe.h"
#include "keys/system/hmac_sha256.h"

bool HkdfExtract(const uint8_t* salt, size_t saltSize, const uint8_t* ikm, size_t ikmSize, uint8_t prk[kSha256Bytes]) {
  static const uint8_t kZeroSalt[kSha256Bytes] = {};
  if (saltSize == 0) {
    salt = kZeroSalt;
    saltSize = sizeof kZeroSalt;
  }
  return HmacSha256(salt, saltSize, {{ikm, ikmSize}}, prk);
}

bool HkdfExpand(const uint8_t prk[kSha256Bytes], const uint8_t* info, size_t infoSize, uint8_t* out, size_t size) {
  uint8_t block[kSha256Bytes];
  size_t previous = 0;  // T(0) is empty
  bool ok = size <= kHkdfMaxBytes;
  for (size_t done = 0; ok && done < size;) {
    const uint8_t counter = static_cast<uint8_t>(done / kSha256Bytes + 1);
    // T(i - 1) is consumed before T(i) is written over it.
    ok = HmacSha256(prk, kSha256Bytes, {{block, previous}, {info, infoSize}, {&counter, 1}}, block);
    const size_t n = std::min<size_t>(kSha256Bytes, size - done);
    std::memcpy(out + done, block, n);
    done += n;
    previous = kSha256Bytes;
  }
  SecureWipe(block, sizeof block);
  if (!ok) SecureWipe(out, size);
  return ok;
}

bool Hkdf(const uint8_t* salt, size_t saltSize, const uint8_t* ikm, size_t ikmSize, const uint8_t* info,
          size_t infoSize, uint8_t* out, size_t size) {
  uint8_t prk[kSha256Bytes];
  const bool ok = HkdfExtract(salt, saltSize, ikm, ikmSize, prk) && HkdfExpand(prk, info, infoSize, out, size);
  SecureWipe(prk, sizeof prk);
  if (!ok) SecureWipe(out, size);
  return ok;
}
