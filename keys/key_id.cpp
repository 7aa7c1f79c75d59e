#include "keys/key_id.h"

#include <cstring>

#include "keys/fingerprint.h"
#include "keys/sha256.h"

namespace {

int PointId(const uint16_t* x, const uint16_t* y, uint8_t id[kKeyIdBytes]) {
  uint8_t input[kPointBytes], digest[kSha256Bytes];
  PointBytes(x, y, input);
  if (!Sha256(input, sizeof input, digest)) return 0;
  std::memcpy(id, digest, kKeyIdBytes);
  return 1;
}

}  // namespace

int KeyId(const PublicKeyRecord& key, uint8_t id[kKeyIdBytes]) { return PointId(key.x, key.y, id); }

int StrongKeyId(const StrongKey& strong, uint8_t id[kKeyIdBytes]) { return PointId(strong.x, strong.y, id); }

int RingKeyId(const PublicKeyRecord& key, const StrongKey& strong, uint8_t id[kKeyIdBytes]) {
  return strong.present ? StrongKeyId(strong, id) : KeyId(key, id);
}

void KeyIdText(const uint8_t id[kKeyIdBytes], char out[kKeyIdChars + 1]) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int i = 0; i < kKeyIdBytes; ++i) {
    out[2 * i] = kHex[id[i] >> 4];
    out[2 * i + 1] = kHex[id[i] & 0x0F];
  }
  out[kKeyIdChars] = '\0';
}
