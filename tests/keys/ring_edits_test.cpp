#include "keys/ring_edits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/keys/test_keys.h"

namespace fs = std::filesystem;

namespace {

std::string Id(const PublicKeyRecord& r) {
  char id[kUserIdBytes + 1];
  GetUserId(r, id);
  return id;
}

class RingEdits : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* ids[] = {"me", "alice", "bob", "carol"};
    for (int k = 0; k < 4; ++k) MakeKeyPair(keys_[k], ids[k]);
  }
  void SetUp() override {
    std::vector<PublicKeyRecord> ring;
    for (const KeyPair& k : keys_) ring.push_back(k.pub);
    ASSERT_EQ(SavePublicKeyFile(path_, 4, ring.data()), KeyFileStatus::kOk);
  }

  PublicKeyRing Ring() const {
    PublicKeyRing ring;
    EXPECT_EQ(LoadPublicKeyRing(path_, ring), KeyFileStatus::kOk);
    return ring;
  }
  std::vector<std::string> Ids() const {
    std::vector<std::string> ids;
    for (const PublicKeyRecord& key : Ring().keys) ids.push_back(Id(key));
    return ids;
  }

  static KeyPair keys_[4];
  TestFolder folder_{"vwg-ring-edits"};
  const std::string ring_ = folder_.File("public.vwg");
  const char* path_ = ring_.c_str();
};
KeyPair RingEdits::keys_[4];

TEST_F(RingEdits, RemoveTakesOutOneEntryAndKeepsTheOthersByteForByte) {
  const std::string before = ReadBytes(ring_);
  ASSERT_EQ(RemoveRingEntry(path_, 2, keys_[2].pub), KeyFileStatus::kOk);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"me", "alice", "carol"}));
  const std::string after = ReadBytes(ring_);
  ASSERT_EQ(after.size(), before.size() - 142);
  EXPECT_EQ(after.substr(10), before.substr(10, 2 * 142) + before.substr(10 + 3 * 142));
}

TEST_F(RingEdits, OwnKeyAndOutOfDateViewsAreRefusedWithoutAWrite) {
  const std::string before = ReadBytes(ring_);
  constexpr KeyFileStatus kChanged = KeyFileStatus::kRingChanged;
  EXPECT_EQ(RemoveRingEntry(path_, 0, keys_[0].pub), kChanged);
  EXPECT_EQ(RemoveRingEntry(path_, 4, keys_[3].pub), kChanged) << "beyond the ring";
  EXPECT_EQ(RemoveRingEntry(path_, -1, keys_[3].pub), kChanged);
  // Another program removed alice meanwhile: index 1 now holds bob.
  EXPECT_EQ(RemoveRingEntry(path_, 2, keys_[1].pub), kChanged);
  PublicKeyRecord renamedMeanwhile = keys_[3].pub;
  SetUserId(renamedMeanwhile, "caroline");
  EXPECT_EQ(RenameRingEntry(path_, 3, renamedMeanwhile, "x"), kChanged);
  EXPECT_EQ(ReadBytes(ring_), before);
}

TEST_F(RingEdits, RenameChangesTheIdOnlyAndOfEntryZeroTheOwnKeyToo) {
  ASSERT_EQ(RenameRingEntry(path_, 3, keys_[3].pub, "Carol (UIN 1234567)"), KeyFileStatus::kOk);
  ASSERT_EQ(RenameRingEntry(path_, 0, keys_[0].pub, "123456789012345678901234"), KeyFileStatus::kOk);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"12345678901234567890", "alice", "bob", "Carol (UIN 1234567)"}));
  const std::vector<PublicKeyRecord> ring = Ring().keys;
  ASSERT_EQ(ring.size(), 4u);
  for (int k : {0, 3}) {
    EXPECT_EQ(Hex(ring[k].x, sizeof ring[k].x), Hex(keys_[k].pub.x, sizeof ring[k].x));
    EXPECT_EQ(Hex(ring[k].y, sizeof ring[k].y), Hex(keys_[k].pub.y, sizeof ring[k].y));
    EXPECT_EQ(ring[k].spare, keys_[k].pub.spare);
  }
}

TEST_F(RingEdits, MissingRingIsAFailureAndWritesNothing) {
  fs::remove(ring_);
  EXPECT_EQ(RemoveRingEntry(path_, 1, keys_[1].pub), KeyFileStatus::kSystemError);
  EXPECT_EQ(RenameRingEntry(path_, 1, keys_[1].pub, "x"), KeyFileStatus::kSystemError);
  EXPECT_FALSE(fs::exists(ring_));
}

TEST_F(RingEdits, ChangedKeyIsOneWithAKnownIdAndAnotherPoint) {
  const PublicKeyRecord ring[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
  EXPECT_EQ(FindChangedKey(keys_[1].pub, ring, 3), -1) << "the same key again is no change";
  PublicKeyRecord impostor = keys_[3].pub;
  SetUserId(impostor, "bob");
  EXPECT_EQ(FindChangedKey(impostor, ring, 3), 2);
  SetUserId(impostor, "me");
  EXPECT_EQ(FindChangedKey(impostor, ring, 3), 0);
  SetUserId(impostor, "Bob");
  EXPECT_EQ(FindChangedKey(impostor, ring, 3), -1) << "IDs are compared exactly";
  // Only the point counts, not the spare word.
  PublicKeyRecord same = keys_[2].pub;
  same.spare = 7;
  EXPECT_EQ(FindChangedKey(same, ring, 3), -1);
}

}  // namespace
