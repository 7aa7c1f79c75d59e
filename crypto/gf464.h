// The working field of the fast path: GF(2^464) as GF(2)[z] / f(z) with
// f = z^464 + z^19 + z^18 + z^13 + 1, an element held in four 128-bit lanes
// (bits 0..463 of eight 64-bit words, the rest zero). It is isomorphic to
// GF((2^16)^29); the change of basis is in crypto/basis.h. Here a product is
// 27 carry-less 64 x 64 products and a handful of shifts, where the
// GF((2^16)^29) form needs 81 for its 29 coefficients of 31-bit products.
//
// Written once over a lane type B (crypto/clmul_portable.h, or the
// PCLMULQDQ lanes of crypto/clmul_x86.cpp). Outputs may overlap inputs
// unless stated.
#pragma once

#include <cstdint>

#include "crypto/ct.h"
#include "crypto/wipe.h"

constexpr int kGf464Bits = 464;
constexpr int kGf464Lanes = 4;
constexpr int kGf464Words = 8;

// CT: every member, unless its comment says otherwise: no branch and no
// address depends on the values, only on the counts given.
template <class B>
struct Gf464 {
  using V = typename B::V;
  using E = V[kGf464Lanes];

  // z^464 = z^19 + z^18 + z^13 + 1.
  static V Tail() { return B::Make(0xC2001, 0); }
  // The valid bits of the top lane: 464 - 384 = 80.
  static V TopMask() { return B::Make(~uint64_t{0}, 0xFFFF); }

  static void Load(const uint64_t* w, E out) {
    for (int i = 0; i < kGf464Lanes; ++i) out[i] = B::Load(w + 2 * i);
  }
  static void Store(const E a, uint64_t* w) {
    for (int i = 0; i < kGf464Lanes; ++i) B::Store(w + 2 * i, a[i]);
  }
  static void Set(E out, const E a) {
    for (int i = 0; i < kGf464Lanes; ++i) out[i] = a[i];
  }
  static void SetOne(E out) {
    out[0] = B::Make(1, 0);
    for (int i = 1; i < kGf464Lanes; ++i) out[i] = B::Zero();
  }
  static void Add(const E a, const E b, E out) {
    for (int i = 0; i < kGf464Lanes; ++i) out[i] = B::Xor(a[i], b[i]);
  }

  // r[0..2N) = a[0..N) * b[0..N) over GF(2), Karatsuba down to one lane,
  // where a lane product is three carry-less 64-bit products.
  template <int N>
  static void MulLanes(const V* a, const V* b, V* r) {
    if constexpr (N == 1) {
      const V lo = B::template Clmul<0x00>(a[0], b[0]);
      const V hi = B::template Clmul<0x11>(a[0], b[0]);
      const V mid = B::Xor(B::template Clmul<0x00>(B::Fold(a[0]), B::Fold(b[0])), B::Xor(lo, hi));
      r[0] = B::Xor(lo, B::template ShiftLeftBytes<8>(mid));
      r[1] = B::Xor(hi, B::template ShiftRightBytes<8>(mid));
    } else {
      constexpr int H = N / 2;
      V sa[H], sb[H], m[N];
      MulLanes<H>(a, b, r);
      MulLanes<H>(a + H, b + H, r + N);
      for (int i = 0; i < H; ++i) {
        sa[i] = B::Xor(a[i], a[i + H]);
        sb[i] = B::Xor(b[i], b[i + H]);
      }
      MulLanes<H>(sa, sb, m);
      for (int i = 0; i < N; ++i) m[i] = B::Xor(m[i], B::Xor(r[i], r[N + i]));
      for (int i = 0; i < N; ++i) r[H + i] = B::Xor(r[H + i], m[i]);
    }
  }

  // Bits 464.. of a 128-bit-lane number starting at lane 3: 464 = 3 * 128 + 80.
  static V HighLane(const V* p, int j) {
    return B::Xor(B::template ShiftRightBytes<10>(p[3 + j]), B::template ShiftLeftBytes<6>(p[4 + j]));
  }

