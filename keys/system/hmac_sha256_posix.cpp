#include "keys/system/hmac_sha256.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include "base/owned.h"
#include "keys/system/system_crypto.h"

bool HmacSha256(const uint8_t* key, size_t keySize, std::initializer_list<BytePiece> message,
                uint8_t mac[kSha256Bytes]) {
  const Owned<NullIsEmpty<EVP_MAC*, EVP_MAC_free>> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  if (!hmac) return false;
  const Owned<NullIsEmpty<EVP_MAC_CTX*, EVP_MAC_CTX_free>> context(EVP_MAC_CTX_new(hmac.get()));
  char digest[] = "SHA256";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
  // A null key would mean "the key set before"; an empty one is a key all the same.
  static const uint8_t kNoKey = 0;
  if (!context || EVP_MAC_init(context.get(), keySize ? key : &kNoKey, keySize, params) != 1) return false;
  for (const BytePiece& piece : message) {
    if (piece.size && EVP_MAC_update(context.get(), piece.data, piece.size) != 1) return false;
  }
  size_t length = 0;
  return EVP_MAC_final(context.get(), mac, &length, kSha256Bytes) == 1 && length == kSha256Bytes;
}

bool Pbkdf2Sha256(const uint8_t* password, size_t passwordSize, const uint8_t* salt, size_t saltSize,
                  uint32_t iterations, uint8_t* out, size_t size) {
  if (!ValidIterations(iterations) || !FitsInt(passwordSize) || !FitsInt(saltSize) || !FitsInt(size)) {
    return false;
  }
  return PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(password), static_cast<int>(passwordSize), salt,
                           static_cast<int>(saltSize), static_cast<int>(iterations), EVP_sha256(),
                           static_cast<int>(size), out) == 1;
}
