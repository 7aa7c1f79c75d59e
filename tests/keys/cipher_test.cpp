#include "keys/formats/cipher.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "crypto/field.h"
#include "keys/key_check.h"
#include "keys/shared_element.h"
#include "tests/crypto/literal.h"
#include "tests/keys/test_keys.h"

namespace {

const char kBlockTail[] = "\x23\x22\x21\x61\x41";

class Cipher : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MakeKeyPair(alice_, "alice");
    MakeKeyPair(bob_, "bob");
  }
  static KeyPair alice_, bob_;
};
KeyPair Cipher::alice_, Cipher::bob_;

std::string RandomText(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

size_t Blocks(size_t n, size_t per) { return (n + per - 1) / per; }

TEST_F(Cipher, BothSidesShareTheElementAndKeysAreInverse) {
  uint16_t kAB[kElementWords], kBA[kElementWords];
  ASSERT_TRUE(SharedElement(alice_.secret, bob_.point, kAB));
  ASSERT_TRUE(SharedElement(bob_.secret, alice_.point, kBA));
  EXPECT_TRUE(FieldEqual(kAB, kBA));
  EXPECT_EQ(kAB[0], kFieldDegree);

  uint16_t send[kElementWords], receive[kElementWords], product[kTempWords];
  ASSERT_TRUE(DeriveMessageKey(alice_.secret, bob_.point, true, send));
  ASSERT_TRUE(DeriveMessageKey(bob_.secret, alice_.point, false, receive));
  EXPECT_TRUE(FieldEqual(send, kAB));
  FieldMul(send, receive, product);
  uint16_t one[kElementWords] = {kFieldDegree, 1};
  EXPECT_TRUE(FieldEqual(product, one));
}

TEST_F(Cipher, TextRoundTripsWithPaddingAtEveryTailLength) {
  std::mt19937 rng(TestSeed());
  for (size_t n : {0, 1, 2, 57, 58, 59, 73, 115, 116, 117, 1000}) {
    const std::string plain = RandomText(rng, n);
    std::string encrypted, decrypted;
    ASSERT_TRUE(EncryptText(plain, alice_.secret, bob_.point, encrypted));
    ASSERT_EQ(encrypted.size(), 72 * Blocks(n, 58)) << n;
    for (size_t j = 0; j < encrypted.size(); j += 72) {
      EXPECT_EQ(encrypted.substr(j + 67, 5), kBlockTail) << "block at " << j;
    }
    for (char c : encrypted) {
      ASSERT_GE(static_cast<uint8_t>(c), 0x21) << n;
      ASSERT_LE(static_cast<uint8_t>(c), 0xA0) << n;
    }
    ASSERT_TRUE(DecryptText(encrypted, bob_.secret, alice_.point, decrypted));
    std::string padded = plain;
    padded.resize(58 * Blocks(n, 58), ' ');
    EXPECT_EQ(decrypted, padded) << "length " << n;
  }
}

TEST_F(Cipher, WrongKeyGivesOtherBytesOfTheSameLength) {
  std::string encrypted, decrypted;
  ASSERT_TRUE(EncryptText("a message for bob", alice_.secret, bob_.point, encrypted));
  // Alice's own key pair instead of the shared one.
  ASSERT_TRUE(DecryptText(encrypted, alice_.secret, alice_.point, decrypted));
  EXPECT_EQ(decrypted.size(), 58u);
  EXPECT_NE(decrypted.substr(0, 17), "a message for bob");
}

TEST_F(Cipher, IncompleteLastBlockSpoilsOnlyItself) {
  const std::string plain(58, 'x');
  std::string encrypted, decrypted;
  ASSERT_TRUE(EncryptText(plain, alice_.secret, bob_.point, encrypted));
  ASSERT_TRUE(DecryptText(encrypted + "!", bob_.secret, alice_.point, decrypted));
  ASSERT_EQ(decrypted.size(), 116u);
  EXPECT_EQ(decrypted.substr(0, 58), plain);
  std::string empty;
  ASSERT_TRUE(DecryptText("", bob_.secret, alice_.point, empty));
  EXPECT_EQ(empty, "");
}

TEST_F(Cipher, BlockOperationsAreInverseForZeroAndRandomBlocks) {
  uint16_t send[kElementWords], receive[kElementWords];
  ASSERT_TRUE(DeriveMessageKey(alice_.secret, bob_.point, true, send));
  ASSERT_TRUE(DeriveMessageKey(bob_.secret, alice_.point, false, receive));
  std::mt19937 rng(TestSeed() + 1);
  for (int n = 0; n < 200; ++n) {
    uint8_t in[58] = {}, back[58];
    // The first block is all zeros, the next have zero or 0xFF runs.
    for (int i = 0; n > 0 && i < 58; ++i) {
      const uint32_t r = rng();
      in[i] = static_cast<uint8_t>(r % 4 == 0 ? 0 : r % 4 == 1 ? 0xFF : r >> 8);
    }
    char armoured[72];
    EncryptBlock(in, send, armoured);
    EXPECT_EQ(std::string(armoured + 67, 5), kBlockTail);
    DecryptBlock(armoured, receive, back);
    ASSERT_EQ(Hex(back, 58), Hex(in, 58)) << "block " << n;
  }
}

// Multiplying by t moves every coefficient one place up, and the top one,
// as t^29 = t^2 + 1, into t^0 and t^2. Coefficients are big-endian byte
// pairs, the constant term first.
TEST(BlockMultiply, ByOneAndByTFollowTheByteOrder) {
  uint8_t in[58], out[58];
  for (int i = 0; i < 58; ++i) in[i] = static_cast<uint8_t>(7 * i + 1);
  const uint16_t one[kElementWords] = {kFieldDegree, 1};
  BlockMultiply(in, one, out);
  EXPECT_EQ(Hex(out, 58), Hex(in, 58));

  const uint16_t t[kElementWords] = {kFieldDegree, 0, 1};
  BlockMultiply(in, t, out);
  uint8_t expected[58];
  std::memcpy(expected + 2, in, 56);
  expected[0] = in[56];
  expected[1] = in[57];
  expected[4] ^= in[56];
  expected[5] ^= in[57];
  EXPECT_EQ(Hex(out, 58), Hex(expected, 58));

  const std::string before = Hex(in, 58);
  BlockMultiply(in, one, in);  // in place
  EXPECT_EQ(Hex(in, 58), before);
}

// Points that must never be multiplied by our secret scalar, and a scalar
// that meets a genuine point at infinity: no key, and no text.
TEST_F(Cipher, UnusableKeysAreRefused) {
  const CurvePoint small = SmallOrderPoint();
  CurvePoint mixed;  // on the curve, order 2..65272 times r
  literal::PointAdd(small, BasePoint, mixed);
  CurvePoint offCurve = bob_.point;
  offCurve.y[5] ^= 1;
  CurvePoint shortX = bob_.point;
  shortX.x[0] = 28;
  CurvePoint zeroWithLength = bob_.point;
  std::memset(zeroWithLength.x + 1, 0, 29 * sizeof(uint16_t));
  CurvePoint infinity;
  SetPointAtInfinity(infinity);

  struct Case {
    const char* name;
    CurvePoint point;
  } cases[] = {{"small order", small},       {"not in the base point's group", mixed},
               {"off the curve", offCurve},  {"short length word", shortX},
               {"zero x, length 29", zeroWithLength}, {"order 2", OrderTwoPoint()},
               {"infinity", infinity}};
  for (const Case& c : cases) {
    uint16_t key[kElementWords];
    std::string out = "untouched";
    EXPECT_FALSE(DeriveMessageKey(alice_.secret, c.point, true, key)) << c.name;
    EXPECT_FALSE(EncryptText("text", alice_.secret, c.point, out)) << c.name;
    EXPECT_EQ(out, "") << c.name;
    EXPECT_FALSE(DecryptText("text", alice_.secret, c.point, out)) << c.name;
  }
  // The small-order points are on the curve: only the order check stops them.
  EXPECT_TRUE(IsValidPublicPoint(small));
  EXPECT_TRUE(IsValidPublicPoint(mixed));
  EXPECT_FALSE(IsUsablePublicPoint(small));
  EXPECT_FALSE(IsUsablePublicPoint(mixed));
  EXPECT_TRUE(IsUsablePublicPoint(BasePoint));
  EXPECT_TRUE(IsUsablePublicPoint(bob_.point));

  // A scalar equal to the group order takes a genuine key to infinity.
  uint16_t key[kElementWords];
  std::string out;
  EXPECT_FALSE(DeriveMessageKey(BasePointOrder.data(), bob_.point, false, key));
  EXPECT_FALSE(EncryptText("text", BasePointOrder.data(), bob_.point, out));
  EXPECT_FALSE(DecryptText("text", BasePointOrder.data(), bob_.point, out));
}

}  // namespace