  // A product of degree <= 926 (8 lanes) reduced modulo f: the high part H
  // comes back as H * (z^19 + z^18 + z^13 + 1), of degree <= 481, whose bits
  // from 464 up are folded once more.
  static void Reduce(const V* p, E out) {
    const V tail = Tail();
    V t[kGf464Lanes + 1] = {p[0], p[1], p[2], B::And(p[3], TopMask()), B::Zero()};
    for (int j = 0; j < kGf464Lanes; ++j) {
      const V h = HighLane(p, j);
      const V lo = B::template Clmul<0x00>(h, tail);
      const V hi = B::template Clmul<0x01>(h, tail);
      t[j] = B::Xor(t[j], B::Xor(lo, B::template ShiftLeftBytes<8>(hi)));
      t[j + 1] = B::Xor(t[j + 1], B::template ShiftRightBytes<8>(hi));
    }
    const V h2 = HighLane(t, 0);
    out[0] = B::Xor(t[0], B::template Clmul<0x00>(h2, tail));
    out[1] = t[1];
    out[2] = t[2];
    out[3] = B::And(t[3], TopMask());
  }

  static void Mul(const E a, const E b, E out) {
    V p[2 * kGf464Lanes + 1];
    MulLanes<kGf464Lanes>(a, b, p);
    p[2 * kGf464Lanes] = B::Zero();
    Reduce(p, out);
  }

  static void Square(const E a, E out) {
    V p[2 * kGf464Lanes + 1];
    for (int i = 0; i < kGf464Lanes; ++i) {
      p[2 * i] = B::SquareLo(a[i]);
      p[2 * i + 1] = B::SquareHi(a[i]);
    }
    p[2 * kGf464Lanes] = B::Zero();
    Reduce(p, out);
  }

  // a^(2^n).
  // CT: in a; n is public.
  static void SquareTimes(const E a, int n, E out) {
    Set(out, a);
    for (int i = 0; i < n; ++i) Square(out, out);
  }

  // a^-1 = a^(2^464 - 2) = (a^(2^463 - 1))^2 by Itoh-Tsujii: with
  // c_k = a^(2^k - 1), c_(i+j) = c_i^(2^j) c_j, along the bits of
  // 463 = 111001111b: 463 squarings and 14 products, against 464 squarings
  // and 463 products for plain square-and-multiply. 0 gives 0. Its powers
  // of a are wiped: a may be a message key.
  // CT: the chain follows the constant 463, never a.
  static void Inverse(const E a, E out) {
    E c, t;
    Set(c, a);
    int k = 1;
    for (int bit = 7; bit >= 0; --bit) {
      SquareTimes(c, k, t);
      Mul(t, c, c);
      k *= 2;
      if ((463 >> bit) & 1) {
        Square(c, c);
        Mul(c, a, c);
        ++k;
      }
    }
    Square(c, out);
    SecureWipe(c, sizeof c);
    SecureWipe(t, sizeof t);
  }

  // All ones when a is 0. The copy it reads is wiped: a may be secret.
  // CT: ORs all eight words.
  static uint64_t ZeroMask(const E a) {
    uint64_t w[kGf464Words], any = 0;
    Store(a, w);
    for (uint64_t x : w) any |= x;
    SecureWipe(w, sizeof w);
    return CtZeroMask(any);
  }

  // Exchanges a and b when mask is all ones, leaves them when it is 0.
  // CT: both are read and written either way.
  static void CondSwap(E a, E b, uint64_t mask) {
    const V m = B::Broadcast(mask);
    for (int i = 0; i < kGf464Lanes; ++i) {
      const V t = B::And(m, B::Xor(a[i], b[i]));
      a[i] = B::Xor(a[i], t);
      b[i] = B::Xor(b[i], t);
    }
  }
};
