// The fast constant-time arithmetic against the first-written algorithms
// (tests/crypto/literal.*), on both carry-less paths: word for word, the
// length word and the point at infinity included.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "crypto/basis.h"
#include "crypto/clmul_portable.h"
#include "crypto/curve.h"
#include "crypto/dispatch.h"
#include "crypto/field.h"
#include "tests/crypto/curve_values.h"
#include "tests/crypto/literal.h"
#include "tests/crypto/reference.h"

namespace {

using ref::Element;
using ref::Make;

Element Constant(uint16_t c) {
  ref::Poly p{};
  p[0] = c;
  return Make(p);
}

// Runs body once per carry-less path this CPU has, then restores the choice.
template <typename Body>
void OnEveryPath(Body body) {
  const ClmulPath original = ActiveClmulPath();
  std::vector<ClmulPath> paths = {ClmulPath::kPortable};
  if (HasClmulInstruction()) paths.push_back(ClmulPath::kInstruction);
  for (ClmulPath path : paths) {
    ASSERT_EQ(SelectClmulPath(path), path);
    SCOPED_TRACE(path == ClmulPath::kPortable ? "portable path" : "instruction path");
    body();
  }
  SelectClmulPath(original);
}

// Word for word, the length words included.
bool SameWords(const CurvePoint& a, const CurvePoint& b) {
  return FieldEqual(a.x, b.x) && FieldEqual(a.y, b.y);
}

// Scalars as little-endian 32-bit limbs, for multiples of the group order.
using Big = std::vector<uint32_t>;

Big BigFromHex(const char* hex) {
  Big b(16, 0);
  const size_t n = std::strlen(hex);
  for (size_t d = 0; d < n; ++d) {
    const uint32_t v = static_cast<uint32_t>(std::stoul(std::string(1, hex[n - 1 - d]), nullptr, 16));
    b[d / 8] |= v << (4 * (d % 8));
  }
  return b;
}

Big MulSmall(const Big& a, uint32_t m) {
  Big r(a.size());
  uint64_t carry = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    carry += uint64_t{a[i]} * m;
    r[i] = static_cast<uint32_t>(carry);
    carry >>= 32;
  }
  return r;
}

// a + d for d in {-1, 0, 1}.
Big AddSmall(Big a, int d) {
  for (size_t i = 0; d != 0 && i < a.size(); ++i) {
    const uint32_t before = a[i];
    a[i] += static_cast<uint32_t>(d);
    if ((d > 0 && a[i] > before) || (d < 0 && a[i] < before)) break;
  }
  return a;
}

Scalar ToScalar(const Big& b) {
  Scalar s;
  for (int i = 1; i <= kMaxScalarBits; ++i) {
    s.w[i] = (b[(i - 1) / 32] >> ((i - 1) % 32)) & 1;
    if (s.w[i]) s.w[0] = static_cast<uint16_t>(i);
  }
  return s;
}

// Points of the curve over the subfield GF(2^16) (b lies there): their
// orders divide the cofactor 65272, so multiples run into O and -P often.
std::vector<CurvePoint> SubfieldPoints() {
  std::vector<CurvePoint> points;
  const uint16_t b = CurveB[1];
  for (uint32_t x = 0; points.size() < 6; ++x) {
    const uint16_t xx = static_cast<uint16_t>(x * 4099 + 3);  // spread over the subfield
    const uint16_t x3 = ref::Gf16Mul(ref::Gf16Mul(xx, xx), xx);
    for (uint32_t y = 0; y < 65536; ++y) {
      const uint16_t yy = static_cast<uint16_t>(y);
      if ((ref::Gf16Mul(yy, yy) ^ ref::Gf16Mul(xx, yy) ^ x3 ^ b) != 0) continue;
      CurvePoint p{};
      p.x[0] = kFieldDegree;
      p.x[1] = xx;
      p.y[0] = yy ? kFieldDegree : 0;
      p.y[1] = yy;
      points.push_back(p);
      break;
    }
  }
  CurvePoint two{};  // (0, sqrt b), the point of order 2
  for (uint32_t y = 1; y < 65536; ++y)
    if (ref::Gf16Mul(static_cast<uint16_t>(y), static_cast<uint16_t>(y)) == b) two.y[1] = static_cast<uint16_t>(y);
  two.y[0] = kFieldDegree;
  points.push_back(two);
  return points;
}

void ExpectSameAsLiteral(const Scalar& k, const CurvePoint& p, const std::string& what) {
  CurvePoint fast, expected;
  literal::PointMultiply(k.w, p, expected);
  PointMultiply(k.w, p, fast);
  EXPECT_TRUE(SameWords(fast, expected)) << what;
}

