// The strong format's known answer: two fixed key pairs, their IDs, their
// shared secret and one message, in our code and, piece by piece, without it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/formats/strong_message.h"
#include "tests/crypto/literal.h"
#include "tests/keys/hex_bytes.h"
#include "tests/keys/strong_reference.h"
#include "tests/keys/test_keys.h"

namespace {

constexpr char kIdA[] = "D016ACD7AFACF6A0";
constexpr char kIdB[] = "7D0BF1AD418334B9";
constexpr char kZ[] =
    "1a5c6bec0eb1c57cb6c290c0c434bb38fb47e67114c213395fff2a5688e1b0b47d7841ac517ede9f0b5a261c3da0b0e006b3"
    "7aaf781b0c2eab00";
constexpr char kSalt[] = "000102030405060708090a0b0c0d0e0f";
constexpr char kText[] =
    "?VW2:AtAWrNevrPagfQvxrUGDNLkAAQIDBAUGBwgJCgsMDQ4PreOPuHtzHzpV4je+8YjvOQ5CMAOs432N/zpMcizew749teCOqSyjcT+"
    "dZYXIVFr+.";

std::string IdText(const PublicKeyRecord& key) {
  uint8_t id[kKeyIdBytes];
  EXPECT_TRUE(KeyId(key, id));
  char text[kKeyIdChars + 1];
  KeyIdText(id, text);
  return text;
}

// The first 16 digits of the fingerprint, which is itself checked against
// the openssl command.
std::string FingerprintDigits(const PublicKeyRecord& key) {
  char fingerprint[kFingerprintChars + 1];
  EXPECT_TRUE(KeyFingerprint(key, kNoStrongKey, fingerprint));
  std::string digits(fingerprint, 19);
  digits.erase(std::remove(digits.begin(), digits.end(), ' '), digits.end());
  return digits;
}

class StrongVector : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ScalarFromHex(kSecretA, a_);
    ScalarFromHex(kSecretB, b_);
    CurvePoint p;
    PointMultiply(a_, BasePoint, p);
    alice_ = MakeRecord("alice", p);
    PointMultiply(b_, BasePoint, p);
    bob_ = MakeRecord("bob", p);
  }
  static uint16_t a_[kScalarWords], b_[kScalarWords];
  static PublicKeyRecord alice_, bob_;
};
uint16_t StrongVector::a_[kScalarWords], StrongVector::b_[kScalarWords];
PublicKeyRecord StrongVector::alice_, StrongVector::bob_;

TEST_F(StrongVector, KeyIdsAndSharedSecretFromBothSides) {
  EXPECT_EQ(IdText(alice_), kIdA);
  EXPECT_EQ(IdText(bob_), kIdB);
  uint8_t z[kStrongSecretBytes];
  ASSERT_TRUE(StrongSharedSecret(a_, bob_, z));
  EXPECT_EQ(Hex(z, sizeof z), kZ);
  ASSERT_TRUE(StrongSharedSecret(b_, alice_, z));
  EXPECT_EQ(Hex(z, sizeof z), kZ);
}

TEST_F(StrongVector, EncryptsAndDecryptsTheKnownText) {
  const std::vector<uint8_t> salt = FromHex(kSalt);
  std::string text;
  ASSERT_EQ(EncryptStrongMessageWithSalt(KnownAnswerMessage(), a_, alice_, bob_, salt.data(), text), StrongStatus::kOk);
  EXPECT_EQ(text, kText);

  const PublicKeyRecord ring[] = {bob_, alice_};
  std::string plain;
  StrongParties parties;
  ASSERT_EQ(DecryptStrongMessage(kText, b_, bob_, ring, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, KnownAnswerMessage());
  EXPECT_EQ(parties.senderIndex, 1);
  EXPECT_EQ(Hex(parties.senderId, kKeyIdBytes), Hex(FromHex(kIdA).data(), kKeyIdBytes));
  EXPECT_EQ(Hex(parties.recipientId, kKeyIdBytes), Hex(FromHex(kIdB).data(), kKeyIdBytes));
}

// The public points and Z by the first-written double-and-add, the IDs as
// the fingerprint's first digits, and the text by the reference writer.
TEST_F(StrongVector, PiecesHoldWithoutTheStrongCode) {
  CurvePoint pointA, pointB, shared;
  literal::PointMultiply(a_, BasePoint, pointA);
  literal::PointMultiply(b_, BasePoint, pointB);
  literal::PointMultiply(a_, pointB, shared);
  ASSERT_NE(shared.x[0], 0);  // x is the secret unless it is zero
  std::vector<uint8_t> z;
  for (int i = 1; i <= kFieldDegree; ++i) {
    z.push_back(static_cast<uint8_t>(shared.x[i] >> 8));
    z.push_back(static_cast<uint8_t>(shared.x[i]));
  }
  EXPECT_EQ(Hex(z.data(), z.size()), kZ);

  EXPECT_EQ(FingerprintDigits(MakeRecord("a", pointA)), kIdA);
  EXPECT_EQ(FingerprintDigits(MakeRecord("b", pointB)), kIdB);

  const std::vector<uint8_t> header = ReferenceHeader(2, FromHex(kIdA), FromHex(kIdB), FromHex(kSalt));
  EXPECT_EQ(ReferenceSeal(z, header, ReferenceInnerText(KnownAnswerMessage())), kText);
}

TEST(KeyId, IsTheFingerprintsFirstSixteenDigits) {
  for (int round = 0; round < 8; ++round) {
    KeyPair k;
    MakeKeyPair(k, "friend");
    EXPECT_EQ(IdText(k.pub), FingerprintDigits(k.pub));
  }
}

}  // namespace
