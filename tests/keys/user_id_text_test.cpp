#include "keys/user_id_text.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

PublicKeyRecord WithId(const char* raw) {
  PublicKeyRecord r;
  std::memset(&r, 0, sizeof r);
  std::memcpy(r.userId, raw, std::strlen(raw) > kUserIdBytes ? kUserIdBytes : std::strlen(raw));
  return r;
}

TEST(UserIdText, ControlCharactersAreRefusedAndShownEscaped) {
  EXPECT_TRUE(IsPrintableUserId("Bob (UIN 1234567)"));
  EXPECT_TRUE(IsPrintableUserId("M\xfcller & S\xf6hne"));  // the ANSI code page's letters
  EXPECT_TRUE(IsPrintableUserId(""));
  for (const char* bad : {"a\tb", "line\nbreak", "\x1b[31mred", "del\x7f", "\x01"}) {
    EXPECT_FALSE(IsPrintableUserId(bad)) << bad;
  }
  EXPECT_EQ(DisplayUserId(WithId("Bob")), "Bob");
  EXPECT_EQ(DisplayUserId(WithId("\x1b[2J\tx\x7f\x1f")), "\\x1B[2J\\x09x\\x7F\\x1F");
  EXPECT_EQ(DisplayUserId(WithId("M\xfcller \\x41")), "M\xfcller \\x41") << "only control characters change";
  // Twenty characters, no terminator in the record.
  EXPECT_EQ(DisplayUserId(WithId("12345678901234567890")), "12345678901234567890");
}

}  // namespace
