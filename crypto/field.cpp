#include "crypto/field.h"

#include <cstring>

#include "crypto/clmul_portable.h"
#include "crypto/fast_arith.h"
#include "crypto/gf16.h"
#include "crypto/tower.h"

const uint16_t FieldZero[kElementWords] = {};
const uint16_t FieldModulus[kWorkPolyWords] = {30, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};

void FieldAdd(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  uint16_t any = 0;
  for (int i = 1; i <= kFieldDegree; ++i) {
    out[i] = a[i] ^ b[i];
    any |= out[i];
  }
  out[0] = any ? kFieldDegree : 0;
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
}

// Word m holds the coefficient of t^(m-1) = t^(m-30) * t^29, which moves to
// t^(m-28) and t^(m-30), words m-27 and m-29. Top down, so that a coefficient
// folded into a word at or above 30 is folded again later.
void FieldReduce(uint16_t* e) {
  for (int m = e[0]; m >= kFieldDegree + 1; --m) {
    const uint16_t c = e[m];
    e[m - 29] ^= c;
    e[m - 27] ^= c;
    e[m] = 0;
  }
  e[0] = kFieldDegree;
}

void PolyCopy(uint16_t* dst, const uint16_t* src) {
  std::memcpy(dst, src, (src[0] + 1u) * sizeof(uint16_t));
}

// The common words, then the longer operand's tail, then the length found
// from the top: no per-word test of which operand still has words.
void PolyAdd(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  const int la = a[0], lb = b[0];
  const int common = la < lb ? la : lb;
  for (int k = 1; k <= common; ++k) out[k] = a[k] ^ b[k];
  const uint16_t* longer = la > lb ? a : b;
  const int n = la > lb ? la : lb;
  for (int k = common + 1; k <= n; ++k) out[k] = longer[k];
  int top = n;
  while (top > 0 && out[top] == 0) --top;
  out[0] = static_cast<uint16_t>(top);
}

void PolyScaleShift(const uint16_t* v, uint16_t d, int j, uint16_t* out) {
  const int lv = v[0];
  const uint32_t logD = Gf16Log[d];
  for (int k = lv; k >= 1; --k) out[j + k] = v[k] ? Gf16Exp[logD + Gf16Log[v[k]]] : 0;
  for (int k = 1; k <= j; ++k) out[k] = 0;
  out[0] = static_cast<uint16_t>(lv + j);
}

void FieldInverse(const uint16_t* a, uint16_t* out) { ActiveArith().fieldInverse(a, out); }
