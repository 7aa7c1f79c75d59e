#include "keys/system/sha256.h"

#include "keys/system/bcrypt_handles.h"

// The pseudo-handle of the system's SHA-256 provider (Windows 10 and later)
// would save opening one, but older systems and Wine refuse it.
bool Sha256(const uint8_t* data, size_t size, uint8_t digest[kSha256Bytes]) {
  BcryptAlgorithm algorithm;
  BcryptHash hash;
  if (!BcryptOk(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
      !BcryptOk(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0))) {
    return false;
  }
  // BCryptHashData takes a ULONG count; key material is small, but a large
  // input is fed in pieces all the same.
  for (size_t done = 0; done < size;) {
    const ULONG piece = static_cast<ULONG>(size - done > 0x40000000u ? 0x40000000u : size - done);
    if (!BcryptOk(BCryptHashData(hash.get(), const_cast<PUCHAR>(data + done), piece, 0))) return false;
    done += piece;
  }
  return BcryptOk(BCryptFinishHash(hash.get(), digest, kSha256Bytes, 0));
}
