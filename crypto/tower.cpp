#include "crypto/tower.h"

#include <cstring>

#include "crypto/field.h"

// A 31-bit value modulo x^16 + x^5 + x^3 + x + 1: the bits from 16 up come
// back as h (x^5 + x^3 + x + 1); once more for the few that x^5 lifts past 16.
static uint32_t Gf16Fold(uint32_t v) {
  for (int round = 0; round < 2; ++round) {
    const uint32_t h = v >> 16;
    v = (v & 0xFFFF) ^ h ^ (h << 1) ^ (h << 3) ^ (h << 5);
  }
  return v;
}

// t^(m) = t^(m-29) (t^2 + 1), top down so that what lands at or above t^29
// is folded again.
void TowerFinish(uint32_t slots[kTowerSlots], uint16_t keep, uint16_t* out) {
  for (int m = kTowerSlots - 1; m >= kFieldDegree; --m) {
    slots[m - 29] ^= slots[m];
    slots[m - 27] ^= slots[m];
  }
  out[0] = kFieldDegree & keep;
  for (int k = 0; k < kFieldDegree; ++k) out[k + 1] = static_cast<uint16_t>(Gf16Fold(slots[k])) & keep;
  std::memset(out + kElementWords, 0, (kProductWords - kElementWords) * sizeof(uint16_t));
}
