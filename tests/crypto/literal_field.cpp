#include "tests/crypto/literal.h"

#include <cstring>

#include "tests/crypto/gf16.h"

namespace literal {

const uint16_t FieldModulus[kWorkPolyWords] = {30, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0};

// Schoolbook 29 x 29 product in the log domain: the logs of both operands'
// nonzero coefficients are looked up once, so each partial product is a
// single antilog read. Karatsuba would save multiplications but not table
// reads, which dominate here.
void FieldMul(const uint16_t* a, const uint16_t* b, uint16_t* out) {
  std::memset(out + 1, 0, (kProductWords - 1) * sizeof(uint16_t));
  if (a[0] == 0 || b[0] == 0) {
    out[0] = 0;
    return;
  }
  uint16_t logB[kFieldDegree];
  uint8_t indexB[kFieldDegree];
  int nb = 0;
  for (int j = 1; j <= kFieldDegree; ++j) {
    if (b[j] != 0) {
      logB[nb] = Gf16Log[b[j]];
      indexB[nb++] = static_cast<uint8_t>(j - 1);
    }
  }
  for (int i = 1; i <= kFieldDegree; ++i) {
    if (a[i] == 0) continue;
    const uint32_t logA = Gf16Log[a[i]];
    uint16_t* row = out + i;  // word i + j - 1 for coefficient word j
    for (int k = 0; k < nb; ++k) row[indexB[k]] ^= Gf16Exp[logA + logB[k]];
  }
  out[0] = kProductWords - 1;
  FieldReduce(out);
}

// Squaring is linear in characteristic 2: (sum c_k t^k)^2 = sum c_k^2 t^2k.
void FieldSquare(const uint16_t* a, uint16_t* out) {
  if (a[0] == 0) {
    ::FieldCopy(out, ::FieldZero);
    return;
  }
  for (int k = 1; k <= kFieldDegree; ++k) {
    out[2 * k - 1] = a[k] ? Gf16Exp[2u * Gf16Log[a[k]]] : 0;
    if (k < kFieldDegree) out[2 * k] = 0;
  }
  out[0] = kProductWords - 1;
  FieldReduce(out);
}

// Extended Euclid over GF(2^16)[t] keeping one cofactor, with the invariants
// B1 * a = U and B2 * a = V modulo the field polynomial. The modulus is
// irreducible, so U never vanishes and the loop ends at a constant U.
void FieldInverse(const uint16_t* a, uint16_t* out) {
  uint16_t u[kWorkPolyWords], v[kWorkPolyWords], b1[kWorkPolyWords], b2[kWorkPolyWords];
  uint16_t scaled[kWorkPolyWords];
  PolyCopy(u, a);
  while (u[0] > 0 && u[u[0]] == 0) --u[0];
  PolyCopy(v, FieldModulus);
  b1[0] = 1;
  b1[1] = 1;
  b2[0] = 0;
  uint16_t *pu = u, *pv = v, *pb1 = b1, *pb2 = b2;
  while (pu[0] != 1) {
    if (pu[0] < pv[0]) {
      uint16_t* t = pu; pu = pv; pv = t;
      t = pb1; pb1 = pb2; pb2 = t;
    }
    const int j = pu[0] - pv[0];
    const uint16_t d = Gf16Div(pu[pu[0]], pv[pv[0]]);
    PolyScaleShift(pv, d, j, scaled);
    PolyAdd(pu, scaled, pu);
    PolyScaleShift(pb2, d, j, scaled);
    PolyAdd(pb1, scaled, pb1);
  }
  const uint16_t c = pu[1];
  const int lb = pb1[0];
  for (int k = 1; k <= kFieldDegree; ++k) out[k] = (k <= lb && pb1[k]) ? Gf16Div(pb1[k], c) : 0;
  out[0] = kFieldDegree;
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

}  // namespace literal
