#include "keys/formats/message_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "keys/formats/cipher.h"
#include "keys/formats/message_text.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/strong_key.h"
#include "tests/keys/test_keys.h"

namespace {

constexpr uint64_t kNow = 1796000000;

// One message of each format from Alice to Bob, made by the real code.
class MessageSearch : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    MakeKeyPair(alice_, "alice");
    MakeKeyPair(bob_, "bob");
    StrongKey aliceStrong, bobStrong;
    ASSERT_TRUE(StrongKeyOf(alice_.secret, aliceStrong));
    ASSERT_TRUE(StrongKeyOf(bob_.secret, bobStrong));
    ASSERT_EQ(EncryptV3Message("\xce\xb3\xce\xb5\xce\xb9\xce\xac", kNow, alice_.secret, aliceStrong, bobStrong, v3_),
              StrongStatus::kOk);
    ASSERT_EQ(EncryptStrongMessage("hello", alice_.secret, alice_.pub, bob_.pub, v2_), StrongStatus::kOk);
    // Three blocks.
    ASSERT_TRUE(EncryptText(std::string(150, 'x'), alice_.secret, bob_.point, old_));
  }
  static const std::string& Of(MessageKind kind) {
    return kind == MessageKind::kV3 ? v3_ : kind == MessageKind::kV2 ? v2_ : old_;
  }
  static KeyPair alice_, bob_;
  static std::string v3_, v2_, old_;
};
KeyPair MessageSearch::alice_, MessageSearch::bob_;
std::string MessageSearch::v3_, MessageSearch::v2_, MessageSearch::old_;

std::string Span(std::string_view text, const FoundMessage& m) {
  return std::string(text.substr(m.begin, m.end - m.begin));
}

// As a chat shows a long word: cut into lines of width characters, each
// ended by CR LF or LF and perhaps indented.
std::string Wrapped(std::mt19937& rng, const std::string& text) {
  const size_t width = 5 + rng() % 80;
  const bool crlf = rng() % 2;
  const bool indent = rng() % 4 == 0;
  std::string out;
  for (size_t i = 0; i < text.size(); i += width) {
    if (i > 0) out += std::string(crlf ? "\r\n" : "\n") + (indent ? "  " : "");
    out += text.substr(i, width);
  }
  return out;
}

// What a copy from a chat carries around its messages: names, times, words
// in English, in other scripts (as a code page's bytes, or as the byte that
// stands for a character it cannot hold) and punctuation, pieces of the
// formats' marks among them. At least least words: old-format messages with
// only blanks between them read as one. Blanks join what a chat wrapped, so
// pieces side by side can make a mark by the formats' own rules, which no
// search can tell from one: no word ends in '#', which "\"!aA" would make a
// block's tail, and the last word is a name or a time, which the message
// after it cannot complete to a prefix ("?" "VW3" then ':').
std::string Chatter(std::mt19937& rng, size_t least) {
  static const char* const kWords[] = {"Alice",  "Bob:", "12:03", "[09:41]", "ok", "?",    "VW3",  "see you.",
                                       "a.b.c", "+1",   "==",    "\xe4\xf6\xfc", "\x80\x9f", "\x01\x01", "(2)",
                                       "?VW",   "#1",   "\"!aA", "https://x.example/?q=1"};
  static const char* const kLastWords[] = {"Alice", "Bob:", "12:03", "[09:41]"};
  std::string out;
  const size_t words = least + rng() % 8;
  for (size_t i = 0; i < words; ++i) {
    out += i + 1 < words ? kWords[rng() % (sizeof kWords / sizeof *kWords)] : kLastWords[rng() % 4];
    out += " \n\t"[rng() % 3];
  }
  return out;
}

TEST_F(MessageSearch, FindsEachFormatAloneWithItsExactPlace) {
  for (MessageKind kind : {MessageKind::kV3, MessageKind::kV2, MessageKind::kOld}) {
    const std::string& message = Of(kind);
    const std::string text = "Alice, 12:03\r\n" + message + "\r\nBob, 12:04\r\nthanks";
    const std::vector<FoundMessage> found = FindMessages(text);
    ASSERT_EQ(found.size(), 1u) << static_cast<int>(kind);
    EXPECT_EQ(found[0].kind, kind);
    EXPECT_EQ(Span(text, found[0]), message);
  }
}

