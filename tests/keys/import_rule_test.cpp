// The import rule, case by case, on rings in memory: what the tray program
// and vwg both do with each key of a file.
#include "keys/import_rule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "tests/keys/test_keys.h"

namespace {

class ImportRule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* ids[] = {"owner", "alice", "bob", "carol", "mallory"};
    for (int k = 0; k < 5; ++k) {
      MakeKeyPair(keys_[k], ids[k]);
      ASSERT_TRUE(StrongKeyOf(keys_[k].secret, strong_[k]));
    }
  }
  // The owner (0) with a strong key, alice (1) without, bob (2) with.
  static PublicKeyRing Ring() {
    PublicKeyRing ring;
    AddRingEntry(ring, keys_[0].pub, strong_[0]);
    AddRingEntry(ring, keys_[1].pub, kNoStrongKey);
    AddRingEntry(ring, keys_[2].pub, strong_[2]);
    return ring;
  }
  static PublicKeyRecord Renamed(const PublicKeyRecord& key, const char* id) {
    PublicKeyRecord r = key;
    SetUserId(r, id);
    return r;
  }
  static void Expect(const ImportDecision& d, ImportCase what, int index) {
    EXPECT_EQ(static_cast<int>(d.what), static_cast<int>(what));
    EXPECT_EQ(d.index, index);
  }
  static KeyPair keys_[5];
  static StrongKey strong_[5];
};
KeyPair ImportRule::keys_[5];
StrongKey ImportRule::strong_[5];

TEST_F(ImportRule, ANewKeyIsAppendedWithItsStrongKey) {
  PublicKeyRing ring = Ring();
  const ImportDecision d = DecideImport(ring, keys_[3].pub, strong_[3]);
  Expect(d, ImportCase::kAppend, -1);
  ASSERT_EQ(ApplyImport(ring, d, keys_[3].pub, strong_[3]), KeyFileStatus::kOk);
  ASSERT_EQ(ring.count(), 4);
  EXPECT_EQ(Hex(&ring.keys[3], 142), Hex(&keys_[3].pub, 142));
  EXPECT_TRUE(SameStrongKey(ring.strong[3], strong_[3]));
  EXPECT_EQ(ring.strong.size(), ring.keys.size());
}

TEST_F(ImportRule, AKeyTheRingHoldsIsSkippedUnlessItBringsAStrongKey) {
  const PublicKeyRing ring = Ring();
  // Bob again, with his strong key, without it (an older export), or under
  // another name.
  Expect(DecideImport(ring, keys_[2].pub, strong_[2]), ImportCase::kAlreadyThere, 2);
  Expect(DecideImport(ring, keys_[2].pub, kNoStrongKey), ImportCase::kAlreadyThere, 2);
  Expect(DecideImport(ring, Renamed(keys_[2].pub, "robert"), strong_[2]), ImportCase::kAlreadyThere, 2);
  // Alice as the ring has her: neither has a strong key.
  Expect(DecideImport(ring, keys_[1].pub, kNoStrongKey), ImportCase::kAlreadyThere, 1);
  // The owner's own key, in any form: an import never changes entry 0.
  Expect(DecideImport(ring, keys_[0].pub, strong_[0]), ImportCase::kAlreadyThere, 0);
  Expect(DecideImport(ring, keys_[0].pub, kNoStrongKey), ImportCase::kAlreadyThere, 0);
}

TEST_F(ImportRule, AStrongKeyIsAddedToItsEntryInPlace) {
  PublicKeyRing ring = Ring();
  const PublicKeyRecord alice = Renamed(keys_[1].pub, "alice at home");
  const ImportDecision d = DecideImport(ring, alice, strong_[1]);
  Expect(d, ImportCase::kStrongKeyAdded, 1);
  ASSERT_EQ(ApplyImport(ring, d, alice, strong_[1]), KeyFileStatus::kOk);
  ASSERT_EQ(ring.count(), 3);
  EXPECT_TRUE(SameStrongKey(ring.strong[1], strong_[1]));
  char id[kUserIdBytes + 1];
  GetUserId(ring.keys[1], id);
  EXPECT_STREQ(id, "alice") << "the entry keeps its place and user ID";
  // The owner's entry without a strong key takes none from a file.
  PublicKeyRing old = Ring();
  old.strong[0] = kNoStrongKey;
  Expect(DecideImport(old, keys_[0].pub, strong_[0]), ImportCase::kAlreadyThere, 0);
}

