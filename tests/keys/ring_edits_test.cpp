#include "keys/ring_edits.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "keys/key_files.h"
#include "tests/keys/test_keys.h"
#include "tests/support/report_capture.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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
    dir_ = fs::temp_directory_path() /
           ("vwg-ring-edits-" + std::to_string(TestSeed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::strcpy(PublicKeyPath, (dir_ / "public.vwg").string().c_str());
    std::vector<PublicKeyRecord> ring;
    for (const KeyPair& k : keys_) ring.push_back(k.pub);
    ASSERT_EQ(SavePublicKeyFile(PublicKeyPath, 4, ring.data()), 1);
    ClearReportedErrors();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Ids() {
    std::vector<PublicKeyRecord> ring(kMaxRingKeys);
    const int count = LoadPublicKeyRing(ring.data());
    std::vector<std::string> ids;
    for (int k = 0; k < count; ++k) ids.push_back(Id(ring[k]));
    return ids;
  }

  static KeyPair keys_[4];
  fs::path dir_;
};
KeyPair RingEdits::keys_[4];

TEST_F(RingEdits, RemoveTakesOutOneEntryAndKeepsTheOthersByteForByte) {
  const std::string before = ReadBytes(PublicKeyPath);
  ASSERT_EQ(RemoveRingEntry(2, keys_[2].pub), 1);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"me", "alice", "carol"}));
  const std::string after = ReadBytes(PublicKeyPath);
  ASSERT_EQ(after.size(), before.size() - 142);
  EXPECT_EQ(after.substr(10), before.substr(10, 2 * 142) + before.substr(10 + 3 * 142));
  EXPECT_EQ(Reported.count, 0);
}

TEST_F(RingEdits, OwnKeyAndOutOfDateViewsAreRefusedWithoutAWrite) {
  const std::string before = ReadBytes(PublicKeyPath);
  EXPECT_EQ(RemoveRingEntry(0, keys_[0].pub), kRingChanged);
  EXPECT_EQ(RemoveRingEntry(4, keys_[3].pub), kRingChanged) << "beyond the ring";
  EXPECT_EQ(RemoveRingEntry(-1, keys_[3].pub), kRingChanged);
  // Another program removed alice meanwhile: index 1 now holds bob.
  EXPECT_EQ(RemoveRingEntry(2, keys_[1].pub), kRingChanged);
  PublicKeyRecord renamedMeanwhile = keys_[3].pub;
  SetUserId(renamedMeanwhile, "caroline");
  EXPECT_EQ(RenameRingEntry(3, renamedMeanwhile, "x"), kRingChanged);
  EXPECT_EQ(ReadBytes(PublicKeyPath), before);
  EXPECT_EQ(Reported.count, 0);
}

TEST_F(RingEdits, RenameChangesTheIdOnlyAndOfEntryZeroTheOwnKeyToo) {
  ASSERT_EQ(RenameRingEntry(3, keys_[3].pub, "Carol (UIN 1234567)"), 1);
  ASSERT_EQ(RenameRingEntry(0, keys_[0].pub, "123456789012345678901234"), 1);
  EXPECT_EQ(Ids(), (std::vector<std::string>{"12345678901234567890", "alice", "bob", "Carol (UIN 1234567)"}));
  EXPECT_EQ(Id(OwnPublicKey), "12345678901234567890");
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  ASSERT_EQ(LoadPublicKeyRing(ring.data()), 4);
  for (int k : {0, 3}) {
    EXPECT_EQ(Hex(ring[k].x, sizeof ring[k].x), Hex(keys_[k].pub.x, sizeof ring[k].x));
    EXPECT_EQ(Hex(ring[k].y, sizeof ring[k].y), Hex(keys_[k].pub.y, sizeof ring[k].y));
    EXPECT_EQ(ring[k].spare, keys_[k].pub.spare);
  }
}

TEST_F(RingEdits, MissingRingIsReportedAndWritesNothing) {
  fs::remove(PublicKeyPath);
  EXPECT_EQ(RemoveRingEntry(1, keys_[1].pub, false), 0);
  EXPECT_EQ(Reported.count, 1);
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_FALSE(fs::exists(PublicKeyPath));
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
