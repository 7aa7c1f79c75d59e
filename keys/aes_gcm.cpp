#include "keys/aes_gcm.h"

#include <climits>

#include "crypto/wipe.h"

namespace {

// BCrypt counts in ULONG, OpenSSL in int.
bool FitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

}  // namespace

#ifdef _WIN32
#include "keys/bcrypt_handles.h"

namespace {

// A provider in GCM mode and the key object, both closed by their holders
// (the key first, as it is declared after the provider).
bool OpenGcmKey(const uint8_t key[kAesKeyBytes], BcryptAlgorithm& algorithm, BcryptKey& handle) {
  return BcryptOk(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_AES_ALGORITHM, nullptr, 0)) &&
         BcryptOk(BCryptSetProperty(algorithm.get(), BCRYPT_CHAINING_MODE,
                                    reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                                    sizeof BCRYPT_CHAIN_MODE_GCM, 0)) &&
         BcryptOk(BCryptGenerateSymmetricKey(algorithm.get(), handle.put(), nullptr, 0,
                                             const_cast<PUCHAR>(key), kAesKeyBytes, 0));
}

// Nonce, associated data and tag of a single-call encryption or decryption:
// no chaining across calls, so no IV buffer and no chaining flag.
BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO AuthInfo(const uint8_t* nonce, const uint8_t* aad, size_t aadSize,
                                               const uint8_t* tag) {
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
  BCRYPT_INIT_AUTH_MODE_INFO(info);
  info.pbNonce = const_cast<PUCHAR>(nonce);
  info.cbNonce = kGcmNonceBytes;
  info.pbAuthData = const_cast<PUCHAR>(aad);
  info.cbAuthData = static_cast<ULONG>(aadSize);
  info.pbTag = const_cast<PUCHAR>(tag);
  info.cbTag = kGcmTagBytes;
  return info;
}

bool OpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                  size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                  uint8_t* plain) {
  BcryptAlgorithm algorithm;
  BcryptKey handle;
  if (!FitsInt(size) || !FitsInt(aadSize) || !OpenGcmKey(key, algorithm, handle)) return false;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(nonce, aad, aadSize, tag);
  ULONG written = 0;
  return BcryptOk(BCryptDecrypt(handle.get(), const_cast<PUCHAR>(cipher), static_cast<ULONG>(size), &info,
                                nullptr, 0, plain, static_cast<ULONG>(size), &written, 0)) &&
         written == size;
}

}  // namespace

int AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
               size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher,
               uint8_t tag[kGcmTagBytes]) {
  BcryptAlgorithm algorithm;
  BcryptKey handle;
  if (!FitsInt(size) || !FitsInt(aadSize) || !OpenGcmKey(key, algorithm, handle)) return 0;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(nonce, aad, aadSize, tag);
  ULONG written = 0;
  return BcryptOk(BCryptEncrypt(handle.get(), const_cast<PUCHAR>(plain), static_cast<ULONG>(size), &info,
                                nullptr, 0, cipher, static_cast<ULONG>(size), &written, 0)) &&
                 written == size
             ? 1
             : 0;
}

#else
#include <openssl/evp.h>

#include <memory>

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

// The associated data goes in as an update without output; empty updates
// are left out, as a null buffer would mean something else.
bool OpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                  size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                  uint8_t* plain) {
  const CipherContext context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  int n = 0;
  return context && FitsInt(size) && FitsInt(aadSize) &&
         EVP_DecryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key, nonce) == 1 &&
         (aadSize == 0 || EVP_DecryptUpdate(context.get(), nullptr, &n, aad, static_cast<int>(aadSize)) == 1) &&
         (size == 0 || EVP_DecryptUpdate(context.get(), plain, &n, cipher, static_cast<int>(size)) == 1) &&
         EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, kGcmTagBytes, const_cast<uint8_t*>(tag)) == 1 &&
         EVP_DecryptFinal_ex(context.get(), plain, &n) == 1;
}

}  // namespace

int AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
               size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher,
               uint8_t tag[kGcmTagBytes]) {
  const CipherContext context(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
  int n = 0;
  return context && FitsInt(size) && FitsInt(aadSize) &&
                 EVP_EncryptInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, key, nonce) == 1 &&
                 (aadSize == 0 ||
                  EVP_EncryptUpdate(context.get(), nullptr, &n, aad, static_cast<int>(aadSize)) == 1) &&
                 (size == 0 || EVP_EncryptUpdate(context.get(), cipher, &n, plain, static_cast<int>(size)) == 1) &&
                 EVP_EncryptFinal_ex(context.get(), cipher, &n) == 1 &&
                 EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, kGcmTagBytes, tag) == 1
             ? 1
             : 0;
}
#endif

// Wine's BCrypt writes the decrypted bytes before it compares the tag, and
// OpenSSL leaves them there too: on any failure they must go.
int AesGcmOpen(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
               size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
               uint8_t* plain) {
  if (OpenOnSystem(key, nonce, aad, aadSize, cipher, size, tag, plain)) return 1;
  if (size) SecureWipe(plain, size);
  return 0;
}
