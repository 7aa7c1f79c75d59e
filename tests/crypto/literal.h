// The field and curve algorithms exactly as first written: GF(2^16) log and
// antilog tables with zero coefficients skipped, extended Euclid for the
// inverse, affine double-and-add. Slow, and their time follows the operands,
// but they are the definition of the results: the fast constant-time code in
// crypto/ is checked against them, and the benchmarks time them beside it.
#pragma once

#include <cstdint>

#include "crypto/curve.h"
#include "crypto/field.h"

namespace literal {

void FieldMul(const uint16_t* a, const uint16_t* b, uint16_t* out);
void FieldSquare(const uint16_t* a, uint16_t* out);
void FieldInverse(const uint16_t* a, uint16_t* out);
void PointAdd(const CurvePoint& p, const CurvePoint& q, CurvePoint& r);
void PointMultiply(const uint16_t* k, const CurvePoint& p, CurvePoint& r);

}  // namespace literal
