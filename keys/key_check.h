// Validation of public points that come from outside (key files, the ring).
//
// Our secret scalar is only ever multiplied with points that passed these
// checks: static Diffie-Hellman with a point off the curve, or on it but of
// small order, would let the sender learn bits of the scalar from the result.
// The curve has 65272 * r points (65272 = 2^3 * 41 * 199); the base point and
// hence every genuine public key has the prime order r.
#pragma once

#include <array>
#include <cstdint>

#include "crypto/curve.h"

// The prime order r of the base point (449 bits) as a scalar (bit count and
// one bit per word).
extern const std::array<uint16_t, kScalarWords> BasePointOrder;

// Length 29 with at least one nonzero coefficient, or length 0 with all
// coefficients zero: the only forms the field operations accept.
bool IsCanonicalElement(const uint16_t* e);

// The cheap check: canonical coordinates, on the curve, x != 0 (which would
// be the point of order 2). Costs a few field products.
bool IsValidPublicPoint(const CurvePoint& p);

// The cheap check and r * p = O: p lies in the base point's group. Costs one
// scalar multiplication (about as much as deriving a message key).
bool IsUsablePublicPoint(const CurvePoint& p);
