// GF(2^16) in polynomial basis modulo x^16 + x^5 + x^3 + x + 1 (0x1002B),
// multiplied through log/antilog tables of the generator 3 (x + 1), as the
// first-written field code did it (tests/crypto/literal.h).
//
// Variable-time: a product reads table entries at addresses given by the
// operands' logarithms, and zero is tested for by a branch, so the time and
// the cache lines touched follow the values. That is why the program itself
// multiplies without tables (crypto/); the tables serve the tests and
// benchmarks as the yardstick.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t kGf16Poly = 0x1002B;
constexpr uint32_t kGf16Order = 65535;  // order of the multiplicative group

// Antilog table. Entries 0..65535 are 3^i (entry 65535 repeats entry 0); the
// table runs on to 3^(i mod 65535) up to index 131071, so that the sum of two
// logs indexes it directly: a product costs three reads and no reduction.
extern const std::array<uint16_t, 2 * 65536> Gf16Exp;

// Log table: Gf16Log[Gf16Exp[i]] == i for i < 65535. Zero has no logarithm;
// its entry holds 0, and every caller tests for zero first.
extern const std::array<uint16_t, 65536> Gf16Log;

// 0 when either factor is 0.
inline uint16_t Gf16Mul(uint16_t a, uint16_t b) {
  if (a == 0 || b == 0) return 0;
  return Gf16Exp[Gf16Log[a] + Gf16Log[b]];
}

// a / b for nonzero b; 0 when a is 0.
inline uint16_t Gf16Div(uint16_t a, uint16_t b) {
  if (a == 0) return 0;
  return Gf16Exp[Gf16Log[a] + (kGf16Order - Gf16Log[b])];
}
