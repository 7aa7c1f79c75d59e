// A scalar as the multiplication reads it, for the ladder and for the key
// derivation that must feed HKDF the very number PointMultiply multiplies by.
#pragma once

#include <cstdint>
#include <cstring>

#include "crypto/ct.h"
#include "crypto/curve.h"

// The 64-bit words of a 464-bit number, least significant first.
constexpr int kScalarLimbs = (kMaxScalarBits + 63) / 64;

// The scalar that double-and-add actually multiplies by, as a 464-bit number:
// the top bit is word n (taken as 1 unread), below it the words equal to 1; a
// bit count of 0 acts as 1. Every word is read and every bit written, so the
// bit count costs no more than any other. Counts above 464 are taken as 464.
// CT: reads all 465 words of k, the bit count included.
static inline void EffectiveScalar(const uint16_t* k, uint64_t bits[kScalarLimbs]) {
  uint32_t n = k[0];
  n += CtEqual(n, 0);
  n ^= (n ^ kMaxScalarBits) & CtBitMask(CtLess(kMaxScalarBits, n));
  std::memset(bits, 0, kScalarLimbs * sizeof(uint64_t));
  for (uint32_t i = 1; i <= kMaxScalarBits; ++i) {
    const uint32_t set = (CtEqual(k[i], 1) & CtLess(i, n)) | CtEqual(i, n);
    bits[(i - 1) / 64] |= uint64_t{set} << ((i - 1) % 64);
  }
}
