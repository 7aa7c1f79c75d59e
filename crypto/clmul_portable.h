// Carry-less multiplication without the CPU's instruction, in constant time:
// no table and no branch, only integer products of operands whose set bits
// are spread four apart, so that no column sum can carry into the next kept
// bit. A bit-by-bit loop with masks would also be constant-time but costs
// four times as much.
//
// The 128-bit lane type and its operations mirror the SSE2/PCLMULQDQ set that
// the instruction path uses (crypto/clmul_x86.cpp), so that the field code
// in crypto/gf464.h is written once for both.
#pragma once

#include <cstdint>

// CT: every member: straight-line integer code, no table, no branch on the
// values.
struct ClmulPortable {
  struct V {
    uint64_t lo, hi;
  };

  static V Zero() { return {0, 0}; }
  static V Make(uint64_t lo, uint64_t hi) { return {lo, hi}; }
  static V Broadcast(uint64_t m) { return {m, m}; }
  static V Load(const uint64_t* p) { return {p[0], p[1]}; }
  static void Store(uint64_t* p, V v) {
    p[0] = v.lo;
    p[1] = v.hi;
  }
  static V Xor(V a, V b) { return {a.lo ^ b.lo, a.hi ^ b.hi}; }
  static V And(V a, V b) { return {a.lo & b.lo, a.hi & b.hi}; }
  // Low half: lo ^ hi (the Karatsuba middle operand); the high half is not used.
  static V Fold(V a) { return {a.lo ^ a.hi, 0}; }

  // kSel as PCLMULQDQ's immediate: bit 0 picks a's half, bit 4 b's half.
  template <int kSel>
  static V Clmul(V a, V b) {
    return Mul64((kSel & 0x01) ? a.hi : a.lo, (kSel & 0x10) ? b.hi : b.lo);
  }
  static V SquareLo(V a) { return {Spread32(static_cast<uint32_t>(a.lo)), Spread32(static_cast<uint32_t>(a.lo >> 32))}; }
  static V SquareHi(V a) { return {Spread32(static_cast<uint32_t>(a.hi)), Spread32(static_cast<uint32_t>(a.hi >> 32))}; }

  // The whole 128 bits shifted by whole bytes, as PSLLDQ and PSRLDQ.
  template <int kBytes>
  static V ShiftLeftBytes(V a) {
    constexpr int s = 8 * kBytes;
    if constexpr (s >= 64) return {0, a.lo << (s - 64)};
    else return {a.lo << s, a.hi << s | a.lo >> (64 - s)};
  }
  template <int kBytes>
  static V ShiftRightBytes(V a) {
    constexpr int s = 8 * kBytes;
    if constexpr (s >= 64) return {a.hi >> (s - 64), 0};
    else return {a.lo >> s | a.hi << (64 - s), a.hi >> s};
  }

  // Each 32-bit quarter shifted on its own, as PSLLD and PSRLD.
  template <int kBits>
  static V ShiftLeft32(V a) {
    constexpr uint64_t keep = (uint64_t{0xFFFFFFFFu << kBits} << 32) | (0xFFFFFFFFu << kBits);
    return {(a.lo << kBits) & keep, (a.hi << kBits) & keep};
  }
  template <int kBits>
  static V ShiftRight32(V a) {
    constexpr uint64_t keep = (uint64_t{0xFFFFFFFFu >> kBits} << 32) | (0xFFFFFFFFu >> kBits);
    return {(a.lo >> kBits) & keep, (a.hi >> kBits) & keep};
  }

  // 32 x 32 -> 64 carry-less: x and y are cut into four combs of every
  // fourth bit; a comb holds at most 8 bits, so a column of one integer
  // product sums at most 8 ones and its carries stay within the 3 bits up to
  // the next kept position.
  static uint64_t Mul32(uint32_t x, uint32_t y) {
    const uint64_t x0 = x & 0x11111111u, x1 = x & 0x22222222u, x2 = x & 0x44444444u, x3 = x & 0x88888888u;
    const uint64_t y0 = y & 0x11111111u, y1 = y & 0x22222222u, y2 = y & 0x44444444u, y3 = y & 0x88888888u;
    const uint64_t z0 = (x0 * y0) ^ (x1 * y3) ^ (x2 * y2) ^ (x3 * y1);
    const uint64_t z1 = (x0 * y1) ^ (x1 * y0) ^ (x2 * y3) ^ (x3 * y2);
    const uint64_t z2 = (x0 * y2) ^ (x1 * y1) ^ (x2 * y0) ^ (x3 * y3);
    const uint64_t z3 = (x0 * y3) ^ (x1 * y2) ^ (x2 * y1) ^ (x3 * y0);
    return (z0 & 0x1111111111111111u) | (z1 & 0x2222222222222222u) | (z2 & 0x4444444444444444u) |
           (z3 & 0x8888888888888888u);
  }

  // 64 x 64 -> 128 by Karatsuba over 32-bit halves: three comb products.
  static V Mul64(uint64_t a, uint64_t b) {
    const uint32_t a0 = static_cast<uint32_t>(a), a1 = static_cast<uint32_t>(a >> 32);
    const uint32_t b0 = static_cast<uint32_t>(b), b1 = static_cast<uint32_t>(b >> 32);
    const uint64_t lo = Mul32(a0, b0), hi = Mul32(a1, b1);
    const uint64_t mid = Mul32(a0 ^ a1, b0 ^ b1) ^ lo ^ hi;
    return {lo ^ mid << 32, hi ^ mid >> 32};
  }

  // Squaring over GF(2) puts bit i at 2i.
  static uint64_t Spread32(uint32_t x) {
    uint64_t v = x;
    v = (v | v << 16) & 0x0000FFFF0000FFFFu;
    v = (v | v << 8) & 0x00FF00FF00FF00FFu;
    v = (v | v << 4) & 0x0F0F0F0F0F0F0F0Fu;
    v = (v | v << 2) & 0x3333333333333333u;
    v = (v | v << 1) & 0x5555555555555555u;
    return v;
  }
};