TEST_F(ImportRule, ChangedKeysReplaceTheirEntryUnderItsUserId) {
  PublicKeyRing ring = Ring();
  // Mallory's key under bob's ID: another point.
  const PublicKeyRecord fake = Renamed(keys_[4].pub, "bob");
  ImportDecision d = DecideImport(ring, fake, strong_[4]);
  Expect(d, ImportCase::kChanged, 2);
  // Bob's point with another strong key.
  Expect(DecideImport(ring, keys_[2].pub, strong_[4]), ImportCase::kChanged, 2);
  // What the user agreed to: mallory's key in bob's place, listed as bob.
  ASSERT_EQ(ApplyImport(ring, d, fake, strong_[4]), KeyFileStatus::kOk);
  ASSERT_EQ(ring.count(), 3);
  EXPECT_EQ(std::memcmp(ring.keys[2].x, keys_[4].pub.x, sizeof ring.keys[2].x), 0);
  EXPECT_TRUE(SameStrongKey(ring.strong[2], strong_[4]));

  // The same against entry 0 is refused: the owner's ID, or the owner's
  // point with another strong key.
  const PublicKeyRing fresh = Ring();
  Expect(DecideImport(fresh, Renamed(keys_[4].pub, "owner"), strong_[4]), ImportCase::kOwnKeyChanged, 0);
  Expect(DecideImport(fresh, keys_[0].pub, strong_[4]), ImportCase::kOwnKeyChanged, 0);
}

// Someone else's strong key under a new point and name would let its holder
// be taken for that entry's owner in ?VW3: messages.
TEST_F(ImportRule, AStrongKeyOfAnotherEntryIsRefusedFirst) {
  PublicKeyRing ring = Ring();
  Expect(DecideImport(ring, keys_[4].pub, strong_[2]), ImportCase::kStrongKeyOfOther, 2);
  // Before the changed-key case: the key also claims bob's ID.
  Expect(DecideImport(ring, Renamed(keys_[4].pub, "bob"), strong_[2]), ImportCase::kStrongKeyOfOther, 2);
  Expect(DecideImport(ring, keys_[4].pub, strong_[0]), ImportCase::kStrongKeyOfOther, 0);
  const ImportDecision d = DecideImport(ring, keys_[4].pub, strong_[2]);
  ASSERT_EQ(ApplyImport(ring, d, keys_[4].pub, strong_[2]), KeyFileStatus::kOk);
  EXPECT_EQ(ring.count(), 3) << "nothing changes";
}

// Keys of one file are weighed against the ring as the earlier ones left
// it: a key twice in a file is appended once.
TEST_F(ImportRule, LaterKeysSeeTheEarlierOnes) {
  PublicKeyRing ring = Ring();
  for (int round = 0; round < 2; ++round) {
    const ImportDecision d = DecideImport(ring, keys_[3].pub, strong_[3]);
    ASSERT_EQ(ApplyImport(ring, d, keys_[3].pub, strong_[3]), KeyFileStatus::kOk);
  }
  EXPECT_EQ(ring.count(), 4);
}

TEST_F(ImportRule, AnAppendBeyond1000IsRefusedAndChangesNothing) {
  PublicKeyRing ring;
  for (int k = 0; k < kMaxRingKeys; ++k) AddRingEntry(ring, keys_[k % 3].pub, kNoStrongKey);
  const ImportDecision d = DecideImport(ring, keys_[3].pub, strong_[3]);
  Expect(d, ImportCase::kAppend, -1);
  EXPECT_EQ(ApplyImport(ring, d, keys_[3].pub, strong_[3]), KeyFileStatus::kRingFull);
  EXPECT_EQ(ring.count(), kMaxRingKeys);
  EXPECT_EQ(ring.strong.size(), ring.keys.size());
}

}  // namespace

