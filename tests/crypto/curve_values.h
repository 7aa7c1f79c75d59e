// What the curve's suites share: a scalar as PointMultiply reads it, and
// the prime order of the base point.
#pragma once

#include <cstdint>

#include "crypto/curve.h"

struct Scalar {
  uint16_t w[kScalarWords] = {};
};

// The prime order of the base point, in hexadecimal.
inline constexpr char kOrderHex[] =
    "101091159e4b3d978440626578a4698cd9400a0a5aad82ef067eb2a83d819edeae07d383eed24bd4ec13176680d6ed3825fcab10decb1924d";
