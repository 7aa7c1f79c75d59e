#include "tests/crypto/gf16.h"

#include <gtest/gtest.h>

#include "tests/crypto/reference.h"

TEST(Gf16Tables, KnownEntries) {
  const uint16_t head[] = {0x0001, 0x0003, 0x0005, 0x000F, 0x0011, 0x0033, 0x0055, 0x00FF, 0x0101,
                           0x0303, 0x0505, 0x0F0F, 0x1111, 0x3333, 0x5555, 0xFFFF, 0x002A, 0x007E};
  for (size_t i = 0; i < std::size(head); ++i) EXPECT_EQ(Gf16Exp[i], head[i]) << i;
  const uint16_t tail[] = {0x2227, 0x6669, 0xAABB, 0xFFE6, 0x0001};
  for (size_t i = 0; i < std::size(tail); ++i) EXPECT_EQ(Gf16Exp[65531 + i], tail[i]) << i;
  EXPECT_EQ(Gf16Log[0], 0);
  EXPECT_EQ(Gf16Log[1], 0);
  EXPECT_EQ(Gf16Log[3], 1);
  EXPECT_EQ(Gf16Log[2], 59241);
}

// Both tables whole: exp runs through every nonzero value once per period,
// log inverts it, and the extension past 65535 repeats the period.
TEST(Gf16Tables, AreInversePermutations) {
  std::vector<bool> seen(65536);
  for (uint32_t i = 0; i < 65535; ++i) {
    const uint16_t e = Gf16Exp[i];
    ASSERT_NE(e, 0);
    ASSERT_FALSE(seen[e]) << i;
    seen[e] = true;
    ASSERT_EQ(Gf16Log[e], i);
    if (i > 0) {
      ASSERT_EQ(e, ref::Gf16Mul(Gf16Exp[i - 1], 3)) << i;
    }
  }
  for (uint32_t i = 65535; i < Gf16Exp.size(); ++i) ASSERT_EQ(Gf16Exp[i], Gf16Exp[i - 65535]) << i;
}

TEST(Gf16Mul, KnownProducts) {
  EXPECT_EQ(Gf16Mul(0x8000, 2), 0x002B);
  EXPECT_EQ(Gf16Mul(2, 0x8015), 1);
  EXPECT_EQ(Gf16Mul(0x00B9, 0x1A48), 1);
  EXPECT_EQ(Gf16Div(1, 0x00B9), 0x1A48);
  EXPECT_EQ(Gf16Mul(0, 0xFFFF), 0);
  EXPECT_EQ(Gf16Mul(0xFFFF, 0), 0);
  EXPECT_EQ(Gf16Div(0, 0x1234), 0);
}

// Every a against edge and random b, bit by bit; then random pairs.
TEST(Gf16Mul, MatchesShiftAndXor) {
  ref::Generator gen(TestSeed());
  std::vector<uint16_t> bs = {0, 1, 2, 3, 0x8000, 0xFFFF, 0x00B9};
  for (int i = 0; i < 9; ++i) bs.push_back(static_cast<uint16_t>(gen.rng()));
  for (uint32_t a = 0; a < 65536; ++a)
    for (uint16_t b : bs) ASSERT_EQ(Gf16Mul(a, b), ref::Gf16Mul(a, b)) << a << " * " << b;
  for (int i = 0; i < 1000000; ++i) {
    const uint16_t a = static_cast<uint16_t>(gen.rng()), b = static_cast<uint16_t>(gen.rng());
    ASSERT_EQ(Gf16Mul(a, b), ref::Gf16Mul(a, b)) << a << " * " << b;
  }
}

TEST(Gf16Div, UndoesMulForEveryDivisor) {
  ref::Generator gen(TestSeed());
  for (uint32_t b = 1; b < 65536; ++b) {
    const uint16_t a = static_cast<uint16_t>(gen.rng());
    ASSERT_EQ(Gf16Mul(Gf16Div(a, b), b), a) << a << " / " << b;
    ASSERT_EQ(Gf16Mul(Gf16Div(1, b), b), 1) << b;
  }
}
