// Products in GF((2^16)^29) itself, for the single multiplications of the
// message blocks, where a change of basis would cost more than it saves.
//
// The 29 coefficients are spread into 32-bit slots, so that one carry-less
// product of the two 928-bit strings yields every coefficient product
// (at most 31 bits) in its own slot, already summed; the slots are then folded
// modulo x^16 + x^5 + x^3 + x + 1 and folded with t^29 = t^2 + 1, both
// linear.
#pragma once

#include <cstdint>

#include "crypto/ct.h"
#include "crypto/gf464.h"
#include "crypto/wipe.h"

constexpr int kTowerSlots = 57;  // coefficients of t^0..t^56
constexpr int kTowerSlotLanes = 15;  // 128-bit lanes of four 32-bit slots

// The 57 reduced coefficients folded with t^29 = t^2 + 1 into the
// FieldElement out (58 words: words 30..57 are cleared). keep is 0xFFFF for a
// nonzero result (length 29) and 0 for the zero element (length 0, all words
// 0). c is overwritten.
// CT: fixed folds; keep is applied by mask.
void TowerFold(uint16_t c[kTowerSlots], uint16_t keep, uint16_t* out);

// Unreduced coefficients (below 2^31, one per 32-bit slot, four to a lane)
// reduced modulo x^16 + x^5 + x^3 + x + 1 and folded into out: the bits from
// 16 up come back as h (x^5 + x^3 + x + 1), and once more for the few that
// x^5 lifts past bit 15. The copies it makes are wiped: a product of a
// message block and its key is plain text.
// CT: two fixed reduction rounds per lane, no table.
template <class B>
void TowerFinish(typename B::V* lanes, uint16_t keep, uint16_t* out) {
  const auto low = B::Broadcast(0x0000FFFF0000FFFFu);
  uint64_t w[2 * kTowerSlotLanes];
  for (int i = 0; i < kTowerSlotLanes; ++i) {
    auto v = lanes[i];
    for (int round = 0; round < 2; ++round) {
      const auto h = B::template ShiftRight32<16>(v);
      v = B::Xor(B::And(v, low), B::Xor(B::Xor(h, B::template ShiftLeft32<1>(h)),
                                        B::Xor(B::template ShiftLeft32<3>(h), B::template ShiftLeft32<5>(h))));
    }
    B::Store(w + 2 * i, v);
  }
  uint16_t c[kTowerSlots];
  for (int s = 0; s < kTowerSlots; ++s) c[s] = static_cast<uint16_t>(w[s / 2] >> (32 * (s % 2)));
  TowerFold(c, keep, out);
  SecureWipe(w, sizeof w);
  SecureWipe(c, sizeof c);
}

// out = a * b as FieldMul specifies: a length-0 operand gives the zero
// element whatever its words hold. out holds 58 words, distinct from a, b.
// The operands' copies are wiped: one is a message key, the other plain text.
// CT: one carry-less product of fixed size; the lengths act by mask.
template <class B>
void TowerMul(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  using V = typename B::V;
  constexpr int kLanes = 8;  // 29 slots of 32 bits in 1024 bits
  uint64_t wa[2 * kLanes] = {}, wb[2 * kLanes] = {};
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
  TowerFinish<B>(vp, TowerKeepMask(a[0], b[0]), out);
  SecureWipe(wa, sizeof wa);
  SecureWipe(wb, sizeof wb);
  SecureWipe(va, sizeof va);
  SecureWipe(vb, sizeof vb);
  SecureWipe(vp, sizeof vp);
}
