#include "keys/sha256.h"

#include <windows.h>
#include <bcrypt.h>

// The pseudo-handle of the system's SHA-256 provider (Windows 10 and later)
// would save opening one, but older systems and Wine refuse it.
int Sha256(const uint8_t* data, size_t size, uint8_t digest[kSha256Bytes]) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) return 0;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) >= 0;
  // BCryptHashData takes a ULONG count; key material is small, but a large
  // input is fed in pieces all the same.
  for (size_t done = 0; ok && done < size;) {
    const ULONG piece = static_cast<ULONG>(size - done > 0x40000000u ? 0x40000000u : size - done);
    ok = BCryptHashData(hash, const_cast<PUCHAR>(data + done), piece, 0) >= 0;
    done += piece;
  }
  ok = ok && BCryptFinishHash(hash, digest, kSha256Bytes, 0) >= 0;
  if (hash) BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  return ok ? 1 : 0;
}
