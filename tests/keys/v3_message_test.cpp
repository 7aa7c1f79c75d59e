// ?VW3: messages between random key pairs: round trips, every kind of
// refusal (a refusal writes nothing), points that are not an ephemeral key,
// and what the old block format gives away, which must open and forge
// nothing here.
#include "keys/formats/v3_message.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "keys/formats/armour.h"
#include "keys/formats/cipher.h"
#include "keys/formats/strong_armour.h"
#include "keys/shared_element.h"
#include "tests/keys/hex_bytes.h"
#include "tests/keys/strong_reference.h"
#include "tests/keys/test_keys.h"

namespace {

constexpr char kUntouched[] = "untouched";
constexpr uint64_t kNow = 1796000000;

struct StrongPair {
  KeyPair keys;
  StrongKey strong;
  uint16_t strongScalar[kScalarWords];
};

void MakeStrongPair(StrongPair& p, const char* id) {
  MakeKeyPair(p.keys, id);
  ASSERT_TRUE(StrongKeyOf(p.keys.secret, p.strong));
  ASSERT_TRUE(DeriveStrongScalar(p.keys.secret, p.strongScalar));
}

std::vector<uint8_t> StrongIdOf(const StrongKey& key) {
  std::vector<uint8_t> id(kKeyIdBytes);
  EXPECT_TRUE(StrongKeyId(key, id.data()));
  return id;
}

std::vector<uint8_t> PointBytesOf(const uint16_t* x, const uint16_t* y) {
  std::vector<uint8_t> bytes(kPointBytes);
  PointBytes(x, y, bytes.data());
  return bytes;
}

// k * p for a small k.
CurvePoint Times(const CurvePoint& p, uint16_t k) {
  uint16_t scalar[kScalarWords] = {};
  IntToBits(k, scalar, 16);
  for (int i = 16; i >= 1; --i) {
    if (scalar[i]) {
      scalar[0] = static_cast<uint16_t>(i);
      break;
    }
  }
  CurvePoint q;
  PointMultiply(scalar, p, q);
  return q;
}

// Characters of the text form: the prefix, Base64 and the final '.'.
size_t ExpectedChars(size_t n) {
  const size_t inner = (12 + n + 31) / 32 * 32;
  return 5 + (133 + inner + 16 + 2) / 3 * 4 + 1;
}

class V3Message : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MakeStrongPair(alice_, "alice");
    MakeStrongPair(bob_, "bob");
    MakeStrongPair(carol_, "carol");
  }

  static std::string FromAlice(std::string_view message, const StrongPair& to = bob_) {
    std::string text;
    EXPECT_EQ(EncryptV3Message(message, kNow, alice_.keys.secret, alice_.strong, to.strong, text), StrongStatus::kOk);
    return text;
  }

  // Bob reads text with the strong keys of his ring; plain is "untouched"
  // unless it opened.
  static StrongStatus BobReads(std::string_view text, std::vector<StrongKey> ring, std::string& plain,
                               V3Parties& parties, int expectedSender = -1) {
    plain = kUntouched;
    return DecryptV3Message(text, bob_.keys.secret, bob_.strong, ring.data(), static_cast<int>(ring.size()),
                            expectedSender, plain, parties);
  }
  static StrongStatus BobReads(std::string_view text, std::string& plain) {
    V3Parties parties;
    return BobReads(text, {bob_.strong, carol_.strong, alice_.strong}, plain, parties);
  }

  // A header from Alice to Bob with the given E (point bytes) and version.
  static std::vector<uint8_t> HeaderToBob(const std::vector<uint8_t>& e, uint8_t version = 3) {
    std::vector<uint8_t> h = {version};
    for (const StrongKey* key : {&alice_.strong, &bob_.strong}) {
      const std::vector<uint8_t> id = StrongIdOf(*key);
      h.insert(h.end(), id.begin(), id.end());
    }
    h.insert(h.end(), e.begin(), e.end());
    return h;
  }

  // What Alice's reference writer sends Bob for inner under an ephemeral
  // scalar e: es and ss as the definition has them.
  static std::string ReferenceFromAlice(const uint16_t* e, const std::vector<uint8_t>& inner, uint8_t version = 3) {
    CurvePoint point, r;
    PointMultiply(e, BasePoint, point);
    StrongKeyPoint(bob_.strong, r);
    std::vector<uint8_t> ikm(2 * kV3SecretBytes);
    EXPECT_TRUE(SharedX(e, r, ikm.data()));
    EXPECT_TRUE(SharedX(alice_.strongScalar, r, ikm.data() + kV3SecretBytes));
    return ReferenceV3Seal(ikm, HeaderToBob(PointBytesOf(point.x, point.y), version),
                           PointBytesOf(alice_.strong.x, alice_.strong.y), PointBytesOf(bob_.strong.x, bob_.strong.y),
                           inner);
  }

  static StrongPair alice_, bob_, carol_;
};
StrongPair V3Message::alice_, V3Message::bob_, V3Message::carol_;

