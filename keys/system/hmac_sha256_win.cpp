#include "keys/system/hmac_sha256.h"

#include "keys/system/bcrypt_handles.h"
#include "keys/system/system_crypto.h"

namespace {

// The pseudo-handle of the system's HMAC-SHA256 (Windows 10 and later)
// would save opening a provider, but older systems and Wine refuse it.
bool OpenHmacSha256(BcryptAlgorithm& algorithm) {
  return BcryptOk(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                              BCRYPT_ALG_HANDLE_HMAC_FLAG));
}

}  // namespace

bool HmacSha256(const uint8_t* key, size_t keySize, std::initializer_list<BytePiece> message,
                uint8_t mac[kSha256Bytes]) {
  BcryptAlgorithm algorithm;
  BcryptHash hash;
  if (!FitsInt(keySize) || !OpenHmacSha256(algorithm) ||
      !BcryptOk(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, const_cast<PUCHAR>(key),
                                 static_cast<ULONG>(keySize), 0))) {
    return false;
  }
  for (const BytePiece& piece : message) {
    if (piece.size == 0) continue;
    if (!FitsInt(piece.size) ||
        !BcryptOk(BCryptHashData(hash.get(), const_cast<PUCHAR>(piece.data),
                                 static_cast<ULONG>(piece.size), 0))) {
      return false;
    }
  }
  return BcryptOk(BCryptFinishHash(hash.get(), mac, kSha256Bytes, 0));
}

bool Pbkdf2Sha256(const uint8_t* password, size_t passwordSize, const uint8_t* salt, size_t saltSize,
                  uint32_t iterations, uint8_t* out, size_t size) {
  BcryptAlgorithm algorithm;
  if (!ValidIterations(iterations) || !FitsInt(passwordSize) || !FitsInt(saltSize) ||
      !FitsInt(size) || !OpenHmacSha256(algorithm)) {
    return false;
  }
  return BcryptOk(BCryptDeriveKeyPBKDF2(algorithm.get(), const_cast<PUCHAR>(password), static_cast<ULONG>(passwordSize),
                                        const_cast<PUCHAR>(salt), static_cast<ULONG>(saltSize), iterations, out,
                                        static_cast<ULONG>(size), 0));
}
