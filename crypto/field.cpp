#include "crypto/field.h"

#include <cstring>

#include "crypto/clmul_portable.h"
#include "crypto/ct.h"
#include "crypto/dispatch.h"
#include "crypto/tower.h"
#include "crypto/wipe.h"

const uint16_t FieldZero[kElementWords] = {};

void FieldAdd(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  uint16_t any = 0;
  for (int i = 1; i <= kFieldDegree; ++i) {
    out[i] = a[i] ^ b[i];
    any |= out[i];
  }
  out[0] = kFieldDegree & static_cast<uint16_t>(~CtZeroMask(any));
}

void FieldCopy(uint16_t* dst, const uint16_t* src) {
  std::memcpy(dst, src, kElementWords * sizeof(uint16_t));
}

bool FieldEqual(const uint16_t* a, const uint16_t* b) {
  return std::memcmp(a, b, kElementWords * sizeof(uint16_t)) == 0;
}

void FieldMul(const uint16_t* a, const uint16_t* b, uint16_t* out) { ActiveArith().fieldMul(a, b, out); }

// Squaring is linear in characteristic 2: (sum c_k t^k)^2 = sum c_k^2 t^2k,
// and c^2 over GF(2) spreads bit i of c to bit 2i; no product is needed.
void FieldSquare(const uint16_t* a, uint16_t* out) {
  uint64_t w[2 * kTowerSlotLanes] = {};
  for (int k = 0; k < kFieldDegree; ++k) w[k] = ClmulPortable::Spread32(a[k + 1]);
  ClmulPortable::V lanes[kTowerSlotLanes];
  for (int i = 0; i < kTowerSlotLanes; ++i) lanes[i] = ClmulPortable::Load(w + 2 * i);
  TowerFinish<ClmulPortable>(lanes, TowerKeepMask(a[0], a[0]), out);
  SecureWipe(w, sizeof w);
  SecureWipe(lanes, sizeof lanes);
}

// The inverse of a message key: its spills are burnt with the stack.
void FieldInverse(const uint16_t* a, uint16_t* out) {
  ActiveArith().fieldInverse(a, out);
  BurnStack();
}