class FastRandom : public ::testing::Test {
 protected:
  ref::Generator gen{TestSeed()};
};

}  // namespace

// The constants of the change of basis are what makes it a field
// isomorphism: beta and tau are roots of the two defining polynomials, and
// alpha maps to z.
TEST(Basis, ConstantsAreRootsAndAlphaMapsToZ) {
  using F = Gf464<ClmulPortable>;
  F::E beta, tau, acc, t;
  F::Load(BasisBeta, beta);
  F::Load(BasisTau, tau);
  auto power = [&](const F::E a, int n, F::E out) {
    F::SetOne(out);
    for (int i = 0; i < n; ++i) F::Mul(out, a, out);
  };
  // x^16 + x^5 + x^3 + x + 1 at beta.
  F::SetOne(acc);
  for (int e : {16, 5, 3, 1}) {
    power(beta, e, t);
    F::Add(acc, t, acc);
  }
  EXPECT_NE(F::ZeroMask(acc), 0u);
  // t^29 + t^2 + 1 at tau.
  F::SetOne(acc);
  for (int e : {29, 2}) {
    power(tau, e, t);
    F::Add(acc, t, acc);
  }
  EXPECT_NE(F::ZeroMask(acc), 0u);

  uint64_t z[kGf464Words];
  F::E image;
  ApplyBasis<ClmulPortable>(StoredToWorking(), BasisAlpha, image);
  F::Store(image, z);
  EXPECT_EQ(z[0], 2u);
  for (int i = 1; i < kGf464Words; ++i) EXPECT_EQ(z[i], 0u) << i;
}

TEST_F(FastRandom, FieldOperationsMatchTheLiteralOnesOnBiasedInputs) {
  OnEveryPath([&] {
    for (int i = 0; i < 2000; ++i) {
      Element a = Make(gen.Element()), b = Make(gen.Element()), fast, expected;
      FieldMul(a.w, b.w, fast.w);
      literal::FieldMul(a.w, b.w, expected.w);
      ASSERT_EQ(std::memcmp(fast.w, expected.w, kProductWords * 2), 0) << "product " << i;
      FieldSquare(a.w, fast.w);
      literal::FieldSquare(a.w, expected.w);
      ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << "square " << i;
      if (a.w[0] == 0) continue;
      FieldInverse(a.w, fast.w);
      literal::FieldInverse(a.w, expected.w);
      ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << "inverse " << i;
    }
  });
}

// A length word of 0 makes the product zero whatever the words hold.
TEST(FastPath, ZeroLengthOperandGivesTheZeroElement) {
  OnEveryPath([] {
    Element junk, fast;
    for (int i = 1; i <= 29; ++i) junk.w[i] = static_cast<uint16_t>(0x9E37 * i);
    FieldMul(junk.w, Constant(5).w, fast.w);
    EXPECT_TRUE(FieldEqual(fast.w, FieldZero));
    junk.w[0] = 29;
    FieldMul(junk.w, FieldZero, fast.w);
    EXPECT_TRUE(FieldEqual(fast.w, FieldZero));
  });
}

// All of GF(2^16), as the constant coefficient and as the top one.
TEST(FastPath, EveryElementOfTheSubfield) {
  const uint16_t others[] = {1, 2, 0x8000, 0xFFFF, 0x00B9, 0x1234};
  OnEveryPath([&] {
    const bool portable = ActiveClmulPath() == ClmulPath::kPortable;
    for (uint32_t c = 0; c < 65536; ++c) {
      Element a = Constant(static_cast<uint16_t>(c)), top, fast, expected;
      top.w[0] = c ? 29 : 0;
      top.w[29] = static_cast<uint16_t>(c);
      for (uint16_t o : others) {
        const Element b = Constant(o);
        FieldMul(a.w, b.w, fast.w);
        literal::FieldMul(a.w, b.w, expected.w);
        ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << c << " * " << o;
        FieldMul(top.w, b.w, fast.w);
        literal::FieldMul(top.w, b.w, expected.w);
        ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << c << " t^28 * " << o;
      }
      FieldSquare(top.w, fast.w);
      literal::FieldSquare(top.w, expected.w);
      ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << c << " t^28 squared";
      // The portable inversion is slow enough to sample.
      if (c == 0 || (portable && c % 61 != 1)) continue;
      FieldInverse(a.w, fast.w);
      literal::FieldInverse(a.w, expected.w);
      ASSERT_TRUE(FieldEqual(fast.w, expected.w)) << "inverse of " << c;
    }
  });
}

