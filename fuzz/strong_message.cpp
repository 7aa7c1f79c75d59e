// Reading strong messages, ?VW2: and ?VW3:: any text, as the messenger or
// the clipboard may hand it over, read by Bob, whose ring holds his own key
// and Alice's, both with strong keys.
//
// Every input goes through the reader's steps with the shared secrets Z
// worked out once: what the armour accepts is the one encoding of its bytes;
// a message for Bob from a key in the ring is opened with that key's Z, and
// one that opens must seal again, with its own header and salt, to the very
// text that was read, blanks aside: a message has exactly one form. Every
// refusal leaves the output as it was. DecryptStrongMessage itself costs
// two scalar multiplications whenever a ring entry has the sender's ID, so
// it runs on a sample of the inputs, where it must reach the same verdict
// and message as the steps, and encrypting the message again with Alice's
// or Bob's own secret must give the text back.
//
// A ?VW3: message's key needs Bob's strong scalar times its ephemeral point
// E. The steps know that product for one E only, the one of the seeds
// (which hold the format's known answer), and open such messages; a message
// with any other E is opened on the sample alone, where it must be refused:
// nobody knows the e of a point the fuzzer makes up.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "keys/formats/message_text.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/key_records.h"

namespace {

constexpr char kUntouched[] = "untouched";

// The two key pairs of the format's known answer, ring order: Bob, Alice.
constexpr const char* kSecretHex[] = {
    "7edcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedc"
    "ba987654321234",
    "23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef2345"
    "6789abcdef0123"};
constexpr int kBob = 0;
// The ephemeral scalar of the seeds' ?VW3: messages.
constexpr char kEphemeralHex[] =
    "30f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a6978";

void ScalarFromHex(std::string_view hex, uint16_t* s) {
  for (size_t bit = 0; bit < 4 * hex.size(); ++bit) {
    const char c = hex[hex.size() - 1 - bit / 4];
    s[bit + 1] = ((c <= '9' ? c - '0' : c - 'a' + 10) >> (bit % 4)) & 1;
    if (s[bit + 1]) s[0] = static_cast<uint16_t>(bit + 1);
  }
}

struct Keys {
  uint16_t secret[2][kScalarWords] = {};
  PublicKeyRecord ring[2] = {};
  uint8_t id[2][kKeyIdBytes];
  uint8_t z[2][kStrongSecretBytes];  // Bob's with each ring entry
  // ?VW3:: the strong keys, their IDs and point bytes, the seeds' E, and
  // es | ss of Bob with each ring entry under that E.
  StrongKey strong[2];
  uint8_t strongId[2][kKeyIdBytes];
  uint8_t strongPoint[2][kPointBytes];
  uint8_t ephemeralPoint[kPointBytes];
  uint8_t ikm[2][2 * kV3SecretBytes];
  Keys() {
    for (int k = 0; k < 2; ++k) {
      ScalarFromHex(kSecretHex[k], secret[k]);
      CurvePoint p;
      PointMultiply(secret[k], BasePoint, p);
      SetRecordPoint(ring[k], p);
      if (!KeyId(ring[k], id[k]) || !StrongKeyOf(secret[k], strong[k]) || !StrongKeyId(strong[k], strongId[k]))
        std::abort();
      PointBytes(strong[k].x, strong[k].y, strongPoint[k]);
    }
    uint16_t e[kScalarWords] = {}, bobStrong[kScalarWords];
    ScalarFromHex(kEphemeralHex, e);
    CurvePoint ephemeral;
    PointMultiply(e, BasePoint, ephemeral);
    PointBytes(ephemeral.x, ephemeral.y, ephemeralPoint);
    if (!DeriveStrongScalar(secret[kBob], bobStrong)) std::abort();
    for (int k = 0; k < 2; ++k) {
      if (!StrongSharedSecret(secret[kBob], ring[k], z[k])) std::abort();
      CurvePoint sender;
      StrongKeyPoint(strong[k], sender);
      if (!SharedX(bobStrong, ephemeral, ikm[k]) || !SharedX(bobStrong, sender, ikm[k] + kV3SecretBytes))
        std::abort();
    }
  }
};

bool SameId(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, kKeyIdBytes) == 0; }

