#include "keys/formats/key_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "keys/key_check.h"
#include "tests/keys/test_keys.h"

namespace {

class KeyFormat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (int k = 0; k < 3; ++k) MakeKeyPair(keys_[k], k == 0 ? "12345678901234567890" : "bob");
    keys_[0].pub.spare = 0xBEEF;
    keys_[2].pub.spare = 0x0102;
  }
  static std::vector<uint8_t> PublicFile(int count) {
    std::vector<uint8_t> data(PublicFileBytes(count));
    PublicKeyRecord records[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
    FormatPublicKeyFile(count, records, kNone, data.data());
    return data;
  }
  static KeyPair keys_[3];
  static constexpr StrongKey kNone[3] = {};
};
KeyPair KeyFormat::keys_[3];

// Room for every strong key a file may carry.
struct StrongSlots {
  StrongKey keys[kMaxRingKeys];
  StrongSlots() { std::memset(keys, 0x77, sizeof keys); }
};

uint16_t Le(const std::vector<uint8_t>& d, size_t at) {
  return static_cast<uint16_t>(d[at] | d[at + 1] << 8);
}

void ExpectHeader(const std::vector<uint8_t>& d, uint16_t type) {
  EXPECT_EQ(std::memcmp(d.data(), "VWG.", 4), 0);
  EXPECT_EQ(Le(d, 4), type);
  EXPECT_EQ(Le(d, 6), 1);
}

TEST(UserIdScrambling, FollowsTheDocumentedConstantsAndIsReversible) {
  uint8_t id[20] = {'O', 'w', 'n', 'e', 'r'};
  ScrambleUserId(id);
  EXPECT_EQ(id[0], 0xAA);  // (0x4F + 0x47) ^ 0x3C, worked by hand
  EXPECT_EQ(id[1], 0xF3);  // (0x77 + 0x47) ^ 0x4D
  for (int pos = 0; pos < 20; ++pos) {
    for (int v = 0; v < 256; ++v) {
      uint8_t b[20] = {};
      b[pos] = static_cast<uint8_t>(v);
      ScrambleUserId(b);
      ASSERT_EQ(b[pos], static_cast<uint8_t>(((v + 0x47) & 0xFF) ^ ((0x3C + 0x11 * pos) & 0xFF)));
      UnscrambleUserId(b);
      ASSERT_EQ(b[pos], v) << "position " << pos;
      ASSERT_EQ(b[(pos + 1) % 20], 0);
    }
  }
}

TEST_F(KeyFormat, PublicFileHasEveryFieldAtItsOffset) {
  const std::vector<uint8_t> d = PublicFile(2);
  ASSERT_EQ(PublicFileBytes(1), 152);
  ASSERT_EQ(d.size(), 294u);
  ExpectHeader(d, 1);
  EXPECT_EQ(Le(d, 8), 2);
  for (int k = 0; k < 2; ++k) {
    const PublicKeyRecord& r = keys_[k].pub;
    const size_t e = 10 + 142 * k;
    for (int i = 0; i < 20; ++i) {
      const int plain = static_cast<uint8_t>(r.userId[i]);
      EXPECT_EQ(d[e + i], static_cast<uint8_t>(((plain + 0x47) & 0xFF) ^ ((0x3C + 0x11 * i) & 0xFF)));
    }
    for (int w = 0; w < 30; ++w) {
      EXPECT_EQ(Le(d, e + 20 + 2 * w), r.x[w]) << "x word " << w;
      EXPECT_EQ(Le(d, e + 82 + 2 * w), r.y[w]) << "y word " << w;
    }
    EXPECT_EQ(Le(d, e + 80), r.spare);
  }
  EXPECT_EQ(Le(d, 90), 0xBEEF);
}

