// Where the added button stands, from the positions of ICQ's controls in the
// dialog's client coordinates. Pure arithmetic, kept apart from the window
// calls so that it can be checked on its own.
//
// Halving is C++ integer division, which truncates toward zero: an odd
// negative sum rounds up, an odd positive one down (Kr = 100, Kl = 20 and
// Al = 19 give 100 + (-161) / 2 = 20, not 19).
#pragma once

#include <cstdint>

// Send dialog: halfway between the left edges of Cancel (kl) and control
// 1102 (al), measured from Cancel's right edge kr.
constexpr int32_t SendButtonX(int32_t al, int32_t kl, int32_t kr) { return kr + (al + kl - 2 * kr) / 2; }

// Incoming dialog: a button as wide as 1269 (dl .. dr, in the inner dialog)
// centred in the gap from the right edge of 1559 (br) to Cancel's left edge
// (kl).
constexpr int32_t IncomingButtonX(int32_t br, int32_t kl, int32_t dl, int32_t dr) {
  return br + (kl + dl - dr - br) / 2;
}
