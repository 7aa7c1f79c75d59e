// Plain, slow arithmetic written independently of crypto/: bit-by-bit GF(2^16)
// products and textbook polynomial arithmetic, as the yardstick for the
// table-driven code.
#pragma once

#include <array>
#include <cstdint>
#include <random>

#include "crypto/field.h"
#include "tests/support/test_seed.h"

namespace ref {

// Coefficients of t^0..t^28.
using Poly = std::array<uint16_t, 29>;

uint16_t Gf16Mul(uint16_t a, uint16_t b);
Poly Mul(const Poly& a, const Poly& b);
// a^(2^464 - 2), the inverse by Fermat's little theorem.
Poly Inverse(const Poly& a);

Poly FromElement(const uint16_t* e);
// A canonical FieldElement (length 0 or 29) in a 60-word buffer.
void ToElement(const Poly& p, uint16_t* e);

// A FieldElement buffer that a test can hold by value, and one made from p.
struct Element {
  uint16_t w[kTempWords] = {};
};
Element Make(const Poly& p);

// Random elements biased towards the edge values where table code goes wrong:
// zero words, all-ones words, only the top coefficient set, the zero element.
struct Generator {
  explicit Generator(uint32_t seed) : rng(seed) {}
  uint16_t Word();
  Poly Element();
  Poly NonZeroElement();
  std::mt19937 rng;
};

}  // namespace ref
