// The curve y^2 + x*y = x^3 + b over GF((2^16)^29) (a = 0, b = CurveB), in
// affine coordinates, with its fixed base point and scalar multiplication.
//
// Coordinates handed in are canonical: a nonzero element of length 29,
// FieldZero, or PointAtInfinity. The point at infinity O has both
// coordinates equal to PointAtInfinity (length word 777) and is recognised by
// its x coordinate alone. Nothing here allocates, fails or keeps state.
#pragma once

#include <cstdint>

#include "crypto/field.h"

// A scalar as one bit per word: word 0 the bit count n (at most 464), words
// 1..n the bits, least significant first. Only a word equal to exactly 1
// counts as a set bit; word n is taken as 1 without being read.
constexpr int kScalarWords = 465;
constexpr int kMaxScalarBits = 464;

struct CurvePoint {
  uint16_t x[kTempWords];
  uint16_t y[kTempWords];
};

extern const uint16_t CurveB[kElementWords];
extern const uint16_t PointAtInfinity[kElementWords];
extern const CurvePoint BasePoint;

// Whether p is O, by its x coordinate.
// VAR: FieldEqual; for public points only.
bool IsPointAtInfinityVar(const CurvePoint& p);

// CT: yes.
void SetPointAtInfinity(CurvePoint& p);

// y^2 + x*y + x^3 == CurveB. False for O.
// VAR: returns early for O and compares with FieldEqual; it checks public
// keys, never a secret.
bool IsOnCurveVar(const CurvePoint& p);

// r = k * p, exactly as left-to-right double-and-add over affine point
// additions gives it (O for p = O, p itself for a bit count of 0 or 1); r may
// be p. Computed by a Montgomery ladder whose time and memory accesses do not
// depend on k (see crypto/ladder.h); only p, which is public, may steer
// it. Bit counts above 464 are taken as 464. The double-and-add itself, whose
// time follows the bits of k, is kept by the tests as the reference
// (tests/crypto/literal.h).
// CT: in k.
// VAR: in p, which is public: O and x = 0 are answered apart.
void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r);

// Words 1..count of k receive the low count bits of v, least significant
// first; word 0 is left alone.
// CT: in v; count is public.
void IntToBits(uint16_t v, uint16_t* k, int count);