TEST_F(MessageSearch, TheFoundV3MessageOpens) {
  const std::string text = "[12:03] alice: " + v3_.substr(0, 40) + "\n   " + v3_.substr(40) + " (edited)";
  const std::vector<FoundMessage> found = FindMessages(text);
  ASSERT_EQ(found.size(), 1u);
  StrongKey bobStrong, aliceStrong;
  ASSERT_TRUE(StrongKeyOf(bob_.secret, bobStrong));
  ASSERT_TRUE(StrongKeyOf(alice_.secret, aliceStrong));
  std::string plain;
  V3Parties parties;
  EXPECT_EQ(DecryptV3Message(Span(text, found[0]), bob_.secret, bobStrong, &aliceStrong, 1, -1, plain, parties),
            StrongStatus::kOk);
  EXPECT_EQ(plain, "\xce\xb3\xce\xb5\xce\xb9\xce\xac");
}

TEST_F(MessageSearch, APrefixCutByALineBreakIsFound) {
  const std::string text = "alice: ?V\r\nW" + v3_.substr(3) + "\n";
  const std::vector<FoundMessage> found = FindMessages(text);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].kind, MessageKind::kV3);
  EXPECT_EQ(WithoutBlanks(Span(text, found[0])), v3_);
}

// Words written against a message, with no blank between, stay out of it:
// before an old-format one, the tail of its first block fixes its start.
TEST_F(MessageSearch, WordsTouchingAMessageStayOutsideIt) {
  for (MessageKind kind : {MessageKind::kV3, MessageKind::kV2, MessageKind::kOld}) {
    const std::string text = "alice:" + Of(kind) + "\n";
    const std::vector<FoundMessage> found = FindMessages(text);
    ASSERT_EQ(found.size(), 1u) << static_cast<int>(kind);
    EXPECT_EQ(Span(text, found[0]), Of(kind));
  }
  const std::string text = v3_ + "(sent)";
  ASSERT_EQ(FindMessages(text).size(), 1u);
  EXPECT_EQ(Span(text, FindMessages(text)[0]), v3_);
}

// Its reader then refuses it as damaged.
TEST_F(MessageSearch, AStrongMessageCutBeforeItsEndIsFoundWithoutIt) {
  const std::string cut = v3_.substr(0, v3_.size() - 10);
  const std::string text = cut + " -- Bob, 12:04";
  const std::vector<FoundMessage> found = FindMessages(text);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(Span(text, found[0]), cut);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadV3Armour(Span(text, found[0]), bytes), StrongStatus::kMalformed);
}

TEST_F(MessageSearch, OldFormatMessagesApartAreTwoAndAnIncompleteBlockIsLeft) {
  const std::string text = old_ + "\nok\n" + old_.substr(0, 72) + "\n" + old_.substr(0, 50);
  const std::vector<FoundMessage> found = FindMessages(text);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(Span(text, found[0]), old_);
  EXPECT_EQ(Span(text, found[1]), old_.substr(0, 72));
}

TEST_F(MessageSearch, TextWithoutMessagesHasNone) {
  for (const char* text : {"", " \r\n", "?VW", "?VW4:abc.", "see ?VW3 there", "\"!aA\"!aA"})
    EXPECT_TRUE(FindMessages(text).empty()) << text;
  EXPECT_TRUE(FindMessages(std::string(1000, '!')).empty());
}

// Chats with messages of every format among random lines, each message
// wrapped as a chat wraps it: every message is found, in order, and nothing
// else.
TEST_F(MessageSearch, RandomChatsGiveBackTheirMessagesInOrder) {
  const uint32_t seed = TestSeed();
  std::mt19937 rng(seed);
  for (int round = 0; round < 2000; ++round) {
    std::string text = Chatter(rng, 0);
    std::vector<MessageKind> kinds;
    const size_t count = rng() % 5;
    for (size_t i = 0; i < count; ++i) {
      const MessageKind kind = static_cast<MessageKind>(rng() % 3);
      kinds.push_back(kind);
      text += rng() % 4 ? "\r\n" : "";  // now and then right against a word
      text += rng() % 2 ? Wrapped(rng, Of(kind)) : Of(kind);
      text += "\r\n" + Chatter(rng, 1);
    }
    const std::vector<FoundMessage> found = FindMessages(text);
    std::string spans;
    for (const FoundMessage& m : found) spans += "\n[" + Span(text, m) + "]";
    ASSERT_EQ(found.size(), kinds.size())
        << "seed " << seed << " round " << round << "\n" << text << "\nfound:" << spans;
    for (size_t i = 0; i < kinds.size(); ++i) {
      EXPECT_EQ(found[i].kind, kinds[i]) << "seed " << seed << " round " << round;
      EXPECT_EQ(WithoutBlanks(Span(text, found[i])), Of(kinds[i])) << "seed " << seed << " round " << round;
    }
  }
}

}  // namespace
