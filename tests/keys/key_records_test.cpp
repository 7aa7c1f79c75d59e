#include "keys/key_records.h"

#include <gtest/gtest.h>

#include <cstring>

#include "crypto/field.h"
#include "keys/key_check.h"
#include "tests/keys/test_keys.h"

namespace {

void ExpectWellFormedScalar(const uint16_t* s) {
  const int n = s[0];
  ASSERT_GE(n, 2);
  ASSERT_LE(n, kMaxScalarBits);
  EXPECT_EQ(s[n], 1);
  for (int i = 1; i <= kMaxScalarBits; ++i) {
    ASSERT_LE(s[i], 1) << "word " << i;
    if (i > n) {
      ASSERT_EQ(s[i], 0) << "word " << i << " above the bit count " << n;
    }
  }
}

TEST(GenerateKeyPair, GivesAScalarAndItsPublicPoint) {
  KeyPair a, b;
  MakeKeyPair(a, "alice");
  MakeKeyPair(b, "bob");
  ExpectWellFormedScalar(a.secret);
  ExpectWellFormedScalar(b.secret);
  EXPECT_NE(std::memcmp(a.secret, b.secret, sizeof a.secret), 0);

  CurvePoint expected;
  PointMultiply(a.secret, BasePoint, expected);
  EXPECT_TRUE(FieldEqual(a.pub.x, expected.x));
  EXPECT_TRUE(FieldEqual(a.pub.y, expected.y));
  EXPECT_TRUE(IsUsablePublicPoint(a.point));
  EXPECT_EQ(a.pub.spare, 0);
  EXPECT_STREQ(a.pub.userId, "alice");
  for (int i = 5; i < kUserIdBytes; ++i) EXPECT_EQ(a.pub.userId[i], 0);
}

TEST(GenerateKeyPair, EachSecretKeyOwnsItsPublicKeyOnly) {
  KeyPair a, b;
  MakeKeyPair(a, "alice");
  MakeKeyPair(b, "alice");
  EXPECT_TRUE(IsPublicKeyOf(a.secret, a.pub));
  EXPECT_FALSE(IsPublicKeyOf(a.secret, b.pub)) << "the same ID is not the same key";
  PublicKeyRecord renamed = a.pub;
  SetUserId(renamed, "someone else");
  EXPECT_TRUE(IsPublicKeyOf(a.secret, renamed)) << "only the point counts";
}

TEST(GenerateKeyPair, TopBitsAreUsedOverManyDraws) {
  // With 464 uniform bits, the bit count is 464 for half the draws and below
  // 458 for 1 in 64: both show up in 40 draws unless the range is wrong.
  int top = 0, lower = 0;
  for (int n = 0; n < 40; ++n) {
    uint16_t s[kScalarWords];
    PublicKeyRecord pub;
    ASSERT_TRUE(GenerateKeyPair(s, pub, "x"));
    top += s[0] == kMaxScalarBits;
    lower += s[0] < kMaxScalarBits;
  }
  EXPECT_GT(top, 5);
  EXPECT_GT(lower, 5);
}

TEST(GenerateKeyPair, WithoutAnIdListsTheKeyAsOwner) {
  uint16_t secret[kScalarWords];
  PublicKeyRecord own;
  ASSERT_TRUE(GenerateKeyPair(secret, own, nullptr));
  char id[kUserIdBytes + 1];
  GetUserId(own, id);
  EXPECT_STREQ(id, "Owner");
  CurvePoint p;
  PointMultiply(secret, BasePoint, p);
  EXPECT_TRUE(FieldEqual(own.x, p.x));
  EXPECT_EQ(own.spare, 0);
}

TEST(Scalar, OneAndZeroGiveTheBasePoint) {
  uint16_t k[kScalarWords] = {1, 1};
  CurvePoint p;
  PointMultiply(k, BasePoint, p);
  EXPECT_TRUE(FieldEqual(p.x, BasePoint.x) && FieldEqual(p.y, BasePoint.y));
  k[0] = 0;
  PointMultiply(k, BasePoint, p);
  EXPECT_TRUE(FieldEqual(p.x, BasePoint.x) && FieldEqual(p.y, BasePoint.y));
}

TEST(UserId, TwentyCharactersFillTheFieldWithoutTerminator) {
  PublicKeyRecord r;
  std::memset(&r, 0x55, sizeof r);
  SetUserId(r, "12345678901234567890");
  EXPECT_EQ(std::memcmp(r.userId, "12345678901234567890", 20), 0);
  EXPECT_EQ(r.x[0], 0x5555) << "the ID must not spill into x";
  char id[kUserIdBytes + 1];
  GetUserId(r, id);
  EXPECT_STREQ(id, "12345678901234567890");

  SetUserId(r, "123456789012345678901234");  // cut to 20
  GetUserId(r, id);
  EXPECT_STREQ(id, "12345678901234567890");

  SetUserId(r, "ab");
  EXPECT_EQ(std::memcmp(r.userId, "ab\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 20), 0);
}

}  // namespace
