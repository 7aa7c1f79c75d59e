// The strong keys' and ?VW3: messages' known answers, as they were handed
// to us: two fixed secret scalars, their strong scalars and IDs, an export,
// and one message with a fixed ephemeral scalar and time. Each is checked
// through our code, and the pieces again without the strong-key code: the
// first-written double-and-add and the system's HKDF, hash and cipher.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/formats/key_format.h"
#include "keys/formats/v3_message.h"
#include "keys/strong_key.h"
#include "keys/system/hkdf.h"
#include "keys/system/sha256.h"
#include "tests/crypto/literal.h"
#include "tests/keys/hex_bytes.h"
#include "tests/keys/strong_reference.h"
#include "tests/keys/test_keys.h"

namespace {

constexpr char kStrongScalarA[] =
    "f289bebdb1933eec2f400a29cbbf121fe984bdb10e12cfe40a45c4b2934f9a1ff4a716a60d3ca7f3def26b26481c8f18a0436ff3"
    "20953233";
constexpr char kStrongIdA[] = "C8F5BF6CD7737389";
constexpr char kStrongIdB[] = "F754196A8EB112EC";
constexpr char kFingerprintA[] = "C8F5 BF6C D773 7389 FE39 43CE 74FD 94DD";
constexpr char kExportSha256[] = "07183baabd3d767f93d57ea1ce696fe0dc1b62ee21ead54c742af3a96b9ce8d0";
constexpr char kEphemeral[] =
    "30f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a690f1e2d3c4b5a6978";
constexpr uint64_t kTime = 1796000000;
constexpr char kText[] =
    "?VW3:A8j1v2zXc3OJ91QZao6xEuwwf6SWWm60L8hlt2eG5L57Hdl2IqSp+QDLS3qzkHKw0T7EG+zTW8ODg5s9u/NQTWOPyNkfk/d3Bth"
    "AF5tXrJ+D9g6rBSae3AmA82EDr1fvij6AXnwii/qf2r8x2Y8CNsbYlFfv5CXlB1wnxpKaM3tuUtfSaFo29/JHs7GG04FImDy0r810"
    "MhfBCT6U3MOlmiYvUtjPC7QxklrAEhgpUp++lPp+V+LyJeWj2ox9CjhxMc+I9ofAd6jSE9Ia1wuOdz3wsgWp.";

std::string IdText(const StrongKey& key) {
  uint8_t id[kKeyIdBytes];
  EXPECT_TRUE(StrongKeyId(key, id));
  char text[kKeyIdChars + 1];
  KeyIdText(id, text);
  return text;
}

std::vector<uint8_t> XBytes(const CurvePoint& p) {
  std::vector<uint8_t> x;
  for (int i = 1; i <= kFieldDegree; ++i) {
    x.push_back(static_cast<uint8_t>(p.x[i] >> 8));
    x.push_back(static_cast<uint8_t>(p.x[i]));
  }
  return x;
}

std::vector<uint8_t> PointBytesOf(const CurvePoint& p) {
  std::vector<uint8_t> bytes(kPointBytes);
  PointBytes(p.x, p.y, bytes.data());
  return bytes;
}

class V3Vector : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ScalarFromHex(kSecretA, a_);
    ScalarFromHex(kSecretB, b_);
    ScalarFromHex(kEphemeral, e_);
    ASSERT_TRUE(StrongKeyOf(a_, strongA_));
    ASSERT_TRUE(StrongKeyOf(b_, strongB_));
  }
  static uint16_t a_[kScalarWords], b_[kScalarWords], e_[kScalarWords];
  static StrongKey strongA_, strongB_;
};
uint16_t V3Vector::a_[kScalarWords], V3Vector::b_[kScalarWords], V3Vector::e_[kScalarWords];
StrongKey V3Vector::strongA_, V3Vector::strongB_;

TEST_F(V3Vector, StrongScalarIdsAndFingerprint) {
  uint16_t strong[kScalarWords], expected[kScalarWords];
  ASSERT_TRUE(DeriveStrongScalar(a_, strong));
  ScalarFromHex(kStrongScalarA, expected);
  EXPECT_EQ(Hex(strong, sizeof strong), Hex(expected, sizeof expected));
  EXPECT_EQ(IdText(strongA_), kStrongIdA);
  EXPECT_EQ(IdText(strongB_), kStrongIdB);

  CurvePoint pointA;
  PointMultiply(a_, BasePoint, pointA);
  const PublicKeyRecord alice = MakeRecord("alice", pointA);
  char fingerprint[kFingerprintChars + 1];
  ASSERT_TRUE(KeyFingerprint(alice, strongA_, fingerprint));
  EXPECT_STREQ(fingerprint, kFingerprintA);
  uint8_t id[kKeyIdBytes];
  ASSERT_TRUE(RingKeyId(alice, strongA_, id));
  EXPECT_EQ(Hex(id, kKeyIdBytes), Hex(FromHex(kStrongIdA).data(), kKeyIdBytes));
  ASSERT_TRUE(RingKeyId(alice, kNoStrongKey, id));
  uint8_t pointId[kKeyIdBytes];
  ASSERT_TRUE(KeyId(alice, pointId));
  EXPECT_EQ(Hex(id, kKeyIdBytes), Hex(pointId, kKeyIdBytes)) << "a key without a strong key keeps its ID";
}

