#include "crypto/basis.h"

#include <cstring>

#include "crypto/clmul_portable.h"
#include "crypto/field.h"
#include "crypto/tower.h"

const uint64_t BasisBeta[kGf464Words] = {
    0x784D6666D8CA039A, 0x32EABF25C76B864D, 0xF217A2A870E5FA2B, 0xE8CC103FC0A581BE,
    0x932DFB6F8B5F5C82, 0xBEA4DCE7995EB568, 0xB061E1346812D032, 0x000000000000835A};
const uint64_t BasisTau[kGf464Words] = {
    0x6BE4441F8D75D974, 0x89F9A227D7E256BF, 0x1A24B9B14D12FCB6, 0x0788C1D5B7D069ED,
    0x3C463CFA220C6BB1, 0x548E3CBFCC20E263, 0x3041053EBFAACDE2, 0x0000000000009FFE};
const uint64_t BasisAlpha[kGf464Words] = {
    0x7AA1D89FF25090E3, 0x940A5D261DAFF00E, 0x43CABDDB1136287A, 0xB2F8E32980DD14A6,
    0x8BED8471D1C01B2D, 0xB4B4779FBDC27F4E, 0xEFB2D56BC96FE9DD, 0x0000000000006023};

void PackStored(const uint16_t* e, uint64_t w[kGf464Words]) {
  std::memset(w, 0, kGf464Words * sizeof(uint64_t));
  for (int k = 0; k < kFieldDegree; ++k) w[k / 4] |= uint64_t{e[k + 1]} << (16 * (k % 4));
}

void UnpackStored(const uint64_t w[kGf464Words], uint16_t* e) {
  for (int k = 0; k < kFieldDegree; ++k) e[k + 1] = static_cast<uint16_t>(w[k / 4] >> (16 * (k % 4)));
}

namespace {

using Portable = Gf464<ClmulPortable>;

// Column 16k + j = beta^j tau^k.
// CT: from constants only.
BasisMatrix BuildStoredToWorking() {
  BasisMatrix m;
  Portable::E beta, tau, tk, c;
  Portable::Load(BasisBeta, beta);
  Portable::Load(BasisTau, tau);
  Portable::SetOne(tk);
  for (int k = 0; k < kFieldDegree; ++k) {
    Portable::Set(c, tk);
    for (int j = 0; j < 16; ++j) {
      Portable::Store(c, m.col[16 * k + j]);
      Portable::Mul(c, beta, c);
    }
    Portable::Mul(tk, tau, tk);
  }
  return m;
}

// Column i = alpha^i in the stored form.
// CT: from constants only.
BasisMatrix BuildWorkingToStored() {
  BasisMatrix m;
  uint16_t alpha[kTempWords] = {kFieldDegree}, power[kTempWords] = {kFieldDegree, 1}, next[kTempWords];
  UnpackStored(BasisAlpha, alpha);
  for (int i = 0; i < kGf464Bits; ++i) {
    PackStored(power, m.col[i]);
    TowerMul<ClmulPortable>(power, alpha, next);
    std::memcpy(power, next, kElementWords * sizeof(uint16_t));
  }
  return m;
}

}  // namespace

// Built on first use (about 900 products, well under a millisecond) rather
// than stored: 60 KB of constants would say less than the three above.
const BasisMatrix& StoredToWorking() {
  static const BasisMatrix m = BuildStoredToWorking();
  return m;
}

const BasisMatrix& WorkingToStored() {
  static const BasisMatrix m = BuildWorkingToStored();
  return m;
}
