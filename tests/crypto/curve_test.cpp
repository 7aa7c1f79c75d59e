#include "crypto/curve.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/crypto/curve_values.h"
#include "tests/crypto/literal.h"
#include "tests/crypto/reference.h"

namespace {

CurvePoint FromWords(const uint16_t (&x)[29], const uint16_t (&y)[29]) {
  CurvePoint p{};
  p.x[0] = p.y[0] = 29;
  std::memcpy(p.x + 1, x, sizeof x);
  std::memcpy(p.y + 1, y, sizeof y);
  return p;
}

bool SamePoint(const CurvePoint& a, const CurvePoint& b) {
  if (IsPointAtInfinityVar(a) || IsPointAtInfinityVar(b)) return IsPointAtInfinityVar(a) && IsPointAtInfinityVar(b);
  return FieldEqual(a.x, b.x) && FieldEqual(a.y, b.y);
}

// The reference's affine addition: the known points below check it, and it
// checks the ladder.
CurvePoint Add(const CurvePoint& a, const CurvePoint& b) {
  CurvePoint r;
  literal::PointAdd(a, b, r);
  return r;
}

// Bits of a hexadecimal number, most significant digit first.
Scalar FromHex(const std::string& hex) {
  Scalar s;
  int n = 0;
  for (auto it = hex.rbegin(); it != hex.rend(); ++it) {
    const int digit = std::stoi(std::string(1, *it), nullptr, 16);
    for (int b = 0; b < 4; ++b) s.w[++n] = (digit >> b) & 1;
  }
  while (n > 0 && s.w[n] == 0) --n;
  s.w[0] = static_cast<uint16_t>(n);
  return s;
}

Scalar FromInt(uint16_t v) {
  Scalar s;
  IntToBits(v, s.w, 16);
  int n = 16;
  while (n > 0 && s.w[n] == 0) --n;
  s.w[0] = static_cast<uint16_t>(n);
  return s;
}

CurvePoint Multiply(const Scalar& k, const CurvePoint& p) {
  CurvePoint r;
  PointMultiply(k.w, p, r);
  return r;
}

CurvePoint Negate(const CurvePoint& p) {
  CurvePoint n = p;
  FieldAdd(p.x, p.y, n.y);
  return n;
}

const uint16_t k2GX[29] = {0xDC7C, 0x01EE, 0xD233, 0xF98F, 0x88F1, 0x3C02, 0xB7E9, 0xEB4A, 0xA37D, 0x0DCF,
                           0x73F0, 0xB3E4, 0xD93B, 0xCAFC, 0x8115, 0x5DCC, 0x3125, 0xE9ED, 0xFD4C, 0x124B,
                           0x3352, 0x2493, 0x8C9C, 0x820B, 0x47D5, 0x5E29, 0x660E, 0xDD5A, 0x95CE};
const uint16_t k2GY[29] = {0x1BC8, 0x4F45, 0x12A0, 0xBD8E, 0xD10B, 0xD195, 0x3673, 0x7377, 0xC7BF, 0x3EDA,
                           0xC004, 0x480A, 0x167E, 0x6A8F, 0xBF4D, 0x87D2, 0x7DDC, 0x1A8A, 0x28B7, 0xDDD4,
                           0x1812, 0xC3DF, 0x4B57, 0x7B6B, 0xB2C7, 0x4138, 0x3C6D, 0xC0BD, 0x281F};

}  // namespace

TEST(Curve, BasePointAndItsDoubleAreOnTheCurve) {
  EXPECT_TRUE(IsOnCurveVar(BasePoint));
  const CurvePoint twoG = Add(BasePoint, BasePoint);
  EXPECT_TRUE(SamePoint(twoG, FromWords(k2GX, k2GY)));
  EXPECT_TRUE(IsOnCurveVar(twoG));
}

