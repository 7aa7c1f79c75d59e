// The fast path's field inverse and scalar multiplication over a lane type B,
// instantiated once per path (crypto/clmul_portable.cpp, clmul_x86.cpp).
//
// PointMultiply is a Montgomery ladder on x-only projective coordinates
// (Lopez-Dahab) in the working basis, over all 464 bit positions whatever the
// scalar, with conditional swaps by mask; the affine result is recovered once
// at the end with one Itoh-Tsujii inversion. Its results equal those of the
// affine double-and-add word for word, O included. The ladder cannot express
// O or -P as an affine point, nor divide by x(P) = 0, so those outcomes are
// computed beside it and chosen by masks.
#pragma once

#include <cstdint>
#include <cstring>

#include "crypto/basis.h"
#include "crypto/ct.h"
#include "crypto/curve.h"
#include "crypto/dispatch.h"
#include "crypto/field.h"
#include "crypto/gf464.h"
#include "crypto/scalar_bits.h"
#include "crypto/tower.h"
#include "crypto/wipe.h"

static_assert(kScalarLimbs == kGf464Words, "the ladder reads the scalar in the field's words");

template <class B>
struct FastCurve {
  using F = Gf464<B>;
  using E = typename F::E;

  // The conversions wipe their copies: they carry message keys, and the
  // scalar's multiples, in and out of the working form.
  // CT: each is one fixed change of basis (ApplyBasis).
  static void ToWorking(const uint16_t* e, E out) {
    uint64_t w[kGf464Words];
    PackStored(e, w);
    ApplyBasis<B>(StoredToWorking(), w, out);
    SecureWipe(w, sizeof w);
  }

  // A canonical FieldElement: length 29, or 0 for the zero element.
  // CT: the length word is set by mask.
  static void ToStored(const E a, uint16_t* e) {
    uint64_t w[kGf464Words];
    E s;
    F::Store(a, w);
    ApplyBasis<B>(WorkingToStored(), w, s);
    F::Store(s, w);
    UnpackStored(w, e);
    e[0] = kFieldDegree & static_cast<uint16_t>(~F::ZeroMask(s));
    SecureWipe(w, sizeof w);
    SecureWipe(s, sizeof s);
  }

  // FieldInverse on this path.
  // CT: one fixed exponentiation chain (Gf464::Inverse).
  static void FieldInverse(const uint16_t* a, uint16_t* out) {
    E x;
    ToWorking(a, x);
    F::Inverse(x, x);
    ToStored(x, out);
    out[0] = kFieldDegree;
    SecureWipe(x, sizeof x);
  }

  // One ladder step on (R0, R1) = ((X1:Z1), (X2:Z2)) with R1 - R0 = P:
  // R1 <- R0 + R1: Z = (X1 Z2 + X2 Z1)^2, X = x Z + X1 Z2 X2 Z1;
  // R0 <- 2 R0:    Z = X1^2 Z1^2,        X = X1^4 + b Z1^4.
  // Six products and five squares. O is any (X:0) and stays so. t1 and t2
  // are the caller's scratch, which follows the scalar's bits and is wiped
  // once after the last step.
  // CT: straight-line products and squares.
  static void LadderStep(const E x, const E b, E x1, E z1, E x2, E z2, E t1, E t2) {
    F::Mul(x1, z2, t1);
    F::Mul(x2, z1, t2);
    F::Add(t1, t2, z2);
    F::Square(z2, z2);
    F::Mul(t1, t2, t1);
    F::Mul(x, z2, x2);
    F::Add(x2, t1, x2);
    F::Square(x1, t1);
    F::Square(z1, t2);
    F::Mul(t1, t2, z1);
    F::Square(t1, t1);
    F::Square(t2, t2);
    F::Mul(b, t2, t2);
    F::Add(t1, t2, x1);
  }

  // b of the curve through (x, y), y^2 + xy = x^3 + b: CurveB for every
  // point of ours, and what double-and-add implicitly uses for any other.
  // CT: straight-line.
  static void CurveBThrough(const E x, const E y, E b) {
    E t;
    F::Square(y, b);
    F::Mul(x, y, t);
    F::Add(b, t, b);
    F::Square(x, t);
    F::Mul(t, x, t);
    F::Add(b, t, b);
  }

