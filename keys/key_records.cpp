#include "keys/key_records.h"

#include <cstring>

#include "keys/random_source.h"
#include "keys/report_error.h"
#include "resources/strings.h"

uint16_t SecretKey[kScalarWords];
PublicKeyRecord OwnPublicKey;

constexpr int kScalarBytes = kMaxScalarBits / 8;

// Bits of the random bytes, least significant bit of byte 0 first, into words
// 1..464; word 0 gets the index of the highest set bit (0 when none is set).
static void BytesToScalar(const uint8_t* bytes, uint16_t* secret) {
  std::memset(secret, 0, kScalarWords * sizeof(uint16_t));
  for (int i = 1; i <= kMaxScalarBits; ++i) {
    secret[i] = (bytes[(i - 1) / 8] >> ((i - 1) % 8)) & 1;
    if (secret[i]) secret[0] = static_cast<uint16_t>(i);
  }
}

int GenerateKeyPair(uint16_t* secret, PublicKeyRecord& pub, const char* userId) {
  uint8_t bytes[kScalarBytes];
  CurvePoint point;
  for (;;) {
    if (!RandomBytes(bytes, kScalarBytes)) {
      ReportError(nullptr, true);
      return 0;
    }
    BytesToScalar(bytes, secret);
    // A bit count below 2 means the value 0 or 1; a multiple of the base
    // point's order gives the point at infinity, which no record can hold.
    if (secret[0] < 2) continue;
    PointMultiply(secret, BasePoint, point);
    if (!IsPointAtInfinity(point)) break;
  }

  std::memset(&pub, 0, sizeof pub);
  SetRecordPoint(pub, point);
  SetUserId(pub, userId ? userId : StringText(IDS_DEFAULT_USER_ID));
  return 1;
}

int GenerateKeys(const char* userId) { return GenerateKeyPair(SecretKey, OwnPublicKey, userId); }

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

void RecordPoint(const PublicKeyRecord& r, CurvePoint& p) {
  std::memset(&p, 0, sizeof p);
  std::memcpy(p.x, r.x, sizeof r.x);
  std::memcpy(p.y, r.y, sizeof r.y);
}

void SetRecordPoint(PublicKeyRecord& r, const CurvePoint& p) {
  std::memcpy(r.x, p.x, sizeof r.x);
  std::memcpy(r.y, p.y, sizeof r.y);
}
