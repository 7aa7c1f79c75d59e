// Static Diffie-Hellman between the owner's secret scalar and a
// correspondent's public point: the one element that both message formats
// build their keys from, the old one as its block multiplier (keys/formats/
// cipher.h), the strong ones as the secret Z they hash.
#pragma once

#include <cstdint>

#include "crypto/curve.h"

// k = the x coordinate of s * q, or its y coordinate when x is zero, into a
// 30-word element. q must pass IsUsablePublicPoint, which is checked here, so
// that our scalar never meets a foreign point unchecked. True, or false (k
// zero) when q fails that check or s * q is the point at infinity (no usable
// key).
// CT: in s, past the check on q (which is public).
bool SharedElement(const uint16_t* s, const CurvePoint& q, uint16_t* k);
