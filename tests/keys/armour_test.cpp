#include "keys/formats/armour.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "tests/keys/test_keys.h"

namespace {

// Plain reference: the 7 bytes as one 56-bit number cut into 7-bit slices.
std::string ReferenceEncode(const uint8_t* b) {
  uint64_t v = 0;
  for (int i = 0; i < 7; ++i) v = v << 8 | b[i];
  std::string c(8, '\0');
  for (int i = 0; i < 8; ++i) c[i] = static_cast<char>(((v >> (7 * (7 - i))) & 0x7F) + 33);
  return c;
}

std::string Encode(const uint8_t* b) {
  char c[8];
  ArmourEncodeGroup(b, c);
  return std::string(c, 8);
}

std::string Decode(const std::string& c) {
  uint8_t b[7];
  ArmourDecodeGroup(c.data(), b);
  return std::string(reinterpret_cast<char*>(b), 7);
}

TEST(Armour, KnownGroups) {
  const uint8_t abc[7] = {'A', 'B', 'C', 'D', 'E', 'F', 'G'};
  EXPECT_EQ(Encode(abc), "AqiUC6-h");
  EXPECT_EQ(Decode("AqiUC6-h"), "ABCDEFG");

  const uint8_t zeros[7] = {};
  EXPECT_EQ(Encode(zeros), std::string(8, '\x21'));
  EXPECT_EQ(Decode(std::string(8, '\x21')), std::string(7, '\0'));

  uint8_t ones[7];
  std::memset(ones, 0xFF, 7);
  EXPECT_EQ(Encode(ones), std::string(8, '\xA0'));
  EXPECT_EQ(Decode(std::string(8, '\xA0')), std::string(7, '\xFF'));
}

TEST(Armour, SpacesDecodeToAllOnes) {
  // A space is below the armour's range: (0x20 - 33) mod 256 = 0xFF, whose
  // high bit is ORed into the neighbouring byte.
  EXPECT_EQ(Decode("        "), std::string(7, '\xFF'));
}

TEST(Armour, EveryByteAtEveryPositionMatchesReferenceAndComesBack) {
  for (int pos = 0; pos < 7; ++pos) {
    for (int v = 0; v < 256; ++v) {
      uint8_t b[7] = {0x5A, 0xA5, 0x00, 0xFF, 0x3C, 0xC3, 0x81};
      b[pos] = static_cast<uint8_t>(v);
      const std::string c = Encode(b);
      ASSERT_EQ(c, ReferenceEncode(b)) << "byte " << v << " at " << pos;
      ASSERT_EQ(Decode(c), std::string(reinterpret_cast<char*>(b), 7));
    }
  }
}

TEST(Armour, RandomGroupsStayInRangeAndComeBack) {
  std::mt19937 rng(TestSeed());
  for (int n = 0; n < 100000; ++n) {
    uint8_t b[7];
    for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    const std::string c = Encode(b);
    for (char ch : c) {
      const unsigned u = static_cast<uint8_t>(ch);
      ASSERT_GE(u, 0x21u);
      ASSERT_LE(u, 0xA0u);
    }
    ASSERT_EQ(c, ReferenceEncode(b));
    ASSERT_EQ(Decode(c), std::string(reinterpret_cast<char*>(b), 7));
  }
}

}  // namespace
