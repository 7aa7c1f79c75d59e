#include "crypto/field.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/crypto/reference.h"

namespace {

using ref::Element;
using ref::Make;

// A single coefficient c at t^degree.
Element Monomial(int degree, uint16_t c) {
  ref::Poly p{};
  p[degree] = c;
  return Make(p);
}

void ExpectCoefficients(const uint16_t* e, std::initializer_list<std::pair<int, uint16_t>> nonzero) {
  EXPECT_EQ(e[0], 29);
  uint16_t expected[30] = {};
  for (auto [word, value] : nonzero) expected[word] = value;
  for (int i = 1; i <= 29; ++i) EXPECT_EQ(e[i], expected[i]) << "word " << i;
}

class FieldRandom : public ::testing::Test {
 protected:
  ref::Generator gen{TestSeed()};
};

}  // namespace

TEST(FieldAdd, SelfSumIsCanonicalZero) {
  ref::Generator gen(TestSeed());
  for (int i = 0; i < 100; ++i) {
    Element a = Make(gen.Element()), out;
    FieldAdd(a.w, a.w, out.w);
    EXPECT_TRUE(FieldEqual(out.w, FieldZero));
    FieldAdd(a.w, a.w, a.w);  // in place
    EXPECT_TRUE(FieldEqual(a.w, FieldZero));
  }
}

TEST(FieldEqual, ComparesTheLengthWord) {
  Element a, b;
  b.w[0] = 29;  // same (zero) coefficients, a non-canonical length
  EXPECT_FALSE(FieldEqual(a.w, b.w));
  EXPECT_TRUE(FieldEqual(a.w, FieldZero));
}

TEST(FieldMul, ZeroOperandGivesZeroWhateverTheOther) {
  Element garbage, out;
  for (int i = 0; i < kTempWords; ++i) garbage.w[i] = 0xFFFF;
  garbage.w[0] = 29;
  std::memset(out.w, 0xAB, sizeof out.w);
  FieldMul(FieldZero, garbage.w, out.w);
  EXPECT_EQ(out.w[0], 0);
  for (int i = 1; i < kProductWords; ++i) EXPECT_EQ(out.w[i], 0) << i;
  std::memset(out.w, 0xAB, sizeof out.w);
  FieldMul(garbage.w, FieldZero, out.w);
  EXPECT_EQ(out.w[0], 0);
  for (int i = 1; i < kProductWords; ++i) EXPECT_EQ(out.w[i], 0) << i;
}

TEST(FieldSquare, KnownResults) {
  Element out;
  FieldSquare(FieldZero, out.w);
  EXPECT_TRUE(FieldEqual(out.w, FieldZero));
  // (t^28)^2 = t^56 = t^27 + t^2 + 1.
  FieldSquare(Monomial(28, 1).w, out.w);
  ExpectCoefficients(out.w, {{1, 1}, {3, 1}, {28, 1}});
}

TEST(FieldInverse, KnownResults) {
  Element out;
  // t^-1 = t^28 + t, since t^29 + t = t^2 + 1 + ... : t (t^28 + t) = t^29 + t^2 = 1.
  FieldInverse(Monomial(1, 1).w, out.w);
  ExpectCoefficients(out.w, {{2, 1}, {29, 1}});
  FieldInverse(Monomial(0, 0x00B9).w, out.w);
  ExpectCoefficients(out.w, {{1, 0x1A48}});
  FieldInverse(Monomial(0, 1).w, out.w);
  ExpectCoefficients(out.w, {{1, 1}});
}

TEST_F(FieldRandom, MulAndSquareMatchReference) {
  for (int i = 0; i < 3000; ++i) {
    const ref::Poly pa = gen.Element(), pb = gen.Element();
    Element a = Make(pa), b = Make(pb), out, expected = Make(ref::Mul(pa, pb));
    FieldMul(a.w, b.w, out.w);
    // Canonical operands give a canonical product (the field has no zero
    // divisors), so every word, the length included, must match.
    ASSERT_TRUE(FieldEqual(out.w, expected.w)) << "product " << i;
    FieldSquare(a.w, out.w);
    Element sq = Make(ref::Mul(pa, pa));
    ASSERT_TRUE(FieldEqual(out.w, sq.w)) << "square " << i;
  }
}

TEST_F(FieldRandom, RingLaws) {
  for (int i = 0; i < 500; ++i) {
    Element a = Make(gen.NonZeroElement()), b = Make(gen.NonZeroElement()), c = Make(gen.NonZeroElement());
    Element ab, ba, abc1, abc2, t, sum, left, right1, right2;
    FieldMul(a.w, b.w, ab.w);
    FieldMul(b.w, a.w, ba.w);
    ASSERT_TRUE(FieldEqual(ab.w, ba.w));
    FieldMul(ab.w, c.w, abc1.w);
    FieldMul(b.w, c.w, t.w);
    FieldMul(a.w, t.w, abc2.w);
    ASSERT_TRUE(FieldEqual(abc1.w, abc2.w));
    FieldAdd(b.w, c.w, sum.w);
    FieldMul(a.w, sum.w, left.w);
    FieldMul(a.w, c.w, right2.w);
    FieldAdd(ab.w, right2.w, right1.w);
    ASSERT_TRUE(FieldEqual(left.w, right1.w));
  }
}

TEST_F(FieldRandom, InverseMatchesFermatAndMultipliesToOne) {
  for (int i = 0; i < 300; ++i) {
    const ref::Poly pa = gen.NonZeroElement();
    Element a = Make(pa), inv, prod;
    FieldInverse(a.w, inv.w);
    FieldMul(a.w, inv.w, prod.w);
    ExpectCoefficients(prod.w, {{1, 1}});
    if (i < 10) {  // the reference inverse costs ~900 slow products
      Element expected = Make(ref::Inverse(pa));
      ASSERT_TRUE(FieldEqual(inv.w, expected.w)) << i;
    }
  }
}
