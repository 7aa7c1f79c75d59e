#include "keys/strong_key.h"

#include <cstring>

#include "crypto/ct.h"
#include "crypto/scalar_bits.h"
#include "crypto/wipe.h"
#include "keys/key_check.h"
#include "keys/system/hkdf.h"

constinit const StrongKey kNoStrongKey = {};

namespace {

constexpr char kStrongKeyInfo[] = "Vaultwing strong key";

}  // namespace

void ScalarFromBigEndian(const uint8_t* bytes, int n, uint16_t scalar[kScalarWords]) {
  std::memset(scalar, 0, kScalarWords * sizeof(uint16_t));
  uint32_t top = 0;
  for (uint32_t i = 1; i <= 8 * static_cast<uint32_t>(n); ++i) {
    const uint32_t bit = (bytes[n - 1 - (i - 1) / 8] >> ((i - 1) % 8)) & 1;
    scalar[i] = static_cast<uint16_t>(bit);
    top ^= (top ^ i) & CtBitMask(bit);
  }
  scalar[0] = static_cast<uint16_t>(top);
}

// The number PointMultiply multiplies by, whatever the words above the bit
// count hold: the same secret always gives the same strong key.
void ScalarToBigEndian(const uint16_t* scalar, uint8_t out[kScalarBytes]) {
  uint64_t bits[kScalarLimbs];
  EffectiveScalar(scalar, bits);
  for (int j = 0; j < kScalarBytes; ++j) out[kScalarBytes - 1 - j] = static_cast<uint8_t>(bits[j / 8] >> (8 * (j % 8)));
  SecureWipe(bits, sizeof bits);
}

bool DeriveStrongScalar(const uint16_t* secret, uint16_t strong[kScalarWords]) {
  uint8_t ikm[kScalarBytes], okm[kStrongScalarBytes];
  ScalarToBigEndian(secret, ikm);
  const bool derived = Hkdf(nullptr, 0, ikm, sizeof ikm, reinterpret_cast<const uint8_t*>(kStrongKeyInfo),
                            sizeof kStrongKeyInfo - 1, okm, sizeof okm);
  ScalarFromBigEndian(okm, kStrongScalarBytes, strong);
  SecureWipe(ikm, sizeof ikm);
  SecureWipe(okm, sizeof okm);
  // The bit count is 0 only for s2 = 0.
  if (derived && strong[0] != 0) return true;
  SecureWipe(strong, kScalarWords * sizeof(uint16_t));
  return false;
}

bool StrongKeyOf(const uint16_t* secret, StrongKey& key) {
  uint16_t strong[kScalarWords];
  key = kNoStrongKey;
  if (!DeriveStrongScalar(secret, strong)) return false;
  CurvePoint p;
  PointMultiply(strong, BasePoint, p);
  SecureWipe(strong, sizeof strong);
  key = StrongKeyAt(p);
  return true;
}

void StrongKeyPoint(const StrongKey& key, CurvePoint& p) {
  std::memset(&p, 0, sizeof p);
  std::memcpy(p.x, key.x, sizeof key.x);
  std::memcpy(p.y, key.y, sizeof key.y);
}

StrongKey StrongKeyAt(const CurvePoint& p) {
  StrongKey key = {};
  key.present = 1;
  std::memcpy(key.x, p.x, sizeof key.x);
  std::memcpy(key.y, p.y, sizeof key.y);
  return key;
}

bool SameStrongKey(const StrongKey& a, const StrongKey& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool IsValidStrongKey(const StrongKey& key, bool full) {
  if (key.present == 0) return SameStrongKey(key, kNoStrongKey);
  if (key.present != 1) return false;
  CurvePoint p;
  StrongKeyPoint(key, p);
  return full ? IsUsablePublicPoint(p) : IsValidPublicPoint(p);
}

bool IsKeyPairOf(const uint16_t* secret, const PublicKeyRecord& key, const StrongKey& strong) {
  if (!IsPublicKeyOf(secret, key)) return false;
  if (!strong.present) return true;
  StrongKey mine;
  return StrongKeyOf(secret, mine) && SameStrongKey(mine, strong);
}
