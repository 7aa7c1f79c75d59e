// The reference itself: its field operations against the plain bit-by-bit
// arithmetic of tests/crypto/reference.*, and the pieces of its Euclid
// inversion against known answers. The curve reference is checked by the
// known points of curve_test.cpp.
#include "tests/crypto/literal.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/crypto/reference.h"

namespace {

using ref::Element;
using ref::Make;

}  // namespace

TEST(LiteralField, MulSquareAndInverseMatchThePlainArithmetic) {
  ref::Generator gen(TestSeed());
  for (int i = 0; i < 1000; ++i) {
    const ref::Poly pa = gen.Element(), pb = gen.Element();
    Element a = Make(pa), b = Make(pb), out;
    literal::FieldMul(a.w, b.w, out.w);
    ASSERT_TRUE(FieldEqual(out.w, Make(ref::Mul(pa, pb)).w)) << "product " << i;
    literal::FieldSquare(a.w, out.w);
    ASSERT_TRUE(FieldEqual(out.w, Make(ref::Mul(pa, pa)).w)) << "square " << i;
  }
  for (int i = 0; i < 5; ++i) {  // the plain inverse costs ~900 slow products
    const ref::Poly pa = gen.NonZeroElement();
    Element a = Make(pa), inverse;
    literal::FieldInverse(a.w, inverse.w);
    ASSERT_TRUE(FieldEqual(inverse.w, Make(ref::Inverse(pa)).w)) << "inverse " << i;
  }
}

TEST(LiteralField, ReducedElementOnlyGetsItsLengthRewritten) {
  ref::Generator gen(TestSeed());
  Element a = Make(gen.NonZeroElement());
  Element b = a;
  b.w[0] = 12;
  for (int i = 30; i < kTempWords; ++i) b.w[i] = 0x5555;  // beyond the length: not read
  literal::FieldReduce(b.w);
  EXPECT_EQ(b.w[0], 29);
  EXPECT_EQ(std::memcmp(a.w + 1, b.w + 1, 29 * 2), 0);
}

TEST(LiteralField, PolyAddNormalisesAndScaleShiftDoesNot) {
  using literal::kWorkPolyWords;
  uint16_t a[kWorkPolyWords] = {3, 5, 0, 7}, b[kWorkPolyWords] = {3, 0, 0, 7};
  b[4] = 0x99;  // stale word above the length: must be ignored
  uint16_t out[kWorkPolyWords];
  literal::PolyAdd(a, b, out);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 5);
  literal::PolyAdd(b, b, out);
  EXPECT_EQ(out[0], 0);

  uint16_t v[kWorkPolyWords] = {2, 1, 2};
  literal::PolyScaleShift(v, 3, 2, out);  // 3 t^2 (1 + 2t) = 3t^2 + 6t^3
  EXPECT_EQ(out[0], 4);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(out[2], 0);
  EXPECT_EQ(out[3], 3);
  EXPECT_EQ(out[4], 6);
  uint16_t zero[kWorkPolyWords] = {0};
  literal::PolyScaleShift(zero, 3, 5, out);
  EXPECT_EQ(out[0], 5);  // not normalised
}
