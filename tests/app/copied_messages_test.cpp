// What a copy gives "Decrypt what I copy": the messages that open without
// asking, found among a chat's lines, and the rule that one copy, or the
// same lines copied again, opens one window.
#include "app/copied_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/formats/cipher.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/strong_key.h"
#include "tests/keys/test_keys.h"

namespace {

using Messages = std::vector<std::string>;

TEST(CopiedMessages, AreTheStrongFormatsInOrderAsTheyStandAndNeverTheOldOne) {
  KeyPair alice, bob;
  MakeKeyPair(alice, "alice");
  MakeKeyPair(bob, "bob");
  StrongKey aliceStrong, bobStrong;
  ASSERT_TRUE(StrongKeyOf(alice.secret, aliceStrong));
  ASSERT_TRUE(StrongKeyOf(bob.secret, bobStrong));
  std::string v3, v2, old;
  ASSERT_EQ(EncryptV3Message("first", 1796000000, alice.secret, aliceStrong, bobStrong, v3), StrongStatus::kOk);
  ASSERT_EQ(EncryptStrongMessage("second", alice.secret, alice.pub, bob.pub, v2), StrongStatus::kOk);
  ASSERT_TRUE(EncryptText("third", alice.secret, bob.point, old));
  // As a chat wraps a long word.
  const std::string wrapped = v3.substr(0, 50) + "\r\n" + v3.substr(50);

  EXPECT_EQ(MessagesOpenedUnasked("[10:01] Alice: " + wrapped + "\r\n[10:02] Alice: " + old + "\r\n[10:03] Alice:\n" +
                                  v2 + "\n[10:04] Me: ok?"),
            (Messages{wrapped, v2}));
  EXPECT_EQ(MessagesOpenedUnasked("[10:02] Alice: " + old), Messages{}) << "the old format needs a key from a menu";
  EXPECT_EQ(MessagesOpenedUnasked("[10:05] Me: no message here"), Messages{});
  EXPECT_EQ(MessagesOpenedUnasked(""), Messages{});
}

TEST(LastCopy, OpensTheSameMessagesOnceInARowAndAgainAfterAnotherCopy) {
  LastCopy last;
  const Messages a = {"?VW3:AAAA.", "?VW2:BBBB."}, b = {"?VW3:CCCC."};
  EXPECT_FALSE(last.Repeats(a));
  EXPECT_TRUE(last.Repeats(a)) << "the same copy's second change, or the same lines copied again";
  EXPECT_TRUE(last.Repeats(a));
  EXPECT_FALSE(last.Repeats(b));
  EXPECT_FALSE(last.Repeats({"?VW2:BBBB.", "?VW3:AAAA."})) << "other messages, or in another order";
  EXPECT_FALSE(last.Repeats({}));
  EXPECT_TRUE(last.Repeats({})) << "nothing twice is nothing new";
  EXPECT_FALSE(last.Repeats({"?VW2:BBBB.", "?VW3:AAAA."})) << "copied again after a copy without messages";
}

}  // namespace
