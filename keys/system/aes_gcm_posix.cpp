#include "keys/system/aes_gcm.h"

#include <openssl/evp.h>

#include "base/owned.h"
#include "keys/system/system_crypto.h"

namespace {

using CipherContext = Owned<NullIsEmpty<EVP_CIPHER_CTX*, EVP_CIPHER_CTX_free>>;

}  // namespace

// The associated data goes in as an update without output; empty updates
// are left out, as a null buffer would mean something else.
bool AesGcmOpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                        size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                        uint8_t* plain) {
  const CipherContext context(EVP_CIPHER_CTX_new());
  int n = 0;
  return context && FitsInt(size) && FitsInt(aadSize) &&
         EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key, nonce) == 1 &&
         (aadSize == 0 || EVP_DecryptUpdate(context.get(), nullptr, &n, aad, static_cast<int>(aadSize)) == 1) &&
         (size == 0 || EVP_DecryptUpdate(context.get(), plain, &n, cipher, static_cast<int>(size)) == 1) &&
         EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagBytes, const_cast<uint8_t*>(tag)) == 1 &&
         EVP_DecryptFinal_ex(context.get(), plain, &n) == 1;
}

bool AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher, uint8_t tag[kGcmTagBytes]) {
  const CipherContext context(EVP_CIPHER_CTX_new());
  int n = 0;
  return context && FitsInt(size) && FitsInt(aadSize) &&
         EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key, nonce) == 1 &&
         (aadSize == 0 || EVP_EncryptUpdate(context.get(), nullptr, &n, aad, static_cast<int>(aadSize)) == 1) &&
         (size == 0 || EVP_EncryptUpdate(context.get(), cipher, &n, plain, static_cast<int>(size)) == 1) &&
         EVP_EncryptFinal_ex(context.get(), cipher, &n) == 1 &&
         EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagBytes, tag) == 1;
}