namespace {

// A new key whose ID differs from an entry's only in letter case, spaces or
// bytes that show nothing is appended naming that entry; another letter, one
// more or one less, is no look-alike, and neither is the entry's ID itself
// (a changed key).
TEST_F(ImportRule, ALookAlikeUserIdIsAppendedNamingTheEntryItLooksLike) {
  PublicKeyRing ring = Ring();  // owner, alice, bob
  AddRingEntry(ring, Renamed(keys_[3].pub, "\xC9mile \x8A" "afr\xE1nek"), kNoStrongKey);  // Émile Šafránek
  const std::pair<const char*, int> cases[] = {
      {"BOB", 2},         {"b o b", 2},      {"bob\xA0", 2},          {"b\xADob", 2},
      {"\x01" "bob", 2},  {"bob\x7F", 2},    {"b\x81o\x8D" "b\x8F\x90\x9D", 2},
      {"Owner", 0},       {" alice ", 1},    {"\xE9MILE \x9A" "AFR\xC1NEK", 3},  // ÉMILE šAFRÁNEK
      {"bobb", -1},       {"bo", -1},        {"b0b", -1},             {"b\xF6" "b", -1},  // böb
      {"mallory", -1},    {"\xE9mile \x8A" "afranek", -1},  // an accent dropped is another letter
  };
  for (const auto& [id, lookAlike] : cases) {
    const ImportDecision d = DecideImport(ring, Renamed(keys_[4].pub, id), strong_[4]);
    Expect(d, ImportCase::kAppend, -1);
    EXPECT_EQ(d.lookAlike, lookAlike) << id;
  }
  EXPECT_EQ(DecideImport(ring, Renamed(keys_[4].pub, "bob"), strong_[4]).what, ImportCase::kChanged);
  // Keys already in the ring, under any ID, are not appended and name none.
  EXPECT_EQ(DecideImport(ring, Renamed(keys_[2].pub, "BOB"), strong_[2]).lookAlike, -1);
}

// Windows-1252 as its chart gives it: the letters with a small form, and the
// bytes that show nothing (written out here apart from the rule's code).
unsigned char ChartSmall(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c - 'A' + 'a');
  if ((c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xDE)) return static_cast<unsigned char>(c + 0x20);
  const unsigned char pairs[][2] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};
  for (const auto& pair : pairs)
    if (c == pair[0]) return pair[1];
  return c;
}

bool ChartShowsNothing(unsigned char c) {
  const unsigned char nothing[] = {0x20, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xA0, 0xAD};
  return c < 0x20 || std::find(std::begin(nothing), std::end(nothing), c) != std::end(nothing);
}

// Every pair of bytes, each between the same two letters: "xCy" and "xDy"
// look alike exactly when they differ and the chart makes them the same.
TEST(LookAlikeUserIds, EveryPairOfBytesAgreesWithTheCodePageChart) {
  int lookAlikes = 0;
  for (int c = 1; c < 256; ++c) {
    for (int d = 1; d < 256; ++d) {
      const char a[] = {'x', static_cast<char>(c), 'y', 0}, b[] = {'x', static_cast<char>(d), 'y', 0};
      const auto form = [](int byte) {
        const unsigned char u = static_cast<unsigned char>(byte);
        return ChartShowsNothing(u) ? -1 : ChartSmall(u);
      };
      const bool expected = c != d && form(c) == form(d);
      ASSERT_EQ(LookAlikeUserIds(a, b), expected) << std::hex << c << " " << d;
      lookAlikes += expected;
    }
  }
  // 26 + 30 + 4 case pairs both ways, and the 9 + 31 bytes that show
  // nothing among themselves.
  EXPECT_EQ(lookAlikes, 2 * (26 + 30 + 4) + 40 * 39);
  EXPECT_FALSE(LookAlikeUserIds("bob", "bob"));
  EXPECT_TRUE(LookAlikeUserIds("", " \xA0"));
}

TEST_F(ImportRule, ALookAlikeIsNamedWithTheBytesThatShowNothingWrittenOut) {
  EXPECT_EQ(LookAlikeShownId(Renamed(keys_[4].pub, "b\xADob\xA0\x1b")), "b\\xADob\\xA0\\x1B");
  EXPECT_EQ(LookAlikeShownId(Renamed(keys_[4].pub, "\xC9mile Bob")), "\xC9mile Bob");
}

}  // namespace