void ReadV2(const Keys& keys, const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::vector<uint8_t> bytes = {0xAB};
  StrongStatus expected = ReadStrongArmour(text, bytes);
  FUZZ_CHECK(LooksLikeStrongMessage(text) == (expected != StrongStatus::kNotStrong));
  std::string plain = kUntouched;
  int sender = -1;
  if (expected != StrongStatus::kOk) {
    FUZZ_CHECK(bytes.size() == 1 && bytes[0] == 0xAB);
  } else {
    // Strict Base64: the bytes have one encoding, and it is what was read.
    FUZZ_CHECK(ArmourStrongMessage(bytes) == WithoutBlanks(text));
    const uint8_t* header = bytes.data();
    if (!SameId(header + kStrongRecipientAt, keys.id[kBob])) {
      expected = StrongStatus::kNotForThisKey;
    } else {
      expected = StrongStatus::kUnknownSender;
      for (int k = 0; k < 2 && sender < 0; ++k) {
        if (!SameId(header + kStrongSenderAt, keys.id[k])) continue;
        expected = OpenStrongMessage(keys.z[k], bytes, plain);
        if (expected == StrongStatus::kOk) sender = k;
      }
    }
  }
  if (sender >= 0) {
    std::vector<uint8_t> again;
    FUZZ_CHECK(SealStrongMessage(keys.z[sender], bytes.data(), plain, again) == StrongStatus::kOk);
    FUZZ_CHECK(again == bytes);
  } else {
    FUZZ_CHECK(plain == kUntouched);
  }

  if (Sampled(data, size)) {
    std::string opened = kUntouched;
    StrongParties parties;
    const StrongStatus full = DecryptStrongMessage(text, keys.secret[kBob], keys.ring[kBob], keys.ring, 2, -1,
                                                   opened, parties);
    FUZZ_CHECK(full == expected);
    FUZZ_CHECK(opened == plain);
    FUZZ_CHECK(parties.senderIndex == sender);
    if (sender >= 0) {
      std::string again;
      FUZZ_CHECK(EncryptStrongMessageWithSalt(opened, keys.secret[sender], keys.ring[sender], keys.ring[kBob],
                                              bytes.data() + kStrongSaltAt, again) == StrongStatus::kOk);
      FUZZ_CHECK(again == WithoutBlanks(text));
    }
  }
}

void ReadV3(const Keys& keys, const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<uint8_t> bytes = {0xAB};
  StrongStatus expected = ReadV3Armour(text, bytes);
  FUZZ_CHECK(LooksLikeV3Message(text) == (expected != StrongStatus::kNotStrong));
  std::string plain = kUntouched;
  uint64_t written = 0;
  int sender = -1;
  bool known = true;  // whether the steps could tell the verdict
  if (expected != StrongStatus::kOk) {
    FUZZ_CHECK(bytes.size() == 1 && bytes[0] == 0xAB);
  } else {
    FUZZ_CHECK(ArmourV3Message(bytes) == WithoutBlanks(text));
    const uint8_t* header = bytes.data();
    if (!SameId(header + kV3RecipientAt, keys.strongId[kBob])) {
      expected = StrongStatus::kNotForThisKey;
    } else if (std::memcmp(header + kV3EphemeralAt, keys.ephemeralPoint, kPointBytes) != 0) {
      known = false;
    } else {
      expected = StrongStatus::kUnknownSender;
      for (int k = 0; k < 2 && sender < 0; ++k) {
        if (!SameId(header + kV3SenderAt, keys.strongId[k])) continue;
        expected = OpenV3Message(keys.ikm[k], keys.strongPoint[k], keys.strongPoint[kBob], bytes, plain, &written);
        if (expected == StrongStatus::kOk) sender = k;
      }
    }
  }
  if (sender >= 0) {
    std::vector<uint8_t> again;
    FUZZ_CHECK(SealV3Message(keys.ikm[sender], bytes.data(), keys.strongPoint[sender], keys.strongPoint[kBob],
                             written, plain, again) == StrongStatus::kOk);
    FUZZ_CHECK(again == bytes);
  } else {
    FUZZ_CHECK(plain == kUntouched);
  }

  if (Sampled(data, size)) {
    std::string opened = kUntouched;
    V3Parties parties;
    const StrongStatus full =
        DecryptV3Message(text, keys.secret[kBob], keys.strong[kBob], keys.strong, 2, -1, opened, parties);
    if (known) {
      FUZZ_CHECK(full == expected);
      FUZZ_CHECK(opened == plain);
      FUZZ_CHECK(parties.senderIndex == sender);
      if (sender >= 0) FUZZ_CHECK(parties.written == written);
    } else {
      FUZZ_CHECK(full == StrongStatus::kFailedCheck || full == StrongStatus::kUnknownSender);
      FUZZ_CHECK(opened == kUntouched);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  static const Keys keys;
  ReadV2(keys, data, size);
  ReadV3(keys, data, size);
  return 0;
}
