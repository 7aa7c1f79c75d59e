// The change of basis between GF((2^16)^29), the stored form of every field
// element, and GF(2)[z] / (z^464 + z^19 + z^18 + z^13 + 1), the working form
// of the fast scalar multiplication (crypto/gf464.h).
//
// Both are GF(2^464). With beta a root of x^16 + x^5 + x^3 + x + 1 and tau a
// root of t^29 + t^2 + 1 in the working field, x^j t^k -> beta^j tau^k is a
// field isomorphism (its domain is a field because 16 and 29 are coprime);
// its inverse sends z to alpha. The three constants were found by
// tests/crypto/find_basis.py; the tests check what makes them right.
#pragma once

#include <cstdint>

#include "crypto/ct.h"
#include "crypto/gf464.h"

// Columns of a GF(2)-linear map of 464 bits: column i is the image of bit i.
struct BasisMatrix {
  alignas(16) uint64_t col[kGf464Bits][kGf464Words];
};

extern const uint64_t BasisBeta[kGf464Words];
extern const uint64_t BasisTau[kGf464Words];
extern const uint64_t BasisAlpha[kGf464Words];  // z, in the stored form

// The stored form as 464 bits: coefficient word k + 1 in bits 16k..16k+15.
// CT: built once from the constants above, on first use.
const BasisMatrix& StoredToWorking();
const BasisMatrix& WorkingToStored();

// Words 1..29 of a FieldElement as 464 bits, and back (the length word is
// the caller's).
// CT: yes.
void PackStored(const uint16_t* e, uint64_t w[kGf464Words]);
void UnpackStored(const uint64_t w[kGf464Words], uint16_t* e);

// out = m * in.
// CT: each input bit selects its column through a mask; every column is read.
template <class B>
void ApplyBasis(const BasisMatrix& m, const uint64_t in[kGf464Words], typename Gf464<B>::E out) {
  for (int i = 0; i < kGf464Lanes; ++i) out[i] = B::Zero();
  for (int bit = 0; bit < kGf464Bits; ++bit) {
    const auto mask = B::Broadcast(CtBitMask((in[bit / 64] >> (bit % 64)) & 1));
    for (int i = 0; i < kGf464Lanes; ++i) out[i] = B::Xor(out[i], B::And(mask, B::Load(m.col[bit] + 2 * i)));
  }
}