  // From (R0, R1) = (O, P) down all 464 bits of the scalar, whatever its
  // bit count, swapping by mask rather than by branch; ends with
  // R0 = kP = (X1:Z1) and R1 = (k+1)P = (X2:Z2).
  // CT: 464 steps whatever the bits; the swaps are by mask.
  static void Ladder(const uint64_t bits[kGf464Words], const E x, const E b, E x1, E z1, E x2, E z2) {
    F::SetOne(x1);
    for (int i = 0; i < kGf464Lanes; ++i) z1[i] = B::Zero();
    F::Set(x2, x);
    F::SetOne(z2);
    uint64_t previous = 0;
    E t1, t2;
    for (int i = kMaxScalarBits - 1; i >= 0; --i) {
      const uint64_t bit = (bits[i / 64] >> (i % 64)) & 1;
      const uint64_t swap = CtBitMask(bit ^ previous);
      F::CondSwap(x1, x2, swap);
      F::CondSwap(z1, z2, swap);
      previous = bit;
      LadderStep(x, b, x1, z1, x2, z2, t1, t2);
    }
    F::CondSwap(x1, x2, CtBitMask(previous));
    F::CondSwap(z1, z2, CtBitMask(previous));
    SecureWipe(t1, sizeof t1);
    SecureWipe(t2, sizeof t2);
  }

  // X / Z in place, from the other point's Z' and 1 / (Z Z').
  // CT: two multiplications.
  static void DivideByZ(E X, const E otherZ, const E invZZ) {
    F::Mul(X, otherZ, X);
    F::Mul(X, invZZ, X);
  }

  // The affine kP from the ladder's two points and P = (x, y), in the stored
  // form. With x1 = X1/Z1, x2 = X2/Z2:
  // y1 = (x1 + x)((x1 + x)(x2 + x) + x^2 + y) / x + y. One inversion of
  // x Z1 Z2 gives all three quotients; when Z1 or Z2 is 0 it gives 0, and
  // the caller's masks discard the result. x1 and x2 are overwritten.
  // CT: straight-line, one inversion.
  static void RecoverAffine(const E x, const E y, E x1, const E z1, E x2, const E z2, uint16_t* rx,
                            uint16_t* ry) {
    E d, inv, invX, u, v, w;
    F::Mul(z1, z2, d);
    F::Mul(d, x, inv);
    F::Inverse(inv, inv);
    F::Mul(d, inv, invX);
    F::Mul(x, inv, u);
    DivideByZ(x1, z2, u);
    DivideByZ(x2, z1, u);
    F::Square(x, u);
    F::Add(x1, x, v);
    F::Add(x2, x, w);
    F::Mul(v, w, w);
    F::Add(w, u, w);
    F::Add(w, y, w);
    F::Mul(v, w, w);
    F::Mul(w, invX, w);
    F::Add(w, y, w);
    ToStored(x1, rx);
    ToStored(w, ry);
    E* secrets[] = {&d, &inv, &invX, &u, &v, &w};
    for (E* e : secrets) SecureWipe(*e, sizeof *e);
  }

  // PointMultiply on this path (crypto/curve.h).
  // CT: in k: the ladder, and the outcomes O and -P chosen by masks.
  // VAR: in p: O and x(P) = 0 take their own branches; p is public.
  static void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r) {
    if (IsPointAtInfinityVar(p)) return SetPointAtInfinity(r);
    uint16_t px[kElementWords], py[kElementWords], minusY[kElementWords];
    FieldCopy(px, p.x);
    FieldCopy(py, p.y);
    uint64_t bits[kGf464Words];
    EffectiveScalar(k, bits);
    const uint16_t odd = CtBitMask(static_cast<uint16_t>(bits[0] & 1));

    if (FieldEqual(px, FieldZero)) {
      // The point of order 2: P for an odd multiple, O for an even one.
      CtSelectElement(odd, px, PointAtInfinity, r.x);
      CtSelectElement(odd, py, PointAtInfinity, r.y);
      SecureWipe(bits, sizeof bits);
      return;
    }

    E x, y, b, x1, z1, x2, z2;
    ToWorking(px, x);
    ToWorking(py, y);
    CurveBThrough(x, y, b);
    Ladder(bits, x, b, x1, z1, x2, z2);
    const uint16_t isInfinity = static_cast<uint16_t>(F::ZeroMask(z1));
    const uint16_t isMinusP = static_cast<uint16_t>(F::ZeroMask(z2));
    uint16_t rx[kElementWords], ry[kElementWords];
    RecoverAffine(x, y, x1, z1, x2, z2, rx, ry);

    FieldAdd(px, py, minusY);
    CtSelectElement(isMinusP, px, rx, rx);
    CtSelectElement(isMinusP, minusY, ry, ry);
    CtSelectElement(isInfinity, PointAtInfinity, rx, r.x);
    CtSelectElement(isInfinity, PointAtInfinity, ry, r.y);

    SecureWipe(bits, sizeof bits);
    E* secrets[] = {&x1, &z1, &x2, &z2};
    for (E* e : secrets) SecureWipe(*e, sizeof *e);
    SecureWipe(rx, sizeof rx);
    SecureWipe(ry, sizeof ry);
  }
};

// The table of one path.
// CT: a constant table; its entries say their own.
template <class B>
constexpr FastArith MakeFastArith() {
  return {&TowerMul<B>, &FastCurve<B>::FieldInverse, &FastCurve<B>::PointMultiply};
}