TEST_F(V3Message, RandomTextsRoundTripAtEveryPaddingBoundary) {
  std::mt19937 rng(TestSeed());
  for (size_t n : {0, 1, 19, 20, 21, 51, 52, 53, 255, 1000, 4096 + 5}) {
    const std::string message = RandomMessage(rng, n);
    const std::string text = FromAlice(message);
    ASSERT_EQ(text.size(), ExpectedChars(n)) << n;
    EXPECT_EQ(text.compare(0, 5, "?VW3:"), 0);
    EXPECT_EQ(text.back(), '.');
    for (char c : text.substr(5, text.size() - 6))
      ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=') << text;
    std::string plain;
    V3Parties parties;
    ASSERT_EQ(BobReads(text, {bob_.strong, carol_.strong, alice_.strong}, plain, parties), StrongStatus::kOk) << n;
    EXPECT_EQ(plain, message) << n;
    EXPECT_EQ(parties.senderIndex, 2);
    EXPECT_EQ(parties.written, kNow);
    EXPECT_EQ(Hex(parties.senderId, 8), Hex(StrongIdOf(alice_.strong).data(), 8));
  }
}

TEST_F(V3Message, OneMebibyteRoundTrips) {
  std::mt19937 rng(TestSeed() + 1);
  const std::string message = RandomMessage(rng, 1 << 20);
  std::string plain;
  ASSERT_EQ(BobReads(FromAlice(message), plain), StrongStatus::kOk);
  EXPECT_TRUE(plain == message);
}

TEST_F(V3Message, EveryMessageHasItsOwnEphemeralKey) {
  const std::string first = FromAlice("same text"), second = FromAlice("same text");
  EXPECT_NE(first, second);
  // The version and both IDs, the first 17 bytes, are the same: 22 whole
  // Base64 characters after the prefix.
  EXPECT_EQ(first.substr(0, 5 + 22), second.substr(0, 5 + 22));
  EXPECT_NE(first.substr(5 + 23, 100), second.substr(5 + 23, 100));
}

