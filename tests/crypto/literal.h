// The field and curve algorithms exactly as first written: GF(2^16) log and
// antilog tables with zero coefficients skipped, extended Euclid for the
// inverse, affine chord-and-tangent addition and double-and-add. Slow, and
// their time and memory accesses follow the operands (variable-time: never
// for secrets), but they are the definition of the results: the fast
// constant-time code in crypto/ is checked against them, and the benchmarks
// time them beside it.
#pragma once

#include <cstdint>

#include "crypto/curve.h"
#include "crypto/field.h"

namespace literal {

// Work polynomials of the Euclid inversion: 32 words, word 0 the index of
// the highest coefficient word in use, words 1..length the coefficients of
// t^0 upward. Words above the length are ignored.
constexpr int kWorkPolyWords = 32;

// 1 + t^2 + t^29 as a work polynomial (length 30).
extern const uint16_t FieldModulus[kWorkPolyWords];

// As crypto/field.h states them, through the tables.
void FieldMul(const uint16_t* a, const uint16_t* b, uint16_t* out);
void FieldSquare(const uint16_t* a, uint16_t* out);
void FieldInverse(const uint16_t* a, uint16_t* out);

// Folds an unreduced product (length word n, coefficients in words 1..n)
// into a FieldElement in place, using t^29 = t^2 + 1. The length becomes 29.
void FieldReduce(uint16_t* e);

// Copies words 0..length of src; the rest of dst is left as it was.
void PolyCopy(uint16_t* dst, const uint16_t* src);

// out = a + b with the length normalised to the highest nonzero word; out may
// be a or b.
void PolyAdd(const uint16_t* a, const uint16_t* b, uint16_t* out);

// out = d * t^j * v for nonzero d; the length is length(v) + j, not normalised.
void PolyScaleShift(const uint16_t* v, uint16_t d, int j, uint16_t* out);

// r = p + q; p and q may be the same point (doubling), r must be distinct
// from both. O for p = -q and for doubling a point whose x is zero.
void PointAdd(const CurvePoint& p, const CurvePoint& q, CurvePoint& r);

// r = k * p by left-to-right double-and-add over the bit words of k, the top
// one (word k[0]) taken as set.
void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r);

}  // namespace literal
