#include "keys/formats/base64.h"

#include <gtest/gtest.h>

#include <string>


namespace {

std::string Encode(std::string_view bytes) {
  std::string out(Base64Chars(bytes.size()), '\0');
  Base64Encode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out.data());
  return out;
}

// The bytes, or "refused".
std::string Decode(std::string_view text) {
  std::string out(Base64MaxBytes(text.size()), '\0');
  size_t size = 99;
  if (!Base64Decode(text.data(), text.size(), reinterpret_cast<uint8_t*>(out.data()), size)) {
    EXPECT_EQ(size, 0u) << text;
    return "refused";
  }
  return out.substr(0, size);
}

// RFC 4648, section 10.
TEST(Base64, GivesTheRfcVectorsBothWays) {
  const char* const cases[][2] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                  {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                  {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Encode(c[0]), c[1]);
    EXPECT_EQ(Decode(c[1]), c[0]);
  }
  EXPECT_EQ(Encode("\xfb\xff\xbf"), "+/+/");
}

TEST(Base64, RefusesAllButTheOneEncoding) {
  using namespace std::string_view_literals;
  for (std::string_view text : {
           "Zg="sv,        // length not a multiple of 4
           "Zm9vY"sv,
           "Zm9v\nYmFy"sv, // line break
           "Zm9v YmFy"sv,  // blank
           "Zm9vYm-y"sv,   // the URL-safe alphabet
           "Zm9vYm_y"sv,
           "Zg==Zg=="sv,   // padding before the end
           "Z==="sv,       // three padding characters
           "===="sv,
           "Zm=v"sv,       // '=' inside the last group
           "=m9v"sv,
           "Zh=="sv,       // bits the padding drops: "Zg==" is the encoding
           "Zm9="sv,       // "Zm8=" is
           "Zg\0="sv,      // NUL
           "Zm9v\xc3\xa4=="sv,  // beyond ASCII
       }) {
    EXPECT_EQ(Decode(text), "refused") << text;
  }
}

// Every text of four characters from the alphabet and '=': the decoder must
// accept exactly as many as there are strings of 1 to 3 bytes, each giving
// back its text when encoded again. As encoding is one to one, that makes
// the accepted texts exactly the encodings.
TEST(Base64, AcceptsExactlyTheEncodingsOfFourCharacters) {
  const std::string symbols = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
  uint64_t accepted = 0;
  char text[4];
  uint8_t bytes[3];
  char again[4];
  for (char a : symbols) {
    for (char b : symbols) {
      for (char c : symbols) {
        for (char d : symbols) {
          text[0] = a, text[1] = b, text[2] = c, text[3] = d;
          size_t size = 0;
          if (!Base64Decode(text, 4, bytes, size)) continue;
          ++accepted;
          Base64Encode(bytes, size, again);
          ASSERT_EQ(std::string(again, 4), std::string(text, 4));
        }
      }
    }
  }
  EXPECT_EQ(accepted, 256u + 65536u + 16777216u);
}

}  // namespace
