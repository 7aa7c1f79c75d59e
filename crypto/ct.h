// The constant-time building blocks: masks made from values and choices
// made by masks, with no branch and no address that depends on the values.
//
// Every function comment in crypto/ ends with a line that says how its time
// behaves: "CT:" when neither its time nor the addresses it reads depend on
// the values it is given (only on sizes and counts, which are public),
// "VAR:" when they do, with the reason that makes this safe. Our own
// variable-time functions also carry "Var" at the end of their names; the
// few with a specified name keep it and say so on their VAR: line.
#pragma once

#include <cstdint>

#include "crypto/field.h"

// All of these are static: crypto/clmul_x86.cpp is compiled with other
// instruction-set options, and the linker must not pick its copy of an
// inline function for the code of the portable path.

// v, unchanged, out of the optimiser's sight: the empty asm claims to change
// it, so the compiler cannot know that a mask is all ones or zero and turn
// the masking back into a branch or a conditional jump over a load. Costs no
// instruction.
// CT: yes.
template <class T>
static inline T CtBarrier(T v) {
  __asm__("" : "+r"(v));
  return v;
}

// All ones when bit is 1, 0 when it is 0; any other value is not a bit.
// CT: yes.
template <class T>
static inline T CtBitMask(T bit) {
  return CtBarrier(static_cast<T>(0 - bit));
}

// All ones when x is 0, else 0.
// CT: yes.
static inline uint64_t CtZeroMask(uint64_t x) { return CtBarrier(((x | (0 - x)) >> 63) - 1); }

// 1 when a == b, else 0, for values below 2^31.
// CT: yes.
static inline uint32_t CtEqual(uint32_t a, uint32_t b) { return CtBarrier(((a ^ b) - 1) >> 31); }

// 1 when a < b, else 0, for values below 2^31.
// CT: yes.
static inline uint32_t CtLess(uint32_t a, uint32_t b) { return CtBarrier((a - b) >> 31); }

// Each word of out is a's where mask is 0xFFFF, b's where it is 0; out may
// be a or b.
// CT: reads all 30 words of both.
static inline void CtSelectElement(uint16_t mask, const uint16_t* a, const uint16_t* b, uint16_t* out) {
  const uint16_t m = CtBarrier(mask);
  for (int i = 0; i < kElementWords; ++i) out[i] = static_cast<uint16_t>((a[i] & m) | (b[i] & ~m));
}

// The mask that keeps a product's words: 0xFFFF unless either factor's
// length word is 0 (the zero element).
// CT: yes.
static inline uint16_t TowerKeepMask(uint16_t lengthA, uint16_t lengthB) {
  return static_cast<uint16_t>(~(CtZeroMask(lengthA) | CtZeroMask(lengthB)));
}
