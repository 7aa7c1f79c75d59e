// Which key belongs to a dialog's correspondent: the UINs a dialog's texts
// show, and the ring entries whose user IDs hold one of them.
#include "icq/uin_rule.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "tests/support/test_seed.h"

namespace {

using Uins = std::vector<std::string>;

Uins UinsOf(std::initializer_list<std::string_view> texts) {
  Uins uins;
  for (std::string_view text : texts) AddUins(text, uins);
  return uins;
}

// Entry 0, the user's own key, then the given user IDs.
PublicKeyRing Ring(std::initializer_list<const char*> ids) {
  PublicKeyRing ring;
  for (const char* id : ids) {
    PublicKeyRecord key{};
    SetUserId(key, id);
    ring.keys.push_back(key);
  }
  return ring;
}

// A plain reference, written apart from the code: every run of 5 to 10
// digits that no digit precedes or follows, in order of appearance, each
// once.
Uins ReferenceUins(const std::string& text) {
  static const std::regex run("(^|[^0-9])([0-9]{5,10})(?![0-9])");
  Uins uins;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), run); it != std::sregex_iterator(); ++it) {
    const std::string uin = (*it)[2];
    if (std::find(uins.begin(), uins.end(), uin) == uins.end()) uins.push_back(uin);
  }
  return uins;
}

}  // namespace

TEST(DialogUins, AreRunsOfFiveToTenDigitsThatTouchNoOtherDigit) {
  EXPECT_EQ(UinsOf({"UIN 4444"}), Uins{});
  EXPECT_EQ(UinsOf({"UIN 12345"}), Uins{"12345"});
  EXPECT_EQ(UinsOf({"UIN 1234567890"}), Uins{"1234567890"});
  EXPECT_EQ(UinsOf({"phone 12345678901"}), Uins{}) << "eleven digits are no UIN, nor is any part of them";
  EXPECT_EQ(UinsOf({"1234567890123456789012"}), Uins{});
  // Letters and punctuation may touch a UIN; only digits end it.
  EXPECT_EQ(UinsOf({"Bob1234567x"}), Uins{"1234567"});
  EXPECT_EQ(UinsOf({"(UIN 7654321)"}), Uins{"7654321"});
  EXPECT_EQ(UinsOf({"12345-67890"}), (Uins{"12345", "67890"}));
  EXPECT_EQ(UinsOf({"", "no digits at all"}), Uins{});
}

TEST(DialogUins, GatherSeveralFromTheTextsOfOneDialogEachOnce) {
  // The caption, the recipient list of a message to several people, and a
  // label repeating one of them.
  const Uins uins =
      UinsOf({"Send Multiple Recipients", "To: Bob (1234567), Carol (22222222)", "UIN: 1234567", "at 10:30"});
  EXPECT_EQ(uins, (Uins{"1234567", "22222222"}));
}

TEST(DialogUins, MatchAPlainReferenceOnRandomTexts) {
  const uint32_t seed = TestSeed();
  std::mt19937 random(seed);
  // Mostly digits, so that runs of every length around the limits occur.
  const std::string alphabet = "0123456789012345678901234567890123456789 aZ-(";
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 40);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
    Uins uins;
    AddUins(text, uins);
    ASSERT_EQ(uins, ReferenceUins(text)) << "text \"" << text << "\", seed " << seed;
  }
}

TEST(KeyUins, AKeyBelongsWhenItsUserIdHoldsTheSameRunOfDigits) {
  const Uins bob = {"1234567"};
  const PublicKeyRing ring = Ring({"Me", "Bob 1234567", "Bob1234567", "Bob 01234567", "Bob 12345678", "Bob",
                                   "Robert Smith 1234567", "1234567 work"});
  EXPECT_TRUE(KeyHoldsUin(ring.keys[1], bob));
  EXPECT_TRUE(KeyHoldsUin(ring.keys[2], bob)) << "letters may touch the digits";
  EXPECT_FALSE(KeyHoldsUin(ring.keys[3], bob)) << "a leading zero makes another number";
  EXPECT_FALSE(KeyHoldsUin(ring.keys[4], bob));
  EXPECT_FALSE(KeyHoldsUin(ring.keys[5], bob));
  EXPECT_TRUE(KeyHoldsUin(ring.keys[6], bob)) << "a user ID of all 20 characters";
  EXPECT_TRUE(KeyHoldsUin(ring.keys[7], bob));
  EXPECT_FALSE(KeyHoldsUin(ring.keys[1], {}));
}

TEST(Correspondent, IsKnownOnlyWhenExactlyOneKeyOtherThanTheOwnersBelongs) {
  const PublicKeyRing ring = Ring({"Me 7777777", "Alice 7654321", "Bob 1234567", "Carol 22222222"});
  EXPECT_EQ(FindCorrespondent(ring, {"1234567"}), 2);
  // The user's own UIN shown beside the correspondent's does not count.
  EXPECT_EQ(FindCorrespondent(ring, {"7777777", "1234567"}), 2);
  EXPECT_EQ(FindCorrespondent(ring, {"7777777"}), -1) << "the owner's key is never the correspondent";
  EXPECT_EQ(FindCorrespondent(ring, {"99999"}), -1);
  EXPECT_EQ(FindCorrespondent(ring, {}), -1);
  // A dialog with two correspondents whose keys are both in the ring.
  EXPECT_EQ(FindCorrespondent(ring, {"1234567", "22222222"}), -1);
  // ... and one of them without a key.
  EXPECT_EQ(FindCorrespondent(ring, {"1234567", "55555"}), 2);
}

TEST(Correspondent, IsUnknownWhenTwoKeysHoldTheSameUin) {
  // Bob's old and new key, say: the program cannot tell which one he reads.
  const PublicKeyRing ring = Ring({"Me", "Bob 1234567", "Alice 7654321", "Bob new 1234567"});
  EXPECT_EQ(FindCorrespondent(ring, {"1234567"}), -1);
  EXPECT_EQ(FindCorrespondent(ring, {"7654321"}), 2);
}

TEST(Correspondent, CanBeFoundOnlyInARingWhoseUserIdsHoldUins) {
  EXPECT_FALSE(RingHoldsUins(Ring({"Me"})));
  EXPECT_FALSE(RingHoldsUins(Ring({"Me 1234567", "Bob", "Alice 4444", "Carol 12345678901"})))
      << "only the owner's key, or digit runs that are no UIN";
  EXPECT_TRUE(RingHoldsUins(Ring({"Me", "Bob", "Alice 7654321"})));
}