TEST_F(FastRandom, RandomScalarsOnTheBasePointAndOnOtherPoints) {
  OnEveryPath([&] {
    CurvePoint q;
    literal::PointAdd(BasePoint, BasePoint, q);
    for (int trial = 0; trial < 6; ++trial) {
      Scalar k;
      k.w[0] = static_cast<uint16_t>(trial < 3 ? kMaxScalarBits : 2 + gen.rng() % 463);
      for (int i = 1; i < k.w[0]; ++i) k.w[i] = gen.rng() & 1;
      k.w[k.w[0]] = 1;
      ExpectSameAsLiteral(k, BasePoint, "G, trial " + std::to_string(trial));
      ExpectSameAsLiteral(k, q, "2G, trial " + std::to_string(trial));
    }
  });
}

// The counts and words double-and-add treats specially: a count of 0, 1 or
// 2, words other than 0 and 1 (not set bits), a top word that is not 1 (taken
// as 1), words above the count (never read), P = O.
TEST(FastPath, BitCountsAndOddWords) {
  CurvePoint o;
  SetPointAtInfinity(o);
  OnEveryPath([&] {
    for (uint16_t n = 0; n <= 2; ++n)
      for (uint16_t w1 : {0, 1, 2}) {
        Scalar k;
        k.w[0] = n;
        k.w[1] = w1;
        k.w[2] = n == 2 ? 0 : 1;  // above the count or the top word
        k.w[3] = 1;
        const std::string what = "n=" + std::to_string(n) + " w1=" + std::to_string(w1);
        ExpectSameAsLiteral(k, BasePoint, what);
        ExpectSameAsLiteral(k, o, what + " on O");
      }
    Scalar odd;
    odd.w[0] = 40;
    for (int i = 1; i < 40; ++i) odd.w[i] = static_cast<uint16_t>(i % 3 == 0 ? 2 : i % 3 == 1 ? 0xFFFF : 1);
    ExpectSameAsLiteral(odd, BasePoint, "words 2 and 0xFFFF");
    CurvePoint r;
    PointMultiply(odd.w, o, r);
    EXPECT_TRUE(IsPointAtInfinityVar(r) && FieldEqual(r.y, PointAtInfinity));
  });
}

// j r + d for the order r of the base point: O, G and -G from G; on points
// outside its group, other multiples.
TEST(FastPath, MultiplesOfTheGroupOrderPlusZeroOneAndMinusOne) {
  const Big r = BigFromHex(kOrderHex);
  CurvePoint twoG;
  literal::PointAdd(BasePoint, BasePoint, twoG);
  const std::vector<CurvePoint> small = SubfieldPoints();
  OnEveryPath([&] {
    for (uint32_t j : {1u, 2u, 3u, 8u, 41u, 199u, 65272u}) {
      for (int d : {-1, 0, 1}) {
        const Scalar k = ToScalar(AddSmall(MulSmall(r, j), d));
        const std::string what = std::to_string(j) + " r + " + std::to_string(d);
        ExpectSameAsLiteral(k, BasePoint, what);
        ExpectSameAsLiteral(k, twoG, what + " on 2G");
        ExpectSameAsLiteral(k, small[j % small.size()], what + " on a small-order point");
      }
    }
  });
}

// Points whose order divides 65272, the point of order 2 among them: every
// scalar up to a few times their order, so every residue is met, and long
// scalars.
TEST_F(FastRandom, PointsOfSmallOrder) {
  const std::vector<CurvePoint> small = SubfieldPoints();
  OnEveryPath([&] {
    for (size_t i = 0; i < small.size(); ++i) {
      for (uint16_t v = 0; v < 48; ++v) {
        Scalar k;
        IntToBits(v, k.w, 16);
        for (int n = 16; n > 0 && k.w[0] == 0; --n)
          if (k.w[n]) k.w[0] = static_cast<uint16_t>(n);
        ExpectSameAsLiteral(k, small[i], "point " + std::to_string(i) + " times " + std::to_string(v));
      }
      Scalar k;
      k.w[0] = kMaxScalarBits;
      for (int b = 1; b < kMaxScalarBits; ++b) k.w[b] = gen.rng() & 1;
      k.w[kMaxScalarBits] = 1;
      ExpectSameAsLiteral(k, small[i], "point " + std::to_string(i) + " times a long scalar");
    }
  });
}

TEST(FastPath, OutputMayBeTheInput) {
  OnEveryPath([] {
    Scalar k;
    IntToBits(0xBEEF, k.w, 16);
    k.w[0] = 16;
    CurvePoint p = BasePoint, expected;
    literal::PointMultiply(k.w, BasePoint, expected);
    PointMultiply(k.w, p, p);
    EXPECT_TRUE(SameWords(p, expected));
    Element a = Constant(0x1234), inverse;
    literal::FieldInverse(a.w, inverse.w);
    FieldInverse(a.w, a.w);
    EXPECT_TRUE(FieldEqual(a.w, inverse.w));
  });
}
