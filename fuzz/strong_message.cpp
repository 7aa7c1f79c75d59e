// Reading strong messages: any text, as the messenger or the clipboard may
// hand it over, read by Bob, whose ring holds his own key and Alice's.
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
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "keys/key_records.h"
#include "keys/message_text.h"
#include "keys/strong_message.h"

namespace {

constexpr char kUntouched[] = "untouched";

// The two key pairs of the format's known answer, ring order: Bob, Alice.
constexpr const char* kSecretHex[] = {
    "7edcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedcba98765432fedc"
    "ba987654321234",
    "23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef2345"
    "6789abcdef0123"};
constexpr int kBob = 0;

struct Keys {
  uint16_t secret[2][kScalarWords] = {};
  PublicKeyRecord ring[2] = {};
  uint8_t id[2][kKeyIdBytes];
  uint8_t z[2][kStrongSecretBytes];  // Bob's with each ring entry
  Keys() {
    for (int k = 0; k < 2; ++k) {
      const std::string_view hex = kSecretHex[k];
      for (size_t bit = 0; bit < 4 * hex.size(); ++bit) {
        const char c = hex[hex.size() - 1 - bit / 4];
        secret[k][bit + 1] = ((c <= '9' ? c - '0' : c - 'a' + 10) >> (bit % 4)) & 1;
        if (secret[k][bit + 1]) secret[k][0] = static_cast<uint16_t>(bit + 1);
      }
      CurvePoint p;
      PointMultiply(secret[k], BasePoint, p);
      SetRecordPoint(ring[k], p);
      if (!KeyId(ring[k], id[k])) std::abort();
    }
    for (int k = 0; k < 2; ++k) {
      if (!StrongSharedSecret(secret[kBob], ring[k], z[k])) std::abort();
    }
  }
};

bool SameId(const uint8_t* a, const uint8_t* b) { return std::memcmp(a, b, kKeyIdBytes) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  static const Keys keys;
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
  return 0;
}
