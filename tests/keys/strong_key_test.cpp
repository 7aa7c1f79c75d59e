// Strong keys: the scalar's byte forms against a plain reference, the pair
// check, and the owner's strong key put into an old ring.
#include "keys/strong_key.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "keys/key_files.h"
#include "tests/keys/test_keys.h"

namespace {

// The value of a scalar record as double-and-add takes it (word n set, the
// words below it that are exactly 1), in 58 big-endian bytes, by plain
// shifting.
std::vector<uint8_t> PlainBytes(const uint16_t* s) {
  std::vector<uint8_t> out(58, 0);
  int n = s[0] == 0 ? 1 : (s[0] > 464 ? 464 : s[0]);
  for (int i = n; i >= 1; --i) {
    int carry = (i == n || s[i] == 1) ? 1 : 0;
    for (int b = 57; b >= 0; --b) {
      const int v = out[b] * 2 + carry;
      out[b] = static_cast<uint8_t>(v);
      carry = v >> 8;
    }
  }
  return out;
}

// Scalars biased towards the edges: short ones, words other than 0 and 1,
// bit counts of 0, 1, 464 and beyond.
TEST(StrongKeyScalars, BytesMatchAPlainReference) {
  const uint32_t seed = TestSeed();
  std::mt19937 rng(seed);
  for (int round = 0; round < 2000; ++round) {
    uint16_t s[kScalarWords] = {};
    const int n = round < 6 ? std::vector<int>{0, 1, 2, 463, 464, 465}[round] : static_cast<int>(rng() % 470);
    s[0] = static_cast<uint16_t>(n);
    for (int i = 1; i <= 464; ++i) s[i] = rng() % 16 == 0 ? static_cast<uint16_t>(rng()) : rng() % 2;
    uint8_t bytes[kScalarBytes];
    ScalarToBigEndian(s, bytes);
    ASSERT_EQ(std::vector<uint8_t>(bytes, bytes + kScalarBytes), PlainBytes(s)) << "round " << round;

    // Back again: the same value, as a clean record.
    uint16_t again[kScalarWords];
    ScalarFromBigEndian(bytes, kScalarBytes, again);
    uint8_t twice[kScalarBytes];
    ScalarToBigEndian(again, twice);
    ASSERT_EQ(std::vector<uint8_t>(twice, twice + kScalarBytes), PlainBytes(s));
    for (int i = 1; i <= 464; ++i) ASSERT_LE(again[i], 1);
    ASSERT_EQ(again[again[0]], 1);
  }
  uint8_t zero[kStrongScalarBytes] = {};
  uint16_t s[kScalarWords];
  ScalarFromBigEndian(zero, kStrongScalarBytes, s);
  EXPECT_EQ(s[0], 0) << "zero has no bits";
}

TEST(StrongKey, IsTheSameForOneSecretAndTellsPairsApart) {
  KeyPair a, b;
  MakeKeyPair(a);
  MakeKeyPair(b);
  StrongKey first, second, other;
  ASSERT_TRUE(StrongKeyOf(a.secret, first));
  ASSERT_TRUE(StrongKeyOf(a.secret, second));
  ASSERT_TRUE(StrongKeyOf(b.secret, other));
  EXPECT_TRUE(SameStrongKey(first, second));
  EXPECT_FALSE(SameStrongKey(first, other));
  EXPECT_TRUE(IsValidStrongKey(first, true));
  CurvePoint p2, p;
  StrongKeyPoint(first, p2);
  RecordPoint(a.pub, p);
  EXPECT_FALSE(FieldEqual(p.x, p2.x)) << "not the public point";

  EXPECT_TRUE(IsKeyPairOf(a.secret, a.pub, first));
  EXPECT_TRUE(IsKeyPairOf(a.secret, a.pub, kNoStrongKey));
  EXPECT_FALSE(IsKeyPairOf(a.secret, a.pub, other)) << "a stored strong key of another pair";
  EXPECT_FALSE(IsKeyPairOf(a.secret, b.pub, first));
}

TEST(StrongKey, TheOwnersStrongKeyGoesIntoAnOldRingOnce) {
  TestFolder folder("vwg-strong-key");
  const std::string ring = folder.File("public.vwg");
  KeyPair own, friend_;
  MakeKeyPair(own, "own");
  MakeKeyPair(friend_, "friend");
  const PublicKeyRecord records[2] = {own.pub, friend_.pub};
  ASSERT_EQ(SavePublicKeyFile(ring.c_str(), 2, records), KeyFileStatus::kOk);
  const std::string old = ReadBytes(ring);
  ASSERT_EQ(old.size(), 294u);

  bool added = false;
  ASSERT_EQ(AddOwnStrongKey(ring.c_str(), own.secret, &added), KeyFileStatus::kOk);
  EXPECT_TRUE(added);
  const std::string now = ReadBytes(ring);
  ASSERT_EQ(now.size(), 294u + 6 + 2 * 122);
  EXPECT_EQ(now.substr(0, 294), old) << "the entries as they were";
  PublicKeyRing loaded;
  ASSERT_EQ(LoadPublicKeyRing(ring.c_str(), loaded), KeyFileStatus::kOk);
  StrongKey expected;
  ASSERT_TRUE(StrongKeyOf(own.secret, expected));
  EXPECT_TRUE(SameStrongKey(loaded.strong[0], expected));
  EXPECT_FALSE(loaded.strong[1].present);

  ASSERT_EQ(AddOwnStrongKey(ring.c_str(), own.secret, &added), KeyFileStatus::kOk);
  EXPECT_FALSE(added);
  EXPECT_EQ(ReadBytes(ring), now);
}

}  // namespace