TEST_F(KeyFormat, PublicFileReadsBackWithSpareAnd20CharacterId) {
  std::vector<uint8_t> d = PublicFile(3);
  d.push_back(0x99);  // bytes after the last entry are ignored
  PublicKeyRecord entries[kMaxRingKeys];
  std::memset(entries, 0x77, sizeof entries);
  StrongSlots strong;
  ASSERT_EQ(ParsePublicKeyFile(d.data(), static_cast<int>(d.size()), entries, strong.keys, PublicKeyCheck::kFull), 3);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(SameStrongKey(strong.keys[k], kNoStrongKey)) << "no trailer, no strong keys";
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(Hex(&entries[k], 142), Hex(&keys_[k].pub, 142)) << "entry " << k;
  }
  EXPECT_EQ(entries[3].spare, 0x7777) << "the rest of the buffer is untouched";
  char id[21];
  GetUserId(entries[0], id);
  EXPECT_STREQ(id, "12345678901234567890");
}

TEST_F(KeyFormat, MalformedPublicFilesAreRejectedAndLeaveTheBufferAlone) {
  const std::vector<uint8_t> good = PublicFile(2);
  auto with = [&](size_t at, uint8_t v) {
    std::vector<uint8_t> d = good;
    d[at] = v;
    return d;
  };
  auto withCount = [&](int count) {
    std::vector<uint8_t> d = good;
    d[8] = static_cast<uint8_t>(count);
    d[9] = static_cast<uint8_t>(count >> 8);
    return d;
  };
  std::vector<uint8_t> bigCount = withCount(1001);
  bigCount.resize(PublicFileBytes(1001) + 100, 0);  // long enough for 1001 entries
  const std::vector<uint8_t> secretFile(kSecretFileBytes, 0);
  std::vector<uint8_t> secretAsPublic = good;
  secretAsPublic[4] = 2;
  std::vector<uint8_t> offCurve = good;
  offCurve[10 + 142 + 82 + 10] ^= 1;  // a y coefficient of entry 1
  std::vector<uint8_t> smallOrder = good;
  {
    PublicKeyRecord r = MakeRecord("x", SmallOrderPoint());
    FormatPublicKeyFile(1, &r, kNone, smallOrder.data());
  }
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
  } cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 9)},
      {"magic", with(3, ',')},
      {"file type 2", secretAsPublic},
      {"version 2", with(6, 2)},
      {"count 0", withCount(0)},
      {"count -1", withCount(0xFFFF)},
      {"count 1001", bigCount},
      {"ends inside entry 1", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"ends after the header", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
      {"point off the curve", offCurve},
  };
  for (const Case& c : cases) {
    PublicKeyRecord entries[kMaxRingKeys];
    std::memset(entries, 0x77, sizeof entries);
    StrongSlots strong;
    EXPECT_EQ(ParsePublicKeyFile(c.data.data(), static_cast<int>(c.data.size()), entries, strong.keys,
                                 PublicKeyCheck::kCheap),
              0)
        << c.name;
    EXPECT_EQ(entries[0].spare, 0x7777) << c.name;
  }
  // A point of small order on the curve passes the cheap check only.
  PublicKeyRecord entries[kMaxRingKeys];
  StrongSlots strong;
  EXPECT_EQ(ParsePublicKeyFile(smallOrder.data(), 152, entries, strong.keys, PublicKeyCheck::kCheap), 1);
  EXPECT_EQ(ParsePublicKeyFile(smallOrder.data(), 152, entries, strong.keys, PublicKeyCheck::kFull), 0);
}

// A ring with strong keys in entries 0 and 2, entry 1 without.
std::vector<uint8_t> FileWithStrongKeys(const KeyPair* keys, StrongKey strong[3]) {
  PublicKeyRecord records[3] = {keys[0].pub, keys[1].pub, keys[2].pub};
  strong[1] = kNoStrongKey;
  EXPECT_TRUE(StrongKeyOf(keys[0].secret, strong[0]));
  EXPECT_TRUE(StrongKeyOf(keys[2].secret, strong[2]));
  std::vector<uint8_t> d(static_cast<size_t>(PublicFileSize(3, strong)));
  FormatPublicKeyFile(3, records, strong, d.data());
  return d;
}

