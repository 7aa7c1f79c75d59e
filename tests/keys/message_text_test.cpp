#include "keys/formats/message_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "keys/formats/cipher.h"
#include "tests/keys/test_keys.h"

namespace {

class MessageText : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MakeKeyPair(alice_, "alice");
    MakeKeyPair(bob_, "bob");
  }
  static std::string EncryptForBob(const std::string& plain) {
    std::string cipher;
    EXPECT_TRUE(EncryptText(plain, alice_.secret, bob_.point, cipher));
    return cipher;
  }
  static std::string BobDecrypts(const std::string& received) {
    std::string plain;
    EXPECT_TRUE(DecryptWholeBlocks(WithoutBlanks(received), bob_.secret, alice_.point, plain));
    return plain;
  }
  static KeyPair alice_, bob_;
};
KeyPair MessageText::alice_, MessageText::bob_;

std::string RandomBytes(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

// As a messenger or mail program passes it on: lines of width characters
// ended by CR LF or LF, sometimes indented, with a line break at the end.
std::string Wrapped(const std::string& text, size_t width, bool crlf, bool indent) {
  std::string out;
  for (size_t i = 0; i < text.size(); i += width) {
    if (indent) out += "\t ";
    out += text.substr(i, width) + (crlf ? "\r\n" : "\n");
  }
  return out;
}

TEST(WithoutBlanks, RemovesSpacesTabsAndLineBreaksOnly) {
  EXPECT_EQ(WithoutBlanks(" a\tb\r\nc \n"), "abc");
  // Other control characters and the no-break space are left to the armour.
  EXPECT_EQ(WithoutBlanks("\x0b\x0c\xa0\x01"), "\x0b\x0c\xa0\x01");
  EXPECT_EQ(WithoutBlanks(""), "");
}

TEST(TrimPadding, RemovesTheSpacesAtTheEndOnly) {
  std::string text = " two  words \t   ";
  TrimPadding(text);
  EXPECT_EQ(text, " two  words \t");
  std::string spaces(57, ' ');
  TrimPadding(spaces);
  EXPECT_EQ(spaces, "");
}

TEST_F(MessageText, EncryptedTextIsRecognisedWrappedOrNotAtEveryLength) {
  const uint32_t seed = TestSeed();
  std::mt19937 rng(seed);
  for (size_t n = 1; n <= 240; n += 1 + rng() % 7) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", length " + std::to_string(n));
    const std::string plain = RandomBytes(rng, n);
    const std::string cipher = EncryptForBob(plain);
    EXPECT_TRUE(IsEncryptedText(cipher));
    const std::string received = Wrapped(cipher, 20 + rng() % 60, rng() % 2, rng() % 2);
    EXPECT_TRUE(IsEncryptedText(WithoutBlanks(received)));
    std::string padded = plain;
    padded.resize(cipher.size() / 72 * 58, ' ');
    EXPECT_EQ(BobDecrypts(received), padded);
  }
}

TEST_F(MessageText, PlainTextIsNotTakenForEncryptedText) {
  EXPECT_FALSE(IsEncryptedText(""));
  EXPECT_FALSE(IsEncryptedText(WithoutBlanks(" \r\n\t")));
  EXPECT_FALSE(IsEncryptedText(WithoutBlanks(std::string(200, 'x') + "\r\n")));
  // The five characters themselves, but not at the end of a whole block.
  const std::string tail = kBlockTail;
  EXPECT_FALSE(IsEncryptedText(std::string(66, 'x') + tail + "x"));
  EXPECT_FALSE(IsEncryptedText(std::string(62, 'x') + tail));
  EXPECT_TRUE(IsEncryptedText(std::string(67, 'x') + tail));
  EXPECT_TRUE(IsEncryptedText(std::string(72 + 67, 'x') + tail + "partial"));

  const uint32_t seed = TestSeed();
  std::mt19937 rng(seed);
  for (int round = 0; round < 200; ++round) {
    std::string text(72 + rng() % 400, ' ');
    for (char& c : text) c = static_cast<char>(0x20 + rng() % 95);
    EXPECT_FALSE(IsEncryptedText(WithoutBlanks(text))) << "seed " << seed << ": " << text;
  }
}

TEST_F(MessageText, CutOrDamagedTextGivesBackItsIntactBlocks) {
  const std::string plain = std::string(58, 'a') + std::string(58, 'b') + std::string(20, 'c');
  const std::string cipher = EncryptForBob(plain);
  ASSERT_EQ(cipher.size(), 216u);

  // Cut inside the third block: the two whole blocks, and nothing after them.
  const std::string cut = cipher.substr(0, 180);
  EXPECT_EQ(IncompleteTailChars(cut), 36u);
  EXPECT_EQ(BobDecrypts(cut), plain.substr(0, 116));
  // Cut inside the first block: no whole block is left.
  EXPECT_FALSE(IsEncryptedText(cipher.substr(0, 71)));
  EXPECT_EQ(BobDecrypts(cipher.substr(0, 71)), "");

  // A changed character spoils its own block only.
  std::string damaged = cipher;
  damaged[80] = damaged[80] == '!' ? '"' : '!';
  const std::string got = BobDecrypts(damaged);
  ASSERT_EQ(got.size(), 174u);
  EXPECT_EQ(got.substr(0, 58), plain.substr(0, 58));
  EXPECT_NE(got.substr(58, 58), plain.substr(58, 58));
  EXPECT_EQ(got.substr(116, 20), plain.substr(116));
}

}  // namespace
