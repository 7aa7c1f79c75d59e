// ?VW3: messages between strong keys: the header's IDs and ephemeral point,
// the search of the ring for the sender, and the times of writing.
#include "keys/formats/v3_message.h"

#include <cstdio>
#include <cstring>

#include "base/random_source.h"
#include "crypto/wipe.h"
#include "keys/formats/strong_reader.h"

namespace {

// A strong scalar, wiped when it goes.
struct Scalar {
  uint16_t words[kScalarWords] = {};
  Scalar() = default;
  ~Scalar() { SecureWipe(words, sizeof words); }
  Scalar(const Scalar&) = delete;
  Scalar& operator=(const Scalar&) = delete;
};

// es | ss, wiped when it goes.
struct SharedSecrets {
  uint8_t ikm[2 * kV3SecretBytes] = {};
  SharedSecrets() = default;
  ~SharedSecrets() { SecureWipe(ikm, sizeof ikm); }
  SharedSecrets(const SharedSecrets&) = delete;
  SharedSecrets& operator=(const SharedSecrets&) = delete;
};

void StrongPointBytes(const StrongKey& key, uint8_t out[kPointBytes]) { PointBytes(key.x, key.y, out); }

// 1 when the strong key's ID is id, 0 when not (or absent), -1 when the
// hash fails.
int HasStrongKeyId(const StrongKey& key, const uint8_t id[kKeyIdBytes]) {
  if (!key.present) return 0;
  uint8_t keyId[kKeyIdBytes];
  if (!StrongKeyId(key, keyId)) return -1;
  return std::memcmp(keyId, id, kKeyIdBytes) == 0 ? 1 : 0;
}

}  // namespace

StrongStatus EncryptV3Message(std::string_view message, uint64_t now, const uint16_t* secret,
                              const StrongKey& own, const StrongKey& recipient, std::string& out) {
  Scalar e;
  do {
    uint8_t bytes[kStrongScalarBytes];
    const bool drawn = RandomBytes(bytes, sizeof bytes);
    ScalarFromBigEndian(bytes, sizeof bytes, e.words);
    SecureWipe(bytes, sizeof bytes);
    if (!drawn) return StrongStatus::kSystemError;
  } while (e.words[0] == 0);
  return EncryptV3MessageWithEphemeral(message, now, secret, own, recipient, e.words, out);
}

StrongStatus EncryptV3MessageWithEphemeral(std::string_view message, uint64_t now, const uint16_t* secret,
                                           const StrongKey& own, const StrongKey& recipient,
                                           const uint16_t* ephemeral, std::string& out) {
  if (!recipient.present || !IsValidStrongKey(recipient, true)) return StrongStatus::kNoUsableKey;
  uint8_t header[kV3HeaderBytes];
  header[0] = kV3Version;
  if (!StrongKeyId(own, header + kV3SenderAt) || !StrongKeyId(recipient, header + kV3RecipientAt))
    return StrongStatus::kSystemError;
  CurvePoint e, r;
  PointMultiply(ephemeral, BasePoint, e);
  PointBytes(e.x, e.y, header + kV3EphemeralAt);

  Scalar strong;
  if (!DeriveStrongScalar(secret, strong.words)) return StrongStatus::kSystemError;
  StrongKeyPoint(recipient, r);
  SharedSecrets shared;
  if (!SharedX(ephemeral, r, shared.ikm) || !SharedX(strong.words, r, shared.ikm + kV3SecretBytes))
    return StrongStatus::kNoUsableKey;
  uint8_t senderPoint[kPointBytes], recipientPoint[kPointBytes];
  StrongPointBytes(own, senderPoint);
  StrongPointBytes(recipient, recipientPoint);
  std::vector<uint8_t> bytes;
  const StrongStatus status = SealV3Message(shared.ikm, header, senderPoint, recipientPoint, now, message, bytes);
  if (status == StrongStatus::kOk) out = ArmourV3Message(bytes);
  return status;
}

static_assert(kV3SenderAt == kStrongSenderAt && kV3RecipientAt == kStrongRecipientAt,
              "ReadStrongHeader reads the IDs of both formats at one pair of offsets");

StrongStatus DecryptV3Message(std::string_view text, const uint16_t* secret, const StrongKey& own,
                              const StrongKey* ring, int ringCount, int expectedSender, std::string& plain,
                              V3Parties& parties) {
  std::vector<uint8_t> bytes;
  const StrongStatus header = ReadStrongHeader(text, ReadV3Armour, own, HasStrongKeyId, bytes, parties);
  if (header != StrongStatus::kOk) return header;
  CurvePoint e;
  if (!ReadEphemeralPoint(bytes.data() + kV3EphemeralAt, e)) return StrongStatus::kFailedCheck;

  Scalar strong;
  SharedSecrets shared;
  if (!DeriveStrongScalar(secret, strong.words)) return StrongStatus::kSystemError;
  if (!SharedX(strong.words, e, shared.ikm)) return StrongStatus::kFailedCheck;
  uint8_t recipientPoint[kPointBytes];
  StrongPointBytes(own, recipientPoint);

  const auto open = [&](const StrongKey& key) {
    CurvePoint s;
    StrongKeyPoint(key, s);
    if (!IsValidStrongKey(key, true) || !SharedX(strong.words, s, shared.ikm + kV3SecretBytes))
      return StrongStatus::kNoUsableKey;
    uint8_t senderPoint[kPointBytes];
    StrongPointBytes(key, senderPoint);
    return OpenV3Message(shared.ikm, senderPoint, recipientPoint, bytes, plain, &parties.written);
  };
  return FindStrongSender(ring, ringCount, expectedSender, parties.senderId, HasStrongKeyId, open,
                          parties.senderIndex);
}

// Days to the civil date by Howard Hinnant's algorithm, exact for every day
// a 64-bit count of seconds reaches.
std::string UtcTimeText(uint64_t seconds) {
  const int64_t days = static_cast<int64_t>(seconds / 86400);
  const uint64_t inDay = seconds % 86400;
  const int64_t z = days + 719468;
  const int64_t era = z / 146097;
  const int64_t dayOfEra = z - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t mp = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02llu:%02llu", static_cast<long long>(year),
                static_cast<long long>(month), static_cast<long long>(day),
                static_cast<unsigned long long>(inDay / 3600), static_cast<unsigned long long>(inDay % 3600 / 60));
  return text;
}

bool IsOutOfTime(uint64_t written, uint64_t now) {
  constexpr uint64_t kDay = 24 * 60 * 60;
  constexpr uint64_t kAhead = 10 * 60;
  return (now > written && now - written > kDay) || (written > now && written - now > kAhead);
}
