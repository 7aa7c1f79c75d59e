#include "keys/fingerprint.h"

#include <initializer_list>

#include "keys/sha256.h"

void PointBytes(const uint16_t* x, const uint16_t* y, uint8_t out[kPointBytes]) {
  int n = 0;
  for (const uint16_t* coordinate : {x, y}) {
    for (int i = 1; i <= kFieldDegree; ++i) {
      out[n++] = static_cast<uint8_t>(coordinate[i] >> 8);
      out[n++] = static_cast<uint8_t>(coordinate[i]);
    }
  }
}

int KeyFingerprint(const PublicKeyRecord& key, const StrongKey& strong, char out[kFingerprintChars + 1]) {
  uint8_t input[kPointBytes], digest[kSha256Bytes];
  if (strong.present)
    PointBytes(strong.x, strong.y, input);
  else
    PointBytes(key.x, key.y, input);
  out[0] = '\0';
  if (!Sha256(input, sizeof input, digest)) return 0;
  static constexpr char kHex[] = "0123456789ABCDEF";
  int n = 0;
  for (int i = 0; i < kFingerprintBytes; ++i) {
    if (i > 0 && i % 2 == 0) out[n++] = ' ';
    out[n++] = kHex[digest[i] >> 4];
    out[n++] = kHex[digest[i] & 0x0F];
  }
  out[n] = '\0';
  return 1;
}
