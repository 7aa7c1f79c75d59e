// AES-256 in Galois/counter mode from the system: BCrypt on Windows,
// OpenSSL's libcrypto elsewhere. 12-byte nonce, 16-byte tag, associated data
// authenticated but not encrypted.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kAesKeyBytes = 32;
constexpr int kGcmNonceBytes = 12;
constexpr int kGcmTagBytes = 16;

// Encrypts size bytes of plain into cipher (as many bytes, not overlapping
// plain) and writes the tag. A key must never seal two texts under the same
// nonce: that would give away the XOR of the texts and allow forgeries.
// Sizes up to 2^31 - 1 bytes. True, or false when the provider fails
// (cipher and tag are then unspecified).
bool AesGcmSeal(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* plain, size_t size, uint8_t* cipher, uint8_t tag[kGcmTagBytes]);

// Decrypts size bytes of cipher into plain (not overlapping) and checks the
// tag over the associated data and the cipher text. True, or false when the
// tag does not match or the provider fails; plain is then all zeros, even
// where the provider wrote the decrypted bytes before comparing the tag.
bool AesGcmOpen(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes], uint8_t* plain);