TEST_F(KeyFormat, TheTrailerHasEveryFieldAtItsOffsetAndReadsBack) {
  StrongKey strong[3];
  const std::vector<uint8_t> d = FileWithStrongKeys(keys_, strong);
  ASSERT_EQ(d.size(), 436u + 6 + 3 * 122);
  const size_t t = 436;
  EXPECT_EQ(std::memcmp(d.data() + t, "VWGS", 4), 0);
  EXPECT_EQ(Le(d, t + 4), 3);
  for (int k = 0; k < 3; ++k) {
    const size_t slot = t + 6 + 122 * k;
    EXPECT_EQ(Le(d, slot), k == 1 ? 0 : 1);
    for (int w = 0; w < 30; ++w) {
      EXPECT_EQ(Le(d, slot + 2 + 2 * w), strong[k].x[w]) << "slot " << k << " x word " << w;
      EXPECT_EQ(Le(d, slot + 62 + 2 * w), strong[k].y[w]) << "slot " << k << " y word " << w;
    }
  }
  EXPECT_EQ(std::vector<uint8_t>(d.begin(), d.begin() + t), PublicFile(3)) << "the entries as without a trailer";

  PublicKeyRecord entries[kMaxRingKeys];
  StrongSlots read;
  ASSERT_EQ(ParsePublicKeyFile(d.data(), static_cast<int>(d.size()), entries, read.keys, PublicKeyCheck::kFull), 3);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(Hex(&read.keys[k], 122), Hex(&strong[k], 122)) << k;
  EXPECT_EQ(read.keys[3].present, 0x7777) << "the rest of the buffer is untouched";
}