TEST_F(V3Message, AMessageToOneselfOpensWithRingEntryZero) {
  std::string text, plain = kUntouched;
  ASSERT_EQ(EncryptV3Message("note", kNow, alice_.keys.secret, alice_.strong, alice_.strong, text), StrongStatus::kOk);
  const StrongKey ring[] = {alice_.strong, bob_.strong};
  V3Parties parties;
  ASSERT_EQ(DecryptV3Message(text, alice_.keys.secret, alice_.strong, ring, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, "note");
  EXPECT_EQ(parties.senderIndex, 0);
}

// No changed character opens, and none writes (ForEachChangedCharacter).
TEST_F(V3Message, EveryChangedCharacterIsRefused) {
  ForEachChangedCharacter(FromAlice("short"), [&](const std::string& changed, size_t at, char to) {
    std::string plain;
    EXPECT_NE(BobReads(changed, plain), StrongStatus::kOk) << "position " << at << " to " << to;
    EXPECT_EQ(plain, kUntouched);
  });
}

TEST_F(V3Message, TheRecipientAndSenderAreNamedByTheirStrongKeyIds) {
  std::string plain, text;
  V3Parties parties;
  ASSERT_EQ(EncryptV3Message("hi", kNow, alice_.keys.secret, alice_.strong, carol_.strong, text), StrongStatus::kOk);
  EXPECT_EQ(BobReads(text, {bob_.strong, alice_.strong, carol_.strong}, plain, parties), StrongStatus::kNotForThisKey);
  EXPECT_EQ(Hex(parties.recipientId, 8), Hex(StrongIdOf(carol_.strong).data(), 8));
  EXPECT_EQ(Hex(parties.senderId, 8), Hex(StrongIdOf(alice_.strong).data(), 8));

  text = FromAlice("hi");
  // Alice's entry without a strong key (an older key file of hers) does not
  // name her.
  EXPECT_EQ(BobReads(text, {bob_.strong, carol_.strong, kNoStrongKey}, plain, parties), StrongStatus::kUnknownSender);
  EXPECT_EQ(Hex(parties.senderId, 8), Hex(StrongIdOf(alice_.strong).data(), 8));
  EXPECT_EQ(plain, kUntouched);

  EXPECT_EQ(BobReads(text, {bob_.strong, carol_.strong, alice_.strong}, plain, parties, 2), StrongStatus::kOk);
  EXPECT_EQ(parties.senderIndex, 2);
  EXPECT_EQ(BobReads(text, {bob_.strong, carol_.strong, alice_.strong}, plain, parties, 1), StrongStatus::kOtherSender);
  EXPECT_EQ(plain, kUntouched);

  // Alice's strong key twice, the first copy damaged off its group: the
  // second opens.
  StrongKey damaged = alice_.strong;
  CurvePoint small = SmallOrderPoint();
  std::memcpy(damaged.x, small.x, sizeof damaged.x);
  std::memcpy(damaged.y, small.y, sizeof damaged.y);
  EXPECT_EQ(BobReads(text, {bob_.strong, alice_.strong}, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(BobReads(text, {bob_.strong, damaged}, plain, parties), StrongStatus::kUnknownSender)
      << "the ID is over the point, so a changed point is another key";
}

TEST_F(V3Message, ARecipientWithoutAUsableStrongKeyIsRefused) {
  std::string out = kUntouched;
  StrongKey small = StrongKeyAt(SmallOrderPoint());
  for (const StrongKey& recipient : {kNoStrongKey, small}) {
    EXPECT_EQ(EncryptV3Message("hi", kNow, alice_.keys.secret, alice_.strong, recipient, out),
              StrongStatus::kNoUsableKey);
    EXPECT_EQ(out, kUntouched);
  }
}

// Points of each order of the curve's small subgroup (65272 = 8 * 41 * 199)
// that a forger could put in E, (0, 0), a point off the curve and the point
// of order 2: all refused before any product with our strong scalar is used.
TEST_F(V3Message, EphemeralPointsOutsideTheGroupAreRefused) {
  // A generator of the small subgroup: no point of its order's proper
  // divisors 65272 / 2, / 41, / 199 is O.
  auto generates = [](const CurvePoint& p) {
    for (uint16_t k : {65272 / 2, 65272 / 41, 65272 / 199})
      if (IsPointAtInfinityVar(Times(p, k))) return false;
    return true;
  };
  CurvePoint small = SmallOrderPoint();
  while (!generates(small)) small = SmallOrderPoint(small.x[1] + 1u);
  auto multiple = [&](uint16_t k) { return Times(small, k); };
  // Points of orders 8159, 32636, 2 and 65272.
  std::vector<CurvePoint> points = {multiple(8), multiple(2), OrderTwoPoint(), small};
  CurvePoint zero = {};
  CurvePoint off = small;
  off.y[3] ^= 1;
  off.y[0] = kFieldDegree;
  points.push_back(zero);
  points.push_back(off);
  const std::vector<uint8_t> inner = ReferenceV3InnerText(kNow, "forged");
  for (size_t k = 0; k < points.size(); ++k) {
    const CurvePoint& p = points[k];
    CurvePoint read;
    EXPECT_FALSE(ReadEphemeralPoint(PointBytesOf(p.x, p.y).data(), read)) << "point " << k;
    // A message whose header carries it, sealed under Alice's genuine ss.
    CurvePoint r;
    StrongKeyPoint(bob_.strong, r);
    std::vector<uint8_t> ikm(2 * kV3SecretBytes, 0);
    ASSERT_TRUE(SharedX(alice_.strongScalar, r, ikm.data() + kV3SecretBytes));
    const std::string text = ReferenceV3Seal(ikm, HeaderToBob(PointBytesOf(p.x, p.y)),
                                             PointBytesOf(alice_.strong.x, alice_.strong.y),
                                             PointBytesOf(bob_.strong.x, bob_.strong.y), inner);
    std::string plain;
    EXPECT_EQ(BobReads(text, plain), StrongStatus::kFailedCheck) << "point " << k;
    EXPECT_EQ(plain, kUntouched);
  }
  // The orders themselves, so that the cases above are the ones named:
  // 8159 * P = O for the first, and neither 41 * P nor 199 * P is.
  auto times = [](const CurvePoint& p, uint16_t k) { return IsPointAtInfinityVar(Times(p, k)); };
  EXPECT_TRUE(times(points[0], 8159));
  EXPECT_FALSE(times(points[0], 41));
  EXPECT_FALSE(times(points[0], 199));
  EXPECT_TRUE(times(points[1], 32636));
  EXPECT_FALSE(times(points[1], 8159));
}

// Messages that only a broken writer makes, with a valid tag: a wrong
// length field, bytes in the padding, one block of padding too many, a
// version other than 3. Base64 that is not canonical, and a message whose
// H names Bob but is a byte short.
TEST_F(V3Message, NonCanonicalMessagesAreRefused) {
  uint16_t e[kScalarWords];
  KeyPair ephemeral;
  MakeKeyPair(ephemeral);
  std::memcpy(e, ephemeral.secret, sizeof e);
  std::string plain;
  ASSERT_EQ(BobReads(ReferenceFromAlice(e, ReferenceV3InnerText(kNow, "fine")), plain), StrongStatus::kOk)
      << "the reference writer is right";
  ASSERT_EQ(plain, "fine");

  std::vector<uint8_t> longer = ReferenceV3InnerText(kNow, "fine");
  longer[11] = 21;  // 12 + 21 bytes would take two blocks
  std::vector<uint8_t> padded = ReferenceV3InnerText(kNow, "fine");
  padded.back() = 1;
  std::vector<uint8_t> extraBlock = ReferenceV3InnerText(kNow, "fine");
  extraBlock.resize(extraBlock.size() + 32, 0);
  std::vector<uint8_t> huge = ReferenceV3InnerText(kNow, "fine");
  huge[8] = 0xFF;
  for (const auto& inner : {longer, padded, extraBlock, huge}) {
    EXPECT_EQ(BobReads(ReferenceFromAlice(e, inner), plain), StrongStatus::kFailedCheck);
    EXPECT_EQ(plain, kUntouched);
  }
  EXPECT_EQ(BobReads(ReferenceFromAlice(e, ReferenceV3InnerText(kNow, "fine"), 2), plain), StrongStatus::kMalformed);

  // The last Base64 character of a message whose size leaves 2 bytes in its
  // last group carries 2 bits that the padding drops.
  const std::string text = FromAlice("x");
  ASSERT_EQ(text[text.size() - 2], '=');
  std::string loose = text;
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  const size_t last = text.find_last_not_of("=.");
  loose[last] = alphabet[alphabet.find(text[last]) ^ 1];
  EXPECT_EQ(BobReads(loose, plain), StrongStatus::kMalformed);
  EXPECT_EQ(BobReads(text.substr(0, text.size() - 1), plain), StrongStatus::kMalformed) << "no final '.'";
  EXPECT_EQ(BobReads("?VW2" + text.substr(4), plain), StrongStatus::kNotStrong);
}

// The attack that broke ?VW2:. One old-format "hi" from Alice to Bob gives
// k = C / M, the pair's shared element and ?VW2:'s Z. Used as es, as ss or
// as both, k neither opens Alice's ?VW3: message nor makes one that Bob
// accepts as hers.
TEST_F(V3Message, TheOldFormatsSharedElementOpensAndForgesNothing) {
  CurvePoint bobPoint;
  RecordPoint(bob_.keys.pub, bobPoint);
  std::string block;
  ASSERT_TRUE(EncryptText("hi", alice_.keys.secret, bobPoint, block));
  ASSERT_EQ(block.size(), 72u);
  // C and M as field elements, and k = C * M^-1.
  std::string known = "hi";
  known.resize(58, ' ');
  auto element = [](const uint8_t* bytes, uint16_t* e) {
    e[0] = kFieldDegree;
    for (int i = 1; i <= kFieldDegree; ++i) e[i] = static_cast<uint16_t>(bytes[2 * (i - 1)] << 8 | bytes[2 * i - 1]);
  };
  uint8_t decoded[63];
  for (int g = 0; g < 9; ++g) ArmourDecodeGroup(block.data() + 8 * g, decoded + 7 * g);
  uint16_t c[kTempWords] = {}, m[kTempWords] = {}, mInverse[kTempWords] = {}, k[kTempWords] = {};
  element(decoded, c);
  element(reinterpret_cast<const uint8_t*>(known.data()), m);
  FieldInverse(m, mInverse);
  FieldMul(c, mInverse, k);
  uint16_t shared[kTempWords] = {};
  CurvePoint alicePoint;
  RecordPoint(alice_.keys.pub, alicePoint);
  ASSERT_TRUE(SharedElement(bob_.keys.secret, alicePoint, shared));
  ASSERT_TRUE(FieldEqual(k, shared)) << "the old format gives k away";

  uint8_t kBytes[kV3SecretBytes];
  for (int i = 1; i <= kFieldDegree; ++i) {
    kBytes[2 * (i - 1)] = static_cast<uint8_t>(k[i] >> 8);
    kBytes[2 * i - 1] = static_cast<uint8_t>(k[i]);
  }
  const std::vector<uint8_t> kk(kBytes, kBytes + kV3SecretBytes), zeros(kV3SecretBytes, 0);
  auto joined = [](const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    std::vector<uint8_t> j = a;
    j.insert(j.end(), b.begin(), b.end());
    return j;
  };
  const std::vector<std::vector<uint8_t>> guesses = {joined(kk, kk), joined(kk, zeros), joined(zeros, kk)};
  const std::vector<uint8_t> alicePointBytes = PointBytesOf(alice_.strong.x, alice_.strong.y);
  const std::vector<uint8_t> bobPointBytes = PointBytesOf(bob_.strong.x, bob_.strong.y);

  // Opening: Alice's genuine message does not open under any guess.
  std::vector<uint8_t> bytes;
  ASSERT_EQ(ReadV3Armour(FromAlice("meet at noon"), bytes), StrongStatus::kOk);
  for (const auto& guess : guesses) {
    std::string plain = kUntouched;
    uint64_t written = 0;
    EXPECT_EQ(OpenV3Message(guess.data(), alicePointBytes.data(), bobPointBytes.data(), bytes, plain, &written),
              StrongStatus::kFailedCheck);
    EXPECT_EQ(plain, kUntouched);
  }

  // Forging: a message "from Alice" sealed under each guess, with a genuine
  // ephemeral point whose es the forger knows, is refused by Bob.
  KeyPair forger;
  MakeKeyPair(forger);
  CurvePoint e, r;
  PointMultiply(forger.secret, BasePoint, e);
  StrongKeyPoint(bob_.strong, r);
  uint8_t es[kV3SecretBytes];
  ASSERT_TRUE(SharedX(forger.secret, r, es));
  const std::vector<uint8_t> knownEs(es, es + kV3SecretBytes);
  std::vector<std::vector<uint8_t>> forgeries = guesses;
  forgeries.push_back(joined(knownEs, kk));
  const std::vector<uint8_t> header = HeaderToBob(PointBytesOf(e.x, e.y));
  for (const auto& ikm : forgeries) {
    const std::string text =
        ReferenceV3Seal(ikm, header, alicePointBytes, bobPointBytes, ReferenceV3InnerText(kNow, "send money"));
    std::string plain;
    EXPECT_EQ(BobReads(text, plain), StrongStatus::kFailedCheck);
    EXPECT_EQ(plain, kUntouched);
  }
}

TEST(V3Time, TextAndWindow) {
  EXPECT_EQ(UtcTimeText(0), "1970-01-01 00:00");
  EXPECT_EQ(UtcTimeText(951782400), "2000-02-29 00:00");  // a leap day of a year divisible by 400
  EXPECT_EQ(UtcTimeText(4107542399), "2100-02-28 23:59");  // 2100 is no leap year
  EXPECT_EQ(UtcTimeText(4107542400), "2100-03-01 00:00");
  EXPECT_FALSE(UtcTimeText(UINT64_MAX).empty());
  EXPECT_FALSE(IsOutOfTime(kNow, kNow));
  EXPECT_FALSE(IsOutOfTime(kNow, kNow + 24 * 3600));
  EXPECT_TRUE(IsOutOfTime(kNow, kNow + 24 * 3600 + 1));
  EXPECT_FALSE(IsOutOfTime(kNow + 600, kNow));
  EXPECT_TRUE(IsOutOfTime(kNow + 601, kNow));
  EXPECT_TRUE(IsOutOfTime(UINT64_MAX, kNow));
}

}  // namespace
