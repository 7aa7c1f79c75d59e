#include "keys/system/aes_gcm.h"

#include "keys/system/bcrypt_handles.h"
#include "keys/system/system_crypto.h"

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

// One single-call encryption or decryption of size bytes from in to out:
// BCryptEncrypt and BCryptDecrypt take the same arguments.
bool RunGcm(decltype(&BCryptEncrypt) operation, const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes],
            const uint8_t* aad, size_t aadSize, const uint8_t* in, size_t size, uint8_t* out, const uint8_t* tag) {
  BcryptAlgorithm algorithm;
  BcryptKey handle;
  if (!FitsInt(size) || !FitsInt(aadSize) || !OpenGcmKey(key, algorithm, handle)) return false;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = AuthInfo(nonce, aad, aadSize, tag);
  ULONG written = 0;
  return BcryptOk(operation(handle.get(), const_cast<PUCHAR>(in), static_cast<ULONG>(size), &info, nullptr, 0, out,
                            static_cast<ULONG>(size), &written, 0)) &&
         written == size;
}

}  // namespace

bool AesGcmOpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                        size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                        uint8_t* plain) {
  return RunGcm(BCryptDecrypt, key, nonce, aad, aadSize, cipher, size, plain, tag);
}

bool AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher, uint8_t tag[kGcmTagBytes]) {
  return RunGcm(BCryptEncrypt, key, nonce, aad, aadSize, plain, size, cipher, tag);
}
