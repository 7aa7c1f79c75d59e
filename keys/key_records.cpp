#include "keys/key_records.h"

#include <cstring>

#include "base/random_source.h"
#include "crypto/ct.h"
#include "crypto/wipe.h"
#include "resources/strings.h"

// Bits of the random bytes, least significant bit of byte 0 first, into words
// 1..464; word 0 gets the index of the highest set bit (0 when none is set).
// CT: the top bit is found by masks; every byte is read.
static void BytesToScalar(const uint8_t* bytes, uint16_t* secret) {
  std::memset(secret, 0, kScalarWords * sizeof(uint16_t));
  uint32_t top = 0;
  for (uint32_t i = 1; i <= kMaxScalarBits; ++i) {
    const uint32_t bit = (bytes[(i - 1) / 8] >> ((i - 1) % 8)) & 1;
    secret[i] = static_cast<uint16_t>(bit);
    top ^= (top ^ i) & CtBitMask(bit);
  }
  secret[0] = static_cast<uint16_t>(top);
}

bool KeyPairFromRandomBytes(const uint8_t bytes[kScalarBytes], uint16_t* secret, PublicKeyRecord& pub) {
  CurvePoint point;
  BytesToScalar(bytes, secret);
  PointMultiply(secret, BasePoint, point);
  std::memset(&pub, 0, sizeof pub);
  SetRecordPoint(pub, point);
  // A bit count below 2 means the value 0 or 1; a multiple of the base
  // point's order gives the point at infinity (length 777), which no record
  // can hold.
  const uint32_t bigEnough = CtLess(1, secret[0]);
  const uint32_t finite = static_cast<uint32_t>(~CtZeroMask(point.x[0] ^ kInfinityLength)) & 1;
  return (bigEnough & finite) != 0;
}

bool GenerateKeyPair(uint16_t* secret, PublicKeyRecord& pub, const char* userId) {
  uint8_t bytes[kScalarBytes];
  int usable = 0;
  while (!usable) {
    if (!RandomBytes(bytes, kScalarBytes)) {
      SecureWipe(bytes, sizeof bytes);
      return false;
    }
    usable = KeyPairFromRandomBytes(bytes, secret, pub);
  }
  SecureWipe(bytes, sizeof bytes);
  SetUserId(pub, userId ? userId : StringText(IDS_DEFAULT_USER_ID));
  return true;
}

bool IsPublicKeyOf(const uint16_t* secret, const PublicKeyRecord& key) {
  CurvePoint mine, theirs;
  PointMultiply(secret, BasePoint, mine);
  RecordPoint(key, theirs);
  return FieldEqual(mine.x, theirs.x) && FieldEqual(mine.y, theirs.y);
}

void SetUserId(PublicKeyRecord& r, const char* id) {
  std::memset(r.userId, 0, kUserIdBytes);
  for (int i = 0; i < kUserIdBytes && id[i] != '\0'; ++i) r.userId[i] = id[i];
}

void GetUserId(const PublicKeyRecord& r, char out[kUserIdBytes + 1]) {
  int n = 0;
  while (n < kUserIdBytes && r.userId[n] != '\0') {
    out[n] = r.userId[n];
    ++n;
  }
  out[n] = '\0';
}

bool SamePoint(const PublicKeyRecord& a, const PublicKeyRecord& b) {
  return std::memcmp(a.x, b.x, sizeof a.x) == 0 && std::memcmp(a.y, b.y, sizeof a.y) == 0;
}

void RecordPoint(const PublicKeyRecord& r, CurvePoint& p) {
  std::memset(&p, 0, sizeof p);
  std::memcpy(p.x, r.x, sizeof r.x);
  std::memcpy(p.y, r.y, sizeof r.y);
}

void SetRecordPoint(PublicKeyRecord& r, const CurvePoint& p) {
  std::memcpy(r.x, p.x, sizeof r.x);
  std::memcpy(r.y, p.y, sizeof r.y);
}
