#include "keys/hmac_sha256.h"

#include <climits>

namespace {

// The sizes both systems take: BCrypt counts in ULONG, OpenSSL's PBKDF2 in
// int. Key material and messages stay far below.
bool FitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

bool ValidIterations(uint32_t iterations) { return iterations >= 1 && iterations <= INT_MAX; }

}  // namespace

#ifdef _WIN32
#include "keys/bcrypt_handles.h"

namespace {

// The pseudo-handle of the system's HMAC-SHA256 (Windows 10 and later)
// would save opening a provider, but older systems and Wine refuse it.
bool OpenHmacSha256(BcryptAlgorithm& algorithm) {
  return BcryptOk(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                              BCRYPT_ALG_HANDLE_HMAC_FLAG));
}

}  // namespace

int HmacSha256(const uint8_t* key, size_t keySize, std::initializer_list<BytePiece> message,
               uint8_t mac[kSha256Bytes]) {
  BcryptAlgorithm algorithm;
  BcryptHash hash;
  if (!FitsInt(keySize) || !OpenHmacSha256(algorithm) ||
      !BcryptOk(BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, const_cast<PUCHAR>(key),
                                 static_cast<ULONG>(keySize), 0))) {
    return 0;
  }
  for (const BytePiece& piece : message) {
    if (piece.size == 0) continue;
    if (!FitsInt(piece.size) ||
        !BcryptOk(BCryptHashData(hash.get(), const_cast<PUCHAR>(piece.data),
                                 static_cast<ULONG>(piece.size), 0))) {
      return 0;
    }
  }
  return BcryptOk(BCryptFinishHash(hash.get(), mac, kSha256Bytes, 0)) ? 1 : 0;
}

int Pbkdf2Sha256(const uint8_t* password, size_t passwordSize, const uint8_t* salt,
                 size_t saltSize, uint32_t iterations, uint8_t* out, size_t size) {
  BcryptAlgorithm algorithm;
  if (!ValidIterations(iterations) || !FitsInt(passwordSize) || !FitsInt(saltSize) ||
      !FitsInt(size) || !OpenHmacSha256(algorithm)) {
    return 0;
  }
  return BcryptOk(BCryptDeriveKeyPBKDF2(algorithm.get(), const_cast<PUCHAR>(password),
                                        static_cast<ULONG>(passwordSize), const_cast<PUCHAR>(salt),
                                        static_cast<ULONG>(saltSize), iterations, out,
                                        static_cast<ULONG>(size), 0))
             ? 1
             : 0;
}

#else
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <memory>

int HmacSha256(const uint8_t* key, size_t keySize, std::initializer_list<BytePiece> message,
               uint8_t mac[kSha256Bytes]) {
  const std::unique_ptr<EVP_MAC, decltype(&EVP_MAC_free)> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr),
                                                               EVP_MAC_free);
  if (!hmac) return 0;
  const std::unique_ptr<EVP_MAC_CTX, decltype(&EVP_MAC_CTX_free)> context(EVP_MAC_CTX_new(hmac.get()),
                                                                          EVP_MAC_CTX_free);
  char digest[] = "SHA256";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
  // A null key would mean "the key set before"; an empty one is a key all the same.
  static const uint8_t kNoKey = 0;
  if (!context || EVP_MAC_init(context.get(), keySize ? key : &kNoKey, keySize, params) != 1) return 0;
  for (const BytePiece& piece : message) {
    if (piece.size && EVP_MAC_update(context.get(), piece.data, piece.size) != 1) return 0;
  }
  size_t length = 0;
  return EVP_MAC_final(context.get(), mac, &length, kSha256Bytes) == 1 && length == kSha256Bytes ? 1 : 0;
}

int Pbkdf2Sha256(const uint8_t* password, size_t passwordSize, const uint8_t* salt,
                 size_t saltSize, uint32_t iterations, uint8_t* out, size_t size) {
  if (!ValidIterations(iterations) || !FitsInt(passwordSize) || !FitsInt(saltSize) || !FitsInt(size)) {
    return 0;
  }
  return PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(password), static_cast<int>(passwordSize), salt,
                           static_cast<int>(saltSize), static_cast<int>(iterations), EVP_sha256(),
                           static_cast<int>(size), out) == 1
             ? 1
             : 0;
}
#endif