// The strong scalar and key again from the definition: HKDF of the secret's
// 58 big-endian bytes, and the first-written double-and-add.
TEST_F(V3Vector, StrongKeyFromItsDefinition) {
  const std::vector<uint8_t> ikm = FromHex(kSecretA);
  ASSERT_EQ(ikm.size(), 58u);
  const std::string info = "Vaultwing strong key";
  uint8_t okm[56];
  ASSERT_EQ(Hkdf(nullptr, 0, ikm.data(), ikm.size(), reinterpret_cast<const uint8_t*>(info.data()), info.size(),
                 okm, sizeof okm),
            1);
  EXPECT_EQ(Hex(okm, sizeof okm), kStrongScalarA);
  uint16_t s2[kScalarWords];
  ScalarFromHex(kStrongScalarA, s2);
  CurvePoint p;
  literal::PointMultiply(s2, BasePoint, p);
  const StrongKey defined = StrongKeyAt(p);
  EXPECT_EQ(Hex(&defined, sizeof defined), Hex(&strongA_, sizeof strongA_));
}

TEST_F(V3Vector, ExportOfTheOwnersKeyCarriesItsStrongKey) {
  CurvePoint pointA;
  PointMultiply(a_, BasePoint, pointA);
  const PublicKeyRecord alice = MakeRecord("alice", pointA);
  std::vector<uint8_t> file(static_cast<size_t>(PublicFileSize(1, &strongA_)));
  FormatPublicKeyFile(1, &alice, &strongA_, file.data());
  ASSERT_EQ(file.size(), 280u);
  uint8_t digest[kSha256Bytes];
  ASSERT_TRUE(Sha256(file.data(), file.size(), digest));
  EXPECT_EQ(Hex(digest, sizeof digest), kExportSha256);
}

TEST_F(V3Vector, EncryptsAndDecryptsTheKnownText) {
  std::string text;
  ASSERT_EQ(EncryptV3MessageWithEphemeral(KnownAnswerMessage(), kTime, a_, strongA_, strongB_, e_, text),
            StrongStatus::kOk);
  EXPECT_EQ(text, kText);

  const StrongKey ring[] = {strongB_, strongA_};
  std::string plain;
  V3Parties parties;
  ASSERT_EQ(DecryptV3Message(kText, b_, strongB_, ring, 2, -1, plain, parties), StrongStatus::kOk);
  EXPECT_EQ(plain, KnownAnswerMessage());
  EXPECT_EQ(parties.senderIndex, 1);
  EXPECT_EQ(parties.written, kTime);
  EXPECT_EQ(UtcTimeText(parties.written), "2026-11-30 00:53");
  EXPECT_EQ(Hex(parties.senderId, kKeyIdBytes), Hex(FromHex(kStrongIdA).data(), kKeyIdBytes));
  EXPECT_EQ(Hex(parties.recipientId, kKeyIdBytes), Hex(FromHex(kStrongIdB).data(), kKeyIdBytes));
}

// The message written out again by the reference writer, with the products
// by the first-written double-and-add.
TEST_F(V3Vector, TheKnownTextFromItsDefinition) {
  uint16_t sA[kScalarWords];
  ScalarFromHex(kStrongScalarA, sA);
  CurvePoint pA, pB, e, es, ss;
  StrongKeyPoint(strongA_, pA);
  StrongKeyPoint(strongB_, pB);
  literal::PointMultiply(e_, BasePoint, e);
  literal::PointMultiply(e_, pB, es);
  literal::PointMultiply(sA, pB, ss);

  std::vector<uint8_t> h = {3};
  for (const char* id : {kStrongIdA, kStrongIdB}) {
    const std::vector<uint8_t> bytes = FromHex(id);
    h.insert(h.end(), bytes.begin(), bytes.end());
  }
  const std::vector<uint8_t> eBytes = PointBytesOf(e), aBytes = PointBytesOf(pA), bBytes = PointBytesOf(pB);
  h.insert(h.end(), eBytes.begin(), eBytes.end());
  ASSERT_EQ(h.size(), 133u);

  std::vector<uint8_t> ikm = XBytes(es);
  const std::vector<uint8_t> ssBytes = XBytes(ss);
  ikm.insert(ikm.end(), ssBytes.begin(), ssBytes.end());
  EXPECT_EQ(ReferenceV3Seal(ikm, h, aBytes, bBytes, ReferenceV3InnerText(kTime, KnownAnswerMessage())), kText);
}

}  // namespace
