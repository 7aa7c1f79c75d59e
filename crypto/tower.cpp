#include "crypto/tower.h"

#include <cstring>

#include "crypto/field.h"

// t^m = t^(m-29) (t^2 + 1), top down so that what lands at or above t^29 is
// folded again.
void TowerFold(uint16_t c[kTowerSlots], uint16_t keep, uint16_t* out) {
  for (int m = kTowerSlots - 1; m >= kFieldDegree; --m) {
    c[m - 29] ^= c[m];
    c[m - 27] ^= c[m];
  }
  out[0] = kFieldDegree & keep;
  for (int k = 0; k < kFieldDegree; ++k) out[k + 1] = c[k] & keep;
  std::memset(out + kElementWords, 0, (kProductWords - kElementWords) * sizeof(uint16_t));
}
