#include "keys/system/aes_gcm.h"

#include "crypto/wipe.h"
#include "keys/system/system_crypto.h"

// Wine's BCrypt writes the decrypted bytes before it compares the tag, and
// OpenSSL leaves them there too: on any failure they must go.
bool AesGcmOpen(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes], uint8_t* plain) {
  if (AesGcmOpenOnSystem(key, nonce, aad, aadSize, cipher, size, tag, plain)) return true;
  if (size) SecureWipe(plain, size);
  return false;
}
