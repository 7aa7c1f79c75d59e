// Strong messages between random key pairs: round trips, every kind of
// refusal, and the promise that a refusal writes nothing.
#include "keys/formats/strong_message.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "keys/fingerprint.h"
#include "tests/keys/strong_reference.h"
#include "tests/keys/test_keys.h"

namespace {

constexpr char kUntouched[] = "untouched";

std::vector<uint8_t> IdOf(const PublicKeyRecord& key) {
  std::vector<uint8_t> id(kKeyIdBytes);
  EXPECT_TRUE(KeyId(key, id.data()));
  return id;
}

// Characters of the text form: the prefix, Base64 and the final '.'.
size_t ExpectedChars(size_t n) {
  const size_t inner = (4 + n + 31) / 32 * 32;
  return 5 + (33 + inner + 16 + 2) / 3 * 4 + 1;
}

class StrongMessage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MakeKeyPair(alice_, "alice");
    MakeKeyPair(bob_, "bob");
    MakeKeyPair(carol_, "carol");
  }

  // Alice's message for Bob.
  static std::string FromAlice(std::string_view message) {
    std::string text;
    EXPECT_EQ(EncryptStrongMessage(message, alice_.secret, alice_.pub, bob_.pub, text), StrongStatus::kOk);
    return text;
  }

  // Bob reads text with his ring; plain is "untouched" unless it opened.
  static StrongStatus BobReads(std::string_view text, std::vector<PublicKeyRecord> ring, std::string& plain,
                               StrongParties& parties, int expectedSender = -1) {
    plain = kUntouched;
    return DecryptStrongMessage(text, bob_.secret, bob_.pub, ring.data(), static_cast<int>(ring.size()),
                                expectedSender, plain, parties);
  }

  static StrongStatus BobReads(std::string_view text, std::string& plain) {
    StrongParties parties;
    return BobReads(text, {bob_.pub, carol_.pub, alice_.pub}, plain, parties);
  }

  // Z of Alice and Bob, and an H from Alice to Bob, for the reference writer.
  static std::vector<uint8_t> SharedZ() {
    std::vector<uint8_t> z(kStrongSecretBytes);
    EXPECT_TRUE(StrongSharedSecret(alice_.secret, bob_.pub, z.data()));
    return z;
  }
  static std::vector<uint8_t> HeaderToBob(uint8_t version = 2) {
    return ReferenceHeader(version, IdOf(alice_.pub), IdOf(bob_.pub), std::vector<uint8_t>(16, 0x5A));
  }

  static KeyPair alice_, bob_, carol_;
};
KeyPair StrongMessage::alice_, StrongMessage::bob_, StrongMessage::carol_;

TEST_F(StrongMessage, RandomTextsRoundTripAtEveryPaddingBoundary) {
  std::mt19937 rng(TestSeed());
  for (size_t n : {0, 1, 27, 28, 29, 59, 60, 61, 92, 93, 255, 1000, 4096 + 5}) {
    const std::string message = RandomMessage(rng, n);
    const std::string text = FromAlice(message);
    ASSERT_EQ(text.size(), ExpectedChars(n)) << n;
    EXPECT_EQ(text.compare(0, 5, "?VW2:"), 0);
    EXPECT_EQ(text.back(), '.');
    for (char c : text.substr(5, text.size() - 6)) {
      ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=') << text;
    }
    std::string plain;
    StrongParties parties;
    ASSERT_EQ(BobReads(text, {bob_.pub, carol_.pub, alice_.pub}, plain, parties), StrongStatus::kOk) << n;
    EXPECT_EQ(plain, message) << n;
    EXPECT_EQ(parties.senderIndex, 2);
    EXPECT_EQ(Hex(parties.senderId, 8), Hex(IdOf(alice_.pub).data(), 8));
  }
}

TEST_F(StrongMessage, OneMebibyteRoundTrips) {
  std::mt19937 rng(TestSeed() + 1);
  const std::string message = RandomMessage(rng, 1 << 20);
  std::string plain;
  ASSERT_EQ(BobReads(FromAlice(message), plain), StrongStatus::kOk);
  EXPECT_TRUE(plain == message);
}

