// The cryptographic core of strong messages: Z, the key schedule and the
// inner text, sealed and opened with AES-256-GCM.
#include <cstring>

#include "crypto/wipe.h"
#include "keys/formats/strong_message.h"
#include "keys/shared_element.h"
#include "keys/system/hkdf.h"

namespace {

constexpr char kInfoLabel[] = "Vaultwing message v2";
constexpr int kInfoLabelBytes = sizeof kInfoLabel - 1;
constexpr int kBoundHeaderBytes = kStrongSaltAt;  // version and both IDs
constexpr int kKeyScheduleBytes = kAesKeyBytes + kGcmNonceBytes;

// The AES key, then the nonce: both new with every salt, so that a key
// seals one message only while salts do not repeat.
bool DeriveStrongKeys(const uint8_t z[kStrongSecretBytes], const uint8_t* header,
                      uint8_t keys[kKeyScheduleBytes]) {
  uint8_t info[kInfoLabelBytes + kBoundHeaderBytes];
  std::memcpy(info, kInfoLabel, kInfoLabelBytes);
  std::memcpy(info + kInfoLabelBytes, header, kBoundHeaderBytes);
  return Hkdf(header + kStrongSaltAt, kStrongSaltBytes, z, kStrongSecretBytes, info, sizeof info, keys,
              kKeyScheduleBytes) == 1;
}

// 4 + n bytes rounded up to whole blocks.
size_t InnerSize(size_t n) {
  return (kStrongLengthBytes + n + kStrongPadBytes - 1) / kStrongPadBytes * kStrongPadBytes;
}

}  // namespace

bool StrongSharedSecret(const uint16_t* secret, const PublicKeyRecord& peer, uint8_t z[kStrongSecretBytes]) {
  CurvePoint q;
  RecordPoint(peer, q);
  uint16_t k[kElementWords];
  const bool usable = SharedElement(secret, q, k);
  for (int i = 1; i <= kFieldDegree; ++i) {
    z[2 * (i - 1)] = static_cast<uint8_t>(k[i] >> 8);
    z[2 * (i - 1) + 1] = static_cast<uint8_t>(k[i]);
  }
  SecureWipe(k, sizeof k);
  return usable;
}

StrongStatus SealStrongMessage(const uint8_t z[kStrongSecretBytes],
                               const uint8_t header[kStrongHeaderBytes], std::string_view message,
                               std::vector<uint8_t>& bytes) {
  if (message.size() > kMaxStrongMessageBytes) return StrongStatus::kTooLong;
  const size_t n = message.size();
  std::vector<uint8_t> inner(InnerSize(n), 0);
  for (int i = 0; i < kStrongLengthBytes; ++i) inner[i] = static_cast<uint8_t>(n >> (24 - 8 * i));
  std::memcpy(inner.data() + kStrongLengthBytes, message.data(), n);

  std::vector<uint8_t> sealed(kStrongHeaderBytes + inner.size() + kGcmTagBytes);
  std::memcpy(sealed.data(), header, kStrongHeaderBytes);
  uint8_t keys[kKeyScheduleBytes];
  const bool ok = DeriveStrongKeys(z, header, keys) &&
                  AesGcmSeal(keys, keys + kAesKeyBytes, header, kStrongHeaderBytes, inner.data(),
                             inner.size(), sealed.data() + kStrongHeaderBytes,
                             sealed.data() + kStrongHeaderBytes + inner.size());
  SecureWipe(keys, sizeof keys);
  SecureWipe(inner.data(), inner.size());
  if (!ok) return StrongStatus::kSystemError;
  bytes.swap(sealed);
  return StrongStatus::kOk;
}

// The tag vouches for the inner text, so the checks after it tell a broken
// writer from a genuine one, not an attacker: they need not be constant-time.
// Only the padding a writer produces is accepted, so that a message has
// exactly one form.
StrongStatus OpenStrongMessage(const uint8_t z[kStrongSecretBytes], const std::vector<uint8_t>& bytes,
                               std::string& plain) {
  if (!IsStrongMessageSize(bytes.size())) return StrongStatus::kMalformed;
  const uint8_t* header = bytes.data();
  const size_t innerSize = bytes.size() - kStrongHeaderBytes - kGcmTagBytes;
  std::vector<uint8_t> inner(innerSize);
  uint8_t keys[kKeyScheduleBytes];
  if (!DeriveStrongKeys(z, header, keys)) return StrongStatus::kSystemError;
  const bool opened = AesGcmOpen(keys, keys + kAesKeyBytes, header, kStrongHeaderBytes,
                                 header + kStrongHeaderBytes, innerSize,
                                 header + kStrongHeaderBytes + innerSize, inner.data());
  SecureWipe(keys, sizeof keys);
  if (!opened) return StrongStatus::kFailedCheck;

  size_t n = 0;
  for (int i = 0; i < kStrongLengthBytes; ++i) n = n << 8 | inner[i];
  // n is checked against the size before it is rounded, where a 32-bit
  // size_t would wrap.
  bool canonical = n <= innerSize - kStrongLengthBytes && InnerSize(n) == innerSize;
  for (size_t i = kStrongLengthBytes + n; canonical && i < innerSize; ++i) canonical = inner[i] == 0;
  if (canonical) plain.assign(reinterpret_cast<const char*>(inner.data()) + kStrongLengthBytes, n);
  SecureWipe(inner.data(), inner.size());
  return canonical ? StrongStatus::kOk : StrongStatus::kFailedCheck;
}