TEST_F(KeyFormat, AFileWithoutStrongKeysHasNoTrailer) {
  StrongKey none[3] = {};
  EXPECT_FALSE(HasStrongKeys(3, none));
  EXPECT_EQ(PublicFileSize(3, none), PublicFileBytes(3));
  std::vector<uint8_t> d(PublicFileBytes(3));
  PublicKeyRecord records[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
  FormatPublicKeyFile(3, records, none, d.data());
  EXPECT_EQ(d, PublicFile(3));
  // An all-empty trailer is read, as no strong keys.
  std::vector<uint8_t> empty = d;
  const uint8_t head[6] = {'V', 'W', 'G', 'S', 3, 0};
  empty.insert(empty.end(), head, head + 6);
  empty.resize(empty.size() + 3 * 122, 0);
  PublicKeyRecord entries[kMaxRingKeys];
  StrongSlots read;
  ASSERT_EQ(ParsePublicKeyFile(empty.data(), static_cast<int>(empty.size()), entries, read.keys,
                               PublicKeyCheck::kCheap),
            3);
  for (int k = 0; k < 3; ++k) EXPECT_TRUE(SameStrongKey(read.keys[k], kNoStrongKey));
}

// Bytes after the entries that are not a trailer are ignored, as ever; a
// trailer is strict to the end of the file, and one bad slot refuses all.
TEST_F(KeyFormat, MalformedTrailersRefuseTheWholeFile) {
  StrongKey strong[3];
  const std::vector<uint8_t> good = FileWithStrongKeys(keys_, strong);
  const size_t t = 436;
  auto with = [&](size_t at, uint8_t v) {
    std::vector<uint8_t> d = good;
    d[at] = v;
    return d;
  };
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  std::vector<uint8_t> offCurve = good;
  offCurve[t + 6 + 2 + 2 * 5] ^= 1;  // an x coefficient of slot 0
  std::vector<uint8_t> nonCanonical = with(t + 6 + 2, 28);  // x's length word
  std::vector<uint8_t> smallOrder = good;
  {
    const StrongKey bad = StrongKeyAt(SmallOrderPoint());
    PublicKeyRecord records[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
    StrongKey slots[3] = {strong[0], bad, strong[2]};
    FormatPublicKeyFile(3, records, slots, smallOrder.data());
  }
  std::vector<uint8_t> xZero = good;
  {
    const CurvePoint two = OrderTwoPoint();
    const StrongKey bad = StrongKeyAt(two);
    PublicKeyRecord records[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
    StrongKey slots[3] = {strong[0], bad, strong[2]};
    FormatPublicKeyFile(3, records, slots, xZero.data());
  }
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
    bool cheapRefuses;
  } cases[] = {
      {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1), true},
      {"one byte more", longer, true},
      {"only the magic", std::vector<uint8_t>(good.begin(), good.begin() + t + 4), true},
      {"count 2", with(t + 4, 2), true},
      {"count 3 in the high byte", with(t + 5, 3), true},
      {"a slot's word 2", with(t + 6, 2), true},
      {"a slot's word 0x0100", with(t + 6 + 1, 1), true},
      {"an empty slot with a byte", with(t + 6 + 122 + 70, 1), true},
      {"an empty slot's word 1 with a zero point", with(t + 6 + 122, 1), true},
      {"a strong key off the curve", offCurve, true},
      {"a length word 28", nonCanonical, true},
      {"a strong key at x = 0", xZero, true},
      {"a strong key of small order", smallOrder, false},
  };
  for (const Case& c : cases) {
    for (PublicKeyCheck check : {PublicKeyCheck::kCheap, PublicKeyCheck::kFull}) {
      if (check == PublicKeyCheck::kCheap && !c.cheapRefuses) continue;
      PublicKeyRecord entries[kMaxRingKeys];
      std::memset(entries, 0x77, sizeof entries);
      StrongSlots read;
      EXPECT_EQ(ParsePublicKeyFile(c.data.data(), static_cast<int>(c.data.size()), entries, read.keys, check), 0)
          << c.name;
      EXPECT_EQ(entries[0].spare, 0x7777) << c.name;
      EXPECT_EQ(read.keys[0].present, 0x7777) << c.name;
    }
  }
  PublicKeyRecord entries[kMaxRingKeys];
  StrongSlots read;
  EXPECT_EQ(ParsePublicKeyFile(smallOrder.data(), static_cast<int>(smallOrder.size()), entries, read.keys,
                               PublicKeyCheck::kCheap),
            3)
      << "the order is checked on import and before use, not on every load";
  // Bytes that do not begin with the magic are ignored, even "VWG" alone.
  std::vector<uint8_t> junk = PublicFile(3);
  for (const char* tail : {"VWG", "VWGs and more", "\x01"}) {
    std::vector<uint8_t> d = junk;
    d.insert(d.end(), tail, tail + std::strlen(tail));
    EXPECT_EQ(ParsePublicKeyFile(d.data(), static_cast<int>(d.size()), entries, read.keys, PublicKeyCheck::kCheap), 3)
        << tail;
    EXPECT_TRUE(SameStrongKey(read.keys[0], kNoStrongKey));
  }
}

TEST_F(KeyFormat, SecretFileIs938BytesAndReadsBack) {
  std::vector<uint8_t> d(kSecretFileBytes);
  ASSERT_EQ(kSecretFileBytes, 938);
  FormatSecretKeyFile(keys_[0].secret, d.data());
  ExpectHeader(d, 2);
  for (int w = 0; w < kScalarWords; ++w) ASSERT_EQ(Le(d, 8 + 2 * w), keys_[0].secret[w]);
  d.push_back(0);  // ignored
  uint16_t key[kScalarWords];
  ASSERT_EQ(ParseSecretKeyFile(d.data(), static_cast<int>(d.size()), key), 1);
  EXPECT_EQ(std::memcmp(key, keys_[0].secret, sizeof key), 0);
}

TEST_F(KeyFormat, MalformedSecretFilesAndInvalidScalarsAreRejected) {
  std::vector<uint8_t> good(kSecretFileBytes);
  FormatSecretKeyFile(keys_[0].secret, good.data());
  const int n = keys_[0].secret[0];
  auto word = [&](int w, uint16_t v) {
    std::vector<uint8_t> d = good;
    d[8 + 2 * w] = static_cast<uint8_t>(v);
    d[9 + 2 * w] = static_cast<uint8_t>(v >> 8);
    return d;
  };
  std::vector<uint8_t> publicAsSecret = good;
  publicAsSecret[4] = 1;
  struct Case {
    const char* name;
    std::vector<uint8_t> data;
  } cases[] = {
      {"file type 1", publicAsSecret},
      {"magic", [&] { auto d = good; d[0] = 'v'; return d; }()},
      {"version 0", [&] { auto d = good; d[6] = 0; return d; }()},
      {"one byte short", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"bit count 0", word(0, 0)},
      {"bit count 465", word(0, 465)},
      {"top bit 0", word(n, 0)},
      {"bit word 2", word(1, 2)},
      {"bit word 0x100 above the count", word(464, 0x100)},
  };
  for (const Case& c : cases) {
    uint16_t key[kScalarWords];
    std::memset(key, 0x77, sizeof key);
    EXPECT_EQ(ParseSecretKeyFile(c.data.data(), static_cast<int>(c.data.size()), key), 0) << c.name;
    EXPECT_EQ(key[0], 0x7777) << c.name;
  }
  uint16_t one[kScalarWords] = {1, 1};
  EXPECT_TRUE(IsValidSecretKey(one));
}

// Random and mutated files: the parsers must never read out of bounds (run
// under the sanitizers too), and whatever they accept must format back to
// the same bytes.
TEST_F(KeyFormat, ParsersSurviveRandomAndMutatedFiles) {
  std::mt19937 rng(TestSeed() + 7);
  const std::vector<uint8_t> goodPublic = PublicFile(3);
  std::vector<uint8_t> goodSecret(kSecretFileBytes);
  FormatSecretKeyFile(keys_[1].secret, goodSecret.data());
  std::vector<PublicKeyRecord> entries(kMaxRingKeys);
  std::vector<StrongKey> strong(kMaxRingKeys);
  int acceptedPublic = 0, acceptedSecret = 0;
  for (int n = 0; n < 4000; ++n) {
    const bool secret = n % 2 == 1;
    std::vector<uint8_t> d = secret ? goodSecret : goodPublic;
    switch (rng() % 4) {
      case 0:  // random bytes behind a valid header and count
        d.resize(rng() % 600);
        for (size_t i = 10; i < d.size(); ++i) d[i] = static_cast<uint8_t>(rng());
        break;
      case 1:  // cut anywhere
        d.resize(rng() % (d.size() + 1));
        break;
      case 2:  // a few bit flips, often in the ID or spare word only
        for (int f = 1 + rng() % 3; f > 0; --f) d[rng() % d.size()] ^= static_cast<uint8_t>(1 << rng() % 8);
        break;
      default:  // a random count or bit count
        d[8] = static_cast<uint8_t>(rng());
        d[9] = static_cast<uint8_t>(rng() % 8);
        break;
    }
    if (secret) {
      uint16_t key[kScalarWords];
      if (ParseSecretKeyFile(d.data(), static_cast<int>(d.size()), key)) {
        ++acceptedSecret;
        ASSERT_TRUE(IsValidSecretKey(key));
        std::vector<uint8_t> again(kSecretFileBytes);
        FormatSecretKeyFile(key, again.data());
        ASSERT_TRUE(std::equal(again.begin(), again.end(), d.begin())) << "iteration " << n;
      }
    } else {
      const PublicKeyCheck check = n % 40 == 0 ? PublicKeyCheck::kFull : PublicKeyCheck::kCheap;
      const int count = ParsePublicKeyFile(d.data(), static_cast<int>(d.size()), entries.data(), strong.data(), check);
      if (count) {
        ++acceptedPublic;
        ASSERT_LE(PublicFileSize(count, strong.data()), static_cast<int>(d.size()));
        std::vector<uint8_t> again(PublicFileSize(count, strong.data()));
        FormatPublicKeyFile(count, entries.data(), strong.data(), again.data());
        ASSERT_TRUE(std::equal(again.begin(), again.end(), d.begin())) << "iteration " << n;
      }
    }
  }
  // Flips in IDs and spare words keep a file valid: the round trip is tested.
  EXPECT_GT(acceptedPublic, 10);
  EXPECT_GT(acceptedSecret, 10);
}

}  // namespace
