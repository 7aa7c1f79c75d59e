// Products in GF((2^16)^29) itself, for the single multiplications of the
// message blocks, where a change of basis would cost more than it saves.
//
// The 29 coefficients are spread into 32-bit slots, so that one carry-less
// product of the two 928-bit strings yields every coefficient product
// (at most 31 bits) in its own slot, already summed; the slots are then folded
// with t^29 = t^2 + 1 and reduced modulo x^16 + x^5 + x^3 + x + 1, both
// linear. Constant-time: no table, no branch on the values.
#pragma once

#include <cstdint>

#include "crypto/gf464.h"

constexpr int kTowerSlots = 57;  // coefficients of t^0..t^56

// The unreduced coefficients (each below 2^31) folded and reduced into the
// FieldElement out (58 words: words 30..57 are cleared). keep is 0xFFFF for
// a nonzero result (length 29) and 0 for the zero element (length 0, all
// words 0). slots is overwritten.
void TowerFinish(uint32_t slots[kTowerSlots], uint16_t keep, uint16_t* out);

// 0xFFFF unless either length word is 0.
static inline uint16_t TowerKeepMask(uint16_t lengthA, uint16_t lengthB) {
  return static_cast<uint16_t>(~(CtZeroMask(lengthA) | CtZeroMask(lengthB)));
}

// out = a * b as FieldMul specifies: a length-0 operand gives the zero
// element whatever its words hold. out holds 58 words, distinct from a, b.
template <class B>
void TowerMul(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  using V = typename B::V;
  constexpr int kLanes = 8;  // 29 slots of 32 bits in 1024 bits
  uint64_t wa[2 * kLanes] = {}, wb[2 * kLanes] = {}, wp[4 * kLanes];
  for (int c = 0; c < 29; ++c) {
    wa[c / 2] |= uint64_t{a[c + 1]} << (32 * (c % 2));
    wb[c / 2] |= uint64_t{b[c + 1]} << (32 * (c % 2));
  }
  V va[kLanes], vb[kLanes], vp[2 * kLanes];
  for (int i = 0; i < kLanes; ++i) {
    va[i] = B::Load(wa + 2 * i);
    vb[i] = B::Load(wb + 2 * i);
  }
  Gf464<B>::template MulLanes<kLanes>(va, vb, vp);
  for (int i = 0; i < 2 * kLanes; ++i) B::Store(wp + 2 * i, vp[i]);
  uint32_t slots[kTowerSlots];
  for (int s = 0; s < kTowerSlots; ++s) slots[s] = static_cast<uint32_t>(wp[s / 2] >> (32 * (s % 2)));
  TowerFinish(slots, TowerKeepMask(a[0], b[0]), out);
}