TEST(Curve, InfinityIsTheNeutralElement) {
  CurvePoint o;
  SetPointAtInfinity(o);
  EXPECT_TRUE(SamePoint(Add(o, BasePoint), BasePoint));
  EXPECT_TRUE(SamePoint(Add(BasePoint, o), BasePoint));
  EXPECT_TRUE(IsPointAtInfinityVar(Add(o, o)));
  const CurvePoint sum = Add(BasePoint, Negate(BasePoint));
  EXPECT_TRUE(IsPointAtInfinityVar(sum));
  EXPECT_TRUE(FieldEqual(sum.y, PointAtInfinity));
  EXPECT_TRUE(IsPointAtInfinityVar(Multiply(FromInt(7), o)));
}

TEST(Curve, DoublingThePointOfOrderTwoGivesInfinity) {
  CurvePoint p{};
  FieldCopy(p.x, FieldZero);
  p.y[0] = 29;
  p.y[1] = 0x1234;
  EXPECT_TRUE(IsPointAtInfinityVar(Add(p, p)));
}

TEST(PointMultiply, SmallScalarsMatchRepeatedAddition) {
  CurvePoint sum = BasePoint;
  for (uint16_t k = 2; k <= 40; ++k) {
    sum = Add(sum, BasePoint);  // k G by k - 1 additions
    ASSERT_TRUE(SamePoint(Multiply(FromInt(k), BasePoint), sum)) << k;
  }
  const CurvePoint twoG = Add(BasePoint, BasePoint);
  EXPECT_TRUE(SamePoint(Multiply(FromInt(5), BasePoint), Add(twoG, Add(twoG, BasePoint))));
}

TEST(PointMultiply, BitCountsZeroAndOneGiveThePointItself) {
  Scalar zero, one;
  one.w[0] = 1;
  one.w[1] = 1;
  EXPECT_TRUE(SamePoint(Multiply(zero, BasePoint), BasePoint));
  EXPECT_TRUE(SamePoint(Multiply(one, BasePoint), BasePoint));
}

TEST(PointMultiply, OnlyWordsEqualToOneAreSetBits) {
  Scalar five = FromInt(5), odd = five;
  odd.w[2] = 2;  // not 1: counts as 0
  EXPECT_TRUE(SamePoint(Multiply(odd, BasePoint), Multiply(five, BasePoint)));
  odd.w[2] = 0xFFFF;
  EXPECT_TRUE(SamePoint(Multiply(odd, BasePoint), Multiply(five, BasePoint)));
}

// An outside known answer for the whole ladder: r G = O and (r + 1) G = G.
TEST(PointMultiply, OrderOfTheBasePoint) {
  const Scalar r = FromHex(kOrderHex);
  EXPECT_EQ(r.w[0], 449);
  EXPECT_TRUE(IsPointAtInfinityVar(Multiply(r, BasePoint)));
  Scalar r1 = r;
  r1.w[1] = 0;  // r is odd: r + 1 only clears bit 0 and carries
  int i = 2;
  while (r1.w[i] == 1) r1.w[i++] = 0;
  r1.w[i] = 1;
  EXPECT_TRUE(SamePoint(Multiply(r1, BasePoint), BasePoint));
}

TEST(PointMultiply, DiffieHellmanCommutes) {
  ref::Generator gen(TestSeed());
  for (int trial = 0; trial < 3; ++trial) {
    Scalar a, b;
    for (Scalar* s : {&a, &b}) {
      for (int i = 1; i <= kMaxScalarBits; ++i) s->w[i] = gen.rng() & 1;
      s->w[kMaxScalarBits] = 1;
      s->w[0] = kMaxScalarBits;
    }
    const CurvePoint aG = Multiply(a, BasePoint), bG = Multiply(b, BasePoint);
    EXPECT_TRUE(IsOnCurveVar(aG));
    EXPECT_TRUE(SamePoint(Multiply(a, bG), Multiply(b, aG))) << trial;
  }
}

TEST(IntToBits, WritesCountBitsAndLeavesTheCount) {
  Scalar k;
  k.w[0] = 99;
  k.w[17] = 7;
  IntToBits(5, k.w, 16);
  EXPECT_EQ(k.w[0], 99);
  const uint16_t expected[16] = {1, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(k.w[i + 1], expected[i]) << i;
  EXPECT_EQ(k.w[17], 7);
  IntToBits(0xFFFF, k.w, 0);
  EXPECT_EQ(k.w[1], 1);
}
