#include "keys/fingerprint.h"

#include <cstring>
#include <initializer_list>

#include "keys/system/sha256.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// SHA-256 over the point's bytes, which both the fingerprint and the ID
// are cut from.
bool PointDigest(const uint16_t* x, const uint16_t* y, uint8_t digest[kSha256Bytes]) {
  uint8_t input[kPointBytes];
  PointBytes(x, y, input);
  return Sha256(input, sizeof input, digest);
}

bool PointId(const uint16_t* x, const uint16_t* y, uint8_t id[kKeyIdBytes]) {
  uint8_t digest[kSha256Bytes];
  if (!PointDigest(x, y, digest)) return false;
  std::memcpy(id, digest, kKeyIdBytes);
  return true;
}

}  // namespace

void PointBytes(const uint16_t* x, const uint16_t* y, uint8_t out[kPointBytes]) {
  int n = 0;
  for (const uint16_t* coordinate : {x, y}) {
    for (int i = 1; i <= kFieldDegree; ++i) {
      out[n++] = static_cast<uint8_t>(coordinate[i] >> 8);
      out[n++] = static_cast<uint8_t>(coordinate[i]);
    }
  }
}

bool KeyFingerprint(const PublicKeyRecord& key, const StrongKey& strong, char out[kFingerprintChars + 1]) {
  uint8_t digest[kSha256Bytes];
  out[0] = '\0';
  const uint16_t* x = strong.present ? strong.x : key.x;
  const uint16_t* y = strong.present ? strong.y : key.y;
  if (!PointDigest(x, y, digest)) return false;
  int n = 0;
  for (int i = 0; i < kFingerprintBytes; ++i) {
    if (i > 0 && i % 2 == 0) out[n++] = ' ';
    out[n++] = kHex[digest[i] >> 4];
    out[n++] = kHex[digest[i] & 0x0F];
  }
  out[n] = '\0';
  return true;
}

bool KeyId(const PublicKeyRecord& key, uint8_t id[kKeyIdBytes]) { return PointId(key.x, key.y, id); }

bool StrongKeyId(const StrongKey& strong, uint8_t id[kKeyIdBytes]) { return PointId(strong.x, strong.y, id); }

bool RingKeyId(const PublicKeyRecord& key, const StrongKey& strong, uint8_t id[kKeyIdBytes]) {
  return strong.present ? StrongKeyId(strong, id) : KeyId(key, id);
}

void KeyIdText(const uint8_t id[kKeyIdBytes], char out[kKeyIdChars + 1]) {
  for (int i = 0; i < kKeyIdBytes; ++i) {
    out[2 * i] = kHex[id[i] >> 4];
    out[2 * i + 1] = kHex[id[i] & 0x0F];
  }
  out[kKeyIdChars] = '\0';
}
