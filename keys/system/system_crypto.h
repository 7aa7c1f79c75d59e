// What the system's primitives share between their Windows and POSIX builds
// (keys/system/aes_gcm_*.cpp, keys/system/hmac_sha256_*.cpp). Private to keys/.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>

#include "keys/system/aes_gcm.h"

// The sizes both systems take: BCrypt counts in ULONG, OpenSSL in int. Key
// material and messages stay far below.
inline bool FitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

inline bool ValidIterations(uint32_t iterations) { return iterations >= 1 && iterations <= INT_MAX; }

// AesGcmOpen on the system's provider, which may leave decrypted bytes in
// plain when it fails; AesGcmOpen wipes them.
bool AesGcmOpenOnSystem(const uint8_t key[kAesKeyBytes], const uint8_t nonce[kGcmNonceBytes], const uint8_t* aad,
                        size_t aadSize, const uint8_t* cipher, size_t size, const uint8_t tag[kGcmTagBytes],
                        uint8_t* plain);
