#include "keys/key_check.h"

namespace {

constexpr char kOrderHex[] =
    "101091159e4b3d978440626578a4698cd9400a0a5aad82ef067eb2a83d819edeae07d383eed24bd4ec13176680d"
    "6ed3825fcab10decb1924d";

constexpr int HexDigit(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

// The hex digits, least significant last, spread into one bit per word.
constexpr std::array<uint16_t, kScalarWords> ScalarFromHex(const char* hex, int digits) {
  std::array<uint16_t, kScalarWords> k{};
  for (int d = 0; d < digits; ++d) {
    const int v = HexDigit(hex[digits - 1 - d]);
    for (int b = 0; b < 4; ++b) {
      const int i = 4 * d + b + 1;
      k[i] = (v >> b) & 1;
      if (k[i]) k[0] = static_cast<uint16_t>(i);
    }
  }
  return k;
}

}  // namespace

constinit const std::array<uint16_t, kScalarWords> BasePointOrder =
    ScalarFromHex(kOrderHex, sizeof kOrderHex - 1);
static_assert(ScalarFromHex(kOrderHex, sizeof kOrderHex - 1)[0] == 449);

bool IsCanonicalElement(const uint16_t* e) {
  uint16_t any = 0;
  for (int i = 1; i <= kFieldDegree; ++i) any |= e[i];
  return e[0] == (any ? kFieldDegree : 0);
}

bool IsValidPublicPoint(const CurvePoint& p) {
  return IsCanonicalElement(p.x) && IsCanonicalElement(p.y) && p.x[0] != 0 && IsOnCurveVar(p);
}

bool IsUsablePublicPoint(const CurvePoint& p) {
  if (!IsValidPublicPoint(p)) return false;
  CurvePoint q;
  PointMultiply(BasePointOrder.data(), p, q);
  return IsPointAtInfinityVar(q);
}
