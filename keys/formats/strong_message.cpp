// Strong messages between two keys: the header's IDs, and the search of the
// ring for the sender.
#include "keys/formats/strong_message.h"

#include <cstring>

#include "base/random_source.h"
#include "crypto/wipe.h"
#include "keys/formats/strong_reader.h"

StrongStatus EncryptStrongMessage(std::string_view message, const uint16_t* secret,
                                  const PublicKeyRecord& own, const PublicKeyRecord& recipient,
                                  std::string& out) {
  uint8_t salt[kStrongSaltBytes];
  if (!RandomBytes(salt, kStrongSaltBytes)) return StrongStatus::kSystemError;
  return EncryptStrongMessageWithSalt(message, secret, own, recipient, salt, out);
}

StrongStatus EncryptStrongMessageWithSalt(std::string_view message, const uint16_t* secret,
                                          const PublicKeyRecord& own, const PublicKeyRecord& recipient,
                                          const uint8_t salt[kStrongSaltBytes], std::string& out) {
  uint8_t header[kStrongHeaderBytes];
  header[0] = kStrongVersion;
  if (!KeyId(own, header + kStrongSenderAt) || !KeyId(recipient, header + kStrongRecipientAt)) {
    return StrongStatus::kSystemError;
  }
  std::memcpy(header + kStrongSaltAt, salt, kStrongSaltBytes);
  uint8_t z[kStrongSecretBytes];
  std::vector<uint8_t> bytes;
  StrongStatus status = StrongStatus::kNoUsableKey;
  if (StrongSharedSecret(secret, recipient, z)) status = SealStrongMessage(z, header, message, bytes);
  SecureWipe(z, sizeof z);
  if (status == StrongStatus::kOk) out = ArmourStrongMessage(bytes);
  return status;
}

namespace {

// 1 when the entry's ID is id, 0 when not, -1 when the hash fails.
int HasKeyId(const PublicKeyRecord& key, const uint8_t id[kKeyIdBytes]) {
  uint8_t keyId[kKeyIdBytes];
  if (!KeyId(key, keyId)) return -1;
  return std::memcmp(keyId, id, kKeyIdBytes) == 0 ? 1 : 0;
}

}  // namespace

StrongStatus DecryptStrongMessage(std::string_view text, const uint16_t* secret,
                                  const PublicKeyRecord& own, const PublicKeyRecord* ring,
                                  int ringCount, int expectedSender, std::string& plain,
                                  StrongParties& parties) {
  std::vector<uint8_t> bytes;
  const StrongStatus header = ReadStrongHeader(text, ReadStrongArmour, own, HasKeyId, bytes, parties);
  if (header != StrongStatus::kOk) return header;
  const auto open = [&](const PublicKeyRecord& key) {
    uint8_t z[kStrongSecretBytes];
    if (!StrongSharedSecret(secret, key, z)) return StrongStatus::kNoUsableKey;
    const StrongStatus opened = OpenStrongMessage(z, bytes, plain);
    SecureWipe(z, sizeof z);
    return opened;
  };
  return FindStrongSender(ring, ringCount, expectedSender, parties.senderId, HasKeyId, open, parties.senderIndex);
}