// Alice's own ring starts with her own key, so she can read what she sent
// to herself.
TEST_F(StrongMessage, AMessageToOneselfOpensWithRingEntryZero) {
  std::string text, plain = kUntouched;
  ASSERT_EQ(EncryptStrongMessage("note", alice_.secret, alice_.pub, alice_.pub, text), StrongStatus::kOk);
  const PublicKeyRecord ring[] = {alice_.pub, bob_.pub};
  StrongParties parties;
  ASSERT_EQ(DecryptStrongMessage(text, alice_.secret, alice_.pub, ring, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, "note");
  EXPECT_EQ(parties.senderIndex, 0);
}

TEST_F(StrongMessage, TwoEncryptionsOfOneTextDiffer) {
  const std::string first = FromAlice("same text"), second = FromAlice("same text");
  EXPECT_NE(first, second);
  // Only the salt, and everything sealed under it, differs: H up to the salt
  // is the first 17 bytes, 22 whole Base64 characters after the prefix.
  EXPECT_EQ(first.substr(0, 5 + 22), second.substr(0, 5 + 22));
}

// Channels wrap lines and add blanks: wherever they stand, they go.
TEST_F(StrongMessage, BlanksAnywhereAreIgnored) {
  const std::string message = "wrapped on its way";
  const std::string text = FromAlice(message);
  std::mt19937 rng(TestSeed() + 2);
  const char blanks[] = {' ', '\t', '\r', '\n'};
  for (int round = 0; round < 20; ++round) {
    std::string spread = text;
    for (int k = 0; k < 1 + round; ++k) {
      spread.insert(rng() % (spread.size() + 1), 1, blanks[rng() % 4]);
    }
    std::string plain;
    ASSERT_EQ(BobReads(spread, plain), StrongStatus::kOk) << spread;
    EXPECT_EQ(plain, message);
  }
  std::string wrapped = "\r\n  ";
  for (size_t i = 0; i < text.size(); i += 64) wrapped += text.substr(i, 64) + "\r\n";
  std::string plain;
  EXPECT_EQ(BobReads(wrapped, plain), StrongStatus::kOk);
  EXPECT_TRUE(LooksLikeStrongMessage(wrapped));
}

// No changed character opens, and none writes (ForEachChangedCharacter).
// Messages with no padding and with "==" at the end, whose last character
// before it carries bits the padding drops.
TEST_F(StrongMessage, EveryChangedCharacterIsRefused) {
  for (const std::string& message : {std::string("short"), std::string(70, 'x')}) {
    ForEachChangedCharacter(FromAlice(message), [&](const std::string& changed, size_t at, char to) {
      std::string plain;
      EXPECT_NE(BobReads(changed, plain), StrongStatus::kOk) << "position " << at << " to " << to;
      EXPECT_EQ(plain, kUntouched);
    });
  }
}

TEST_F(StrongMessage, TheRecipientAndSenderAreNamedByTheirIds) {
  std::string plain;
  StrongParties parties;
  // For Carol, not Bob.
  std::string text;
  ASSERT_EQ(EncryptStrongMessage("hi", alice_.secret, alice_.pub, carol_.pub, text), StrongStatus::kOk);
  EXPECT_EQ(BobReads(text, {bob_.pub, alice_.pub, carol_.pub}, plain, parties), StrongStatus::kNotForThisKey);
  EXPECT_EQ(Hex(parties.recipientId, 8), Hex(IdOf(carol_.pub).data(), 8));
  EXPECT_EQ(Hex(parties.senderId, 8), Hex(IdOf(alice_.pub).data(), 8));
  EXPECT_EQ(parties.senderIndex, -1);

  // From Alice, whom Bob's ring does not hold: her ID is there to be named.
  text = FromAlice("hi");
  EXPECT_EQ(BobReads(text, {bob_.pub, carol_.pub}, plain, parties), StrongStatus::kUnknownSender);
  EXPECT_EQ(Hex(parties.senderId, 8), Hex(IdOf(alice_.pub).data(), 8));
  EXPECT_EQ(plain, kUntouched);

  // The expected sender: Alice at index 2 opens, Carol at 1 is another key.
  EXPECT_EQ(BobReads(text, {bob_.pub, carol_.pub, alice_.pub}, plain, parties, 2), StrongStatus::kOk);
  EXPECT_EQ(parties.senderIndex, 2);
  EXPECT_EQ(BobReads(text, {bob_.pub, carol_.pub, alice_.pub}, plain, parties, 1), StrongStatus::kOtherSender);
  EXPECT_EQ(Hex(parties.senderId, 8), Hex(IdOf(alice_.pub).data(), 8));
  EXPECT_EQ(plain, kUntouched);
}

// The ID covers the coefficients only, so a copy whose length word was
// damaged shares it but has no usable point; a ring may also hold one key
// twice. The first entry whose key opens the message is the sender.
TEST_F(StrongMessage, EntriesSharingTheSendersIdAreTriedInTurn) {
  PublicKeyRecord damaged = alice_.pub;
  damaged.x[0] = 28;
  SetUserId(damaged, "damaged");
  PublicKeyRecord again = alice_.pub;
  SetUserId(again, "alice again");
  ASSERT_EQ(Hex(IdOf(damaged).data(), 8), Hex(IdOf(alice_.pub).data(), 8));

  const std::string text = FromAlice("which one?");
  std::string plain;
  StrongParties parties;
  EXPECT_EQ(BobReads(text, {bob_.pub, damaged, carol_.pub, alice_.pub, again}, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(parties.senderIndex, 3);
  EXPECT_EQ(plain, "which one?");
  EXPECT_EQ(BobReads(text, {bob_.pub, damaged}, plain, parties), StrongStatus::kNoUsableKey);
  EXPECT_EQ(BobReads(text, {bob_.pub, damaged, alice_.pub}, plain, parties, 1), StrongStatus::kNoUsableKey);
  EXPECT_EQ(plain, kUntouched);

  // A tag that no entry verifies outranks an entry without a usable key.
  std::string forged = text;
  forged[forged.size() - 3] = forged[forged.size() - 3] == 'A' ? 'B' : 'A';
  EXPECT_EQ(BobReads(forged, {bob_.pub, damaged, alice_.pub}, plain, parties), StrongStatus::kFailedCheck);
  EXPECT_EQ(plain, kUntouched);
}

TEST_F(StrongMessage, BrokenArmourIsRefusedAsSuch) {
  // 70 bytes make 145 bytes of message, whose Base64 ends in "==".
  const std::string text = FromAlice(std::string(70, 'x'));
  ASSERT_EQ(text.substr(text.size() - 3), "==.");
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadStrongArmour(text, bytes), StrongStatus::kOk);
  auto armour = [](std::vector<uint8_t> b) { return ArmourStrongMessage(b); };
  auto withVersion = [&](uint8_t v) {
    std::vector<uint8_t> b = bytes;
    b[0] = v;
    return armour(b);
  };
  const std::string body = text.substr(5, text.size() - 6);
  std::string nonCanonical = text;
  nonCanonical[nonCanonical.size() - 4] ^= 1;  // the bits the "==" drops

  struct Case {
    const char* name;
    std::string text;
    StrongStatus expected;
  } cases[] = {
      {"old format", "!#$%&'()*+,-./0123456789:;<=>?@ABCDEFG", StrongStatus::kNotStrong},
      {"empty", "", StrongStatus::kNotStrong},
      {"other version in the prefix", "?VW3:" + body + ".", StrongStatus::kNotStrong},
      {"lower case prefix", "?vw2:" + body + ".", StrongStatus::kNotStrong},
      {"no question mark", "VW2:" + body + ".", StrongStatus::kNotStrong},
      {"text before the prefix", "x?VW2:" + body + ".", StrongStatus::kNotStrong},
      {"prefix only", "?VW2:", StrongStatus::kMalformed},
      {"no final dot", "?VW2:" + body, StrongStatus::kMalformed},
      {"text after the dot", text + "x", StrongStatus::kMalformed},
      {"two dots", text + ".", StrongStatus::kMalformed},
      {"URL-safe character", "?VW2:-" + body.substr(1) + ".", StrongStatus::kMalformed},
      {"one '=' missing", "?VW2:" + body.substr(0, body.size() - 1) + ".", StrongStatus::kMalformed},
      {"'=' added", "?VW2:" + body + "=.", StrongStatus::kMalformed},
      {"padding in the middle", "?VW2:" + body + body + ".", StrongStatus::kMalformed},
      {"bits under the padding", nonCanonical, StrongStatus::kMalformed},
      {"a byte short", armour({bytes.begin(), bytes.end() - 1}), StrongStatus::kMalformed},
      {"a byte long", armour([&] { auto b = bytes; b.push_back(0); return b; }()), StrongStatus::kMalformed},
      {"shorter than one block", armour({bytes.begin(), bytes.begin() + kStrongMinBytes - 1}), StrongStatus::kMalformed},
      {"version 1", withVersion(1), StrongStatus::kMalformed},
      {"version 3", withVersion(3), StrongStatus::kMalformed},
      {"a whole block short", armour({bytes.begin(), bytes.end() - 32}), StrongStatus::kFailedCheck},
  };
  for (const Case& c : cases) {
    std::string plain;
    EXPECT_EQ(BobReads(c.text, plain), c.expected) << c.name;
    EXPECT_EQ(plain, kUntouched) << c.name;
    EXPECT_EQ(LooksLikeStrongMessage(c.text), c.expected != StrongStatus::kNotStrong) << c.name;
  }
}

// Messages sealed with the real key, so that the tag holds, over inner
// texts no writer produces: the checks after the tag must catch them.
TEST_F(StrongMessage, ChecksAfterTheTagRefuseWhatNoWriterProduces) {
  const std::vector<uint8_t> z = SharedZ(), header = HeaderToBob();
  auto withLength = [](std::vector<uint8_t> inner, uint32_t n) {
    for (int i = 0; i < 4; ++i) inner[i] = static_cast<uint8_t>(n >> (24 - 8 * i));
    return inner;
  };
  const std::vector<uint8_t> hello = ReferenceInnerText("hello");  // 32 bytes
  std::vector<uint8_t> lastPadByte = hello, firstPadByte = hello, extraBlock = hello;
  lastPadByte.back() = 1;
  firstPadByte[4 + 5] = 0x80;
  extraBlock.resize(64, 0);

  struct Case {
    const char* name;
    std::vector<uint8_t> inner;
    StrongStatus expected;
  } cases[] = {
      {"as written", hello, StrongStatus::kOk},
      {"empty, as written", ReferenceInnerText(""), StrongStatus::kOk},
      {"n one past the block", withLength(hello, 29), StrongStatus::kFailedCheck},
      {"n the whole block", withLength(hello, 32), StrongStatus::kFailedCheck},
      // 4 + n rounded up to 32 wraps to one block in a 32-bit size_t.
      {"n 2^32 - 1", withLength(hello, 0xFFFFFFFF), StrongStatus::kFailedCheck},
      {"n 2^32 - 3", withLength(hello, 0xFFFFFFFD), StrongStatus::kFailedCheck},
      {"last padding byte set", lastPadByte, StrongStatus::kFailedCheck},
      {"first padding byte set", firstPadByte, StrongStatus::kFailedCheck},
      {"a block of padding too many", extraBlock, StrongStatus::kFailedCheck},
      {"n shorter, message bytes as padding", withLength(hello, 4), StrongStatus::kFailedCheck},
  };
  for (const Case& c : cases) {
    std::string plain;
    EXPECT_EQ(BobReads(ReferenceSeal(z, header, c.inner), plain), c.expected) << c.name;
    if (c.expected != StrongStatus::kOk) {
      EXPECT_EQ(plain, kUntouched) << c.name;
    }
  }
  std::string plain;
  ASSERT_EQ(BobReads(ReferenceSeal(z, header, hello), plain), StrongStatus::kOk);
  EXPECT_EQ(plain, "hello");
  // The version is read before any key is used.
  EXPECT_EQ(BobReads(ReferenceSeal(z, HeaderToBob(3), hello), plain), StrongStatus::kMalformed);
}

TEST_F(StrongMessage, UnusableKeysAndOverlongTextsAreRefusedWithoutOutput) {
  std::string out = kUntouched;
  const PublicKeyRecord small = MakeRecord("small", SmallOrderPoint());
  EXPECT_EQ(EncryptStrongMessage("hi", alice_.secret, alice_.pub, small, out), StrongStatus::kNoUsableKey);
  EXPECT_EQ(out, kUntouched);
  uint8_t z[kStrongSecretBytes];
  EXPECT_FALSE(StrongSharedSecret(alice_.secret, small, z));
  EXPECT_EQ(Hex(z, sizeof z), std::string(2 * kStrongSecretBytes, '0'));

  // Refused before a byte of it is read.
  const char one = 'x';
  const std::string_view overlong(&one, kMaxStrongMessageBytes + 1);
  EXPECT_EQ(EncryptStrongMessage(overlong, alice_.secret, alice_.pub, bob_.pub, out), StrongStatus::kTooLong);
  EXPECT_EQ(out, kUntouched);
}

}  // namespace
