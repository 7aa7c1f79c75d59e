// The cryptographic core of ?VW3: messages: the shared x coordinates, the
// key schedule and the inner text, sealed and opened with AES-256-GCM.
#include <cstring>

#include "crypto/ct.h"
#include "crypto/wipe.h"
#include "keys/formats/strong_armour.h"
#include "keys/formats/v3_message.h"
#include "keys/key_check.h"
#include "keys/system/hkdf.h"

namespace {

constexpr char kInfoLabel[] = "Vaultwing message v3";
constexpr int kInfoLabelBytes = sizeof kInfoLabel - 1;
constexpr int kKeyScheduleBytes = kAesKeyBytes + kGcmNonceBytes;
constexpr int kInnerHeadBytes = kV3TimeBytes + kV3LengthBytes;

// The AES key, then the nonce, bound to the whole header and to both strong
// keys: a message cannot be passed off as one between other keys.
bool DeriveV3Keys(const uint8_t ikm[2 * kV3SecretBytes], const uint8_t* header, const uint8_t* senderPoint,
                  const uint8_t* recipientPoint, uint8_t keys[kKeyScheduleBytes]) {
  uint8_t info[kInfoLabelBytes + kV3HeaderBytes + 2 * kPointBytes];
  std::memcpy(info, kInfoLabel, kInfoLabelBytes);
  std::memcpy(info + kInfoLabelBytes, header, kV3HeaderBytes);
  std::memcpy(info + kInfoLabelBytes + kV3HeaderBytes, senderPoint, kPointBytes);
  std::memcpy(info + kInfoLabelBytes + kV3HeaderBytes + kPointBytes, recipientPoint, kPointBytes);
  return Hkdf(nullptr, 0, ikm, 2 * kV3SecretBytes, info, sizeof info, keys, kKeyScheduleBytes) == 1;
}

// 12 + n bytes rounded up to whole blocks.
size_t InnerSize(size_t n) { return (kInnerHeadBytes + n + kStrongPadBytes - 1) / kStrongPadBytes * kStrongPadBytes; }

uint64_t GetBigEndian(const uint8_t* p, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

void PutBigEndian(uint8_t* p, int n, uint64_t v) {
  for (int i = 0; i < n; ++i) p[i] = static_cast<uint8_t>(v >> (8 * (n - 1 - i)));
}

}  // namespace

bool SharedX(const uint16_t* k, const CurvePoint& p, uint8_t out[kV3SecretBytes]) {
  CurvePoint product;
  PointMultiply(k, p, product);
  // The product follows the secret k: O is told by its length word, by mask.
  const uint16_t finite = static_cast<uint16_t>(~CtZeroMask(product.x[0] ^ kInfinityLength));
  for (int i = 1; i <= kFieldDegree; ++i) {
    out[2 * (i - 1)] = static_cast<uint8_t>((product.x[i] & finite) >> 8);
    out[2 * (i - 1) + 1] = static_cast<uint8_t>(product.x[i] & finite);
  }
  SecureWipe(&product, sizeof product);
  return finite & 1;
}

// The coordinates as the point bytes give them, each made canonical by its
// length word, so that only the curve and order checks can refuse it.
bool ReadEphemeralPoint(const uint8_t bytes[kPointBytes], CurvePoint& e) {
  std::memset(&e, 0, sizeof e);
  uint16_t* coordinates[] = {e.x, e.y};
  for (int c = 0; c < 2; ++c) {
    uint16_t any = 0;
    for (int i = 1; i <= kFieldDegree; ++i) {
      const uint8_t* p = bytes + 2 * kFieldDegree * c + 2 * (i - 1);
      coordinates[c][i] = static_cast<uint16_t>(p[0] << 8 | p[1]);
      any |= coordinates[c][i];
    }
    coordinates[c][0] = any ? kFieldDegree : 0;
  }
  return IsUsablePublicPoint(e);
}

StrongStatus SealV3Message(const uint8_t ikm[2 * kV3SecretBytes], const uint8_t header[kV3HeaderBytes],
                           const uint8_t senderPoint[kPointBytes], const uint8_t recipientPoint[kPointBytes],
                           uint64_t now, std::string_view message, std::vector<uint8_t>& bytes) {
  if (message.size() > kMaxStrongMessageBytes) return StrongStatus::kTooLong;
  const size_t n = message.size();
  std::vector<uint8_t> inner(InnerSize(n), 0);
  PutBigEndian(inner.data(), kV3TimeBytes, now);
  PutBigEndian(inner.data() + kV3TimeBytes, kV3LengthBytes, n);
  std::memcpy(inner.data() + kInnerHeadBytes, message.data(), n);

  std::vector<uint8_t> sealed(kV3HeaderBytes + inner.size() + kGcmTagBytes);
  std::memcpy(sealed.data(), header, kV3HeaderBytes);
  uint8_t keys[kKeyScheduleBytes];
  const bool ok = DeriveV3Keys(ikm, header, senderPoint, recipientPoint, keys) &&
                  AesGcmSeal(keys, keys + kAesKeyBytes, header, kV3HeaderBytes, inner.data(), inner.size(),
                             sealed.data() + kV3HeaderBytes, sealed.data() + kV3HeaderBytes + inner.size());
  SecureWipe(keys, sizeof keys);
  SecureWipe(inner.data(), inner.size());
  if (!ok) return StrongStatus::kSystemError;
  bytes.swap(sealed);
  return StrongStatus::kOk;
}

// As for ?VW2:, the checks after the tag tell a broken writer from a genuine
// one, not an attacker, and only the padding a writer produces is accepted,
// so that a message has exactly one form.
StrongStatus OpenV3Message(const uint8_t ikm[2 * kV3SecretBytes], const uint8_t senderPoint[kPointBytes],
                           const uint8_t recipientPoint[kPointBytes], const std::vector<uint8_t>& bytes,
                           std::string& plain, uint64_t* written) {
  if (!IsV3MessageSize(bytes.size())) return StrongStatus::kMalformed;
  const uint8_t* header = bytes.data();
  const size_t innerSize = bytes.size() - kV3HeaderBytes - kGcmTagBytes;
  std::vector<uint8_t> inner(innerSize);
  uint8_t keys[kKeyScheduleBytes];
  if (!DeriveV3Keys(ikm, header, senderPoint, recipientPoint, keys)) {
    SecureWipe(keys, sizeof keys);
    return StrongStatus::kSystemError;
  }
  const bool opened = AesGcmOpen(keys, keys + kAesKeyBytes, header, kV3HeaderBytes, header + kV3HeaderBytes,
                                 innerSize, header + kV3HeaderBytes + innerSize, inner.data());
  SecureWipe(keys, sizeof keys);
  if (!opened) return StrongStatus::kFailedCheck;

  const uint64_t n = GetBigEndian(inner.data() + kV3TimeBytes, kV3LengthBytes);
  // n is checked against the size before it is rounded, where a 32-bit
  // size_t would wrap.
  bool canonical = n <= innerSize - kInnerHeadBytes && InnerSize(static_cast<size_t>(n)) == innerSize;
  for (size_t i = kInnerHeadBytes + static_cast<size_t>(n); canonical && i < innerSize; ++i)
    canonical = inner[i] == 0;
  if (canonical) {
    plain.assign(reinterpret_cast<const char*>(inner.data()) + kInnerHeadBytes, static_cast<size_t>(n));
    *written = GetBigEndian(inner.data(), kV3TimeBytes);
  }
  SecureWipe(inner.data(), inner.size());
  return canonical ? StrongStatus::kOk : StrongStatus::kFailedCheck;
}

bool LooksLikeV3Message(std::string_view text) { return HasArmourPrefix(text, kV3Prefix); }

std::string ArmourV3Message(const std::vector<uint8_t>& bytes) { return ArmourBytes(kV3Prefix, bytes); }

StrongStatus ReadV3Armour(std::string_view text, std::vector<uint8_t>& bytes) {
  return ReadArmourBytes(text, kV3Prefix, IsV3MessageSize, kV3Version, bytes);
}
