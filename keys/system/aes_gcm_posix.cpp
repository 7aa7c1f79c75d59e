#include "keys/system/aes_gcm.h"

#include <openssl/evp.h>

#include "base/owned.h"
#include "keys/system/system_crypto.h"

namespace {

using CipherContext = Owned<NullIsEmpty<EVP_CIPHER_CTX*, EVP_CIPHER_CTX_free>>;

// Sets the key and the nonce, then runs the associated data and the size
// bytes of in through, into out: encrypting when encrypt is 1, decrypting
// when it is 0. The associated data goes in as an update without output;
// empty updates are left out, as a null buffer would mean something else.
bool RunGcmBody(EVP_CIPHER_CTX* context, int encrypt, const uint8_t key[kAesKeyBytes],
                const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad, size_t aadSize, const uint8_t* in, size_t size,
                uint8_t* out) {
  int n = 0;
  return FitsInt(size) && FitsInt(aadSize) &&
         EVP_CipherInit_ex(context, EVP_aes_256_gcm(), nullptr, key, nonce, encrypt) == 1 &&
         (aadSize == 0 || EVP_CipherUpdate(context, nullptr, &n, aad, static_cast<int>(aadSize)) == 1) &&
         (size == 0 || EVP_CipherUpdate(context, out, &n, in, static_cast<int>(size)) == 1);
}

}  // namespace

// The tag is set before the final step, which checks it.
bool AesGcmOpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                        size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                        uint8_t* plain) {
  const CipherContext context(EVP_CIPHER_CTX_new());
  int n = 0;
  return context && RunGcmBody(context.get(), 0, key, nonce, aad, aadSize, cipher, size, plain) &&
         EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagBytes, const_cast<uint8_t*>(tag)) == 1 &&
         EVP_CipherFinal_ex(context.get(), plain, &n) == 1;
}

bool AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher, uint8_t tag[kGcmTagBytes]) {
  const CipherContext context(EVP_CIPHER_CTX_new());
  int n = 0;
  return context && RunGcmBody(context.get(), 1, key, nonce, aad, aadSize, plain, size, cipher) &&
         EVP_CipherFinal_ex(context.get(), cipher, &n) == 1 &&
         EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagBytes, tag) == 1;
}
