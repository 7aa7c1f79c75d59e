#include "tests/crypto/gf16.h"

namespace {

// e[i+1] = e[i] * 3 = e[i] ^ (e[i] << 1), reduced by the field polynomial.
constexpr uint32_t Times3(uint32_t e) {
  e ^= e << 1;
  return (e & 0x10000) ? e ^ kGf16Poly : e;
}

constexpr std::array<uint16_t, 2 * 65536> BuildExp() {
  std::array<uint16_t, 2 * 65536> exp{};
  uint32_t e = 1;
  for (uint32_t i = 0; i < exp.size(); ++i) {
    exp[i] = static_cast<uint16_t>(e);
    e = (i + 1) % kGf16Order == 0 ? 1 : Times3(e);
  }
  return exp;
}

constexpr std::array<uint16_t, 65536> BuildLog() {
  std::array<uint16_t, 65536> log{};
  uint32_t e = 1;
  for (uint32_t i = 0; i < kGf16Order; ++i) {
    log[e] = static_cast<uint16_t>(i);
    e = Times3(e);
  }
  return log;
}

}  // namespace

// Built by the compiler: read-only data shared by every thread, no start-up cost.
constinit const std::array<uint16_t, 2 * 65536> Gf16Exp = BuildExp();
constinit const std::array<uint16_t, 65536> Gf16Log = BuildLog();
