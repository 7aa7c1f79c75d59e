#include "tests/crypto/reference.h"

namespace ref {

uint16_t Gf16Mul(uint16_t a, uint16_t b) {
  uint32_t acc = 0;
  for (int i = 0; i < 16; ++i)
    if (b & (1u << i)) acc ^= uint32_t{a} << i;
  for (int bit = 30; bit >= 16; --bit)
    if (acc & (1u << bit)) acc ^= 0x1002Bu << (bit - 16);
  return static_cast<uint16_t>(acc);
}

Poly Mul(const Poly& a, const Poly& b) {
  std::array<uint16_t, 57> wide{};
  for (int i = 0; i < 29; ++i)
    for (int j = 0; j < 29; ++j) wide[i + j] ^= Gf16Mul(a[i], b[j]);
  // t^d = t^(d-29) * (t^2 + 1) for d >= 29, highest degree first.
  for (int d = 56; d >= 29; --d) {
    wide[d - 27] ^= wide[d];
    wide[d - 29] ^= wide[d];
    wide[d] = 0;
  }
  Poly r{};
  for (int i = 0; i < 29; ++i) r[i] = wide[i];
  return r;
}

Poly Inverse(const Poly& a) {
  // 2^464 - 2 = binary 1...10 (463 ones, then a zero): square-and-multiply.
  Poly result{};
  result[0] = 1;
  for (int bit = 463; bit >= 0; --bit) {
    result = Mul(result, result);
    if (bit != 0) result = Mul(result, a);
  }
  return result;
}

Poly FromElement(const uint16_t* e) {
  Poly p{};
  for (int i = 0; i < 29; ++i) p[i] = e[i + 1];
  return p;
}

void ToElement(const Poly& p, uint16_t* e) {
  bool any = false;
  for (int i = 0; i < 29; ++i) {
    e[i + 1] = p[i];
    any = any || p[i] != 0;
  }
  e[0] = any ? 29 : 0;
}

uint16_t Generator::Word() {
  switch (rng() % 8) {
    case 0: return 0;
    case 1: return 0xFFFF;
    case 2: return 1;
    default: return static_cast<uint16_t>(rng());
  }
}

Poly Generator::Element() {
  Poly p{};
  switch (rng() % 10) {
    case 0: return p;
    case 1: p[28] = Word(); return p;
    case 2: p[0] = Word(); return p;
    default:
      for (auto& w : p) w = Word();
      return p;
  }
}

Poly Generator::NonZeroElement() {
  for (;;) {
    Poly p = Element();
    for (uint16_t w : p)
      if (w) return p;
  }
}

Element Make(const Poly& p) {
  Element e;
  ToElement(p, e.w);
  return e;
}

}  // namespace ref
