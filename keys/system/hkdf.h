// HKDF with SHA-256 (RFC 5869), written on the system's HMAC-SHA256: its two
// steps are a few HMAC calls, and Windows offers HKDF itself only from
// Windows 10 on.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/system/sha256.h"

constexpr size_t kHkdfMaxBytes = 255 * kSha256Bytes;

// The pseudo-random key PRK = HMAC(salt, ikm). An empty salt stands for 32
// zero bytes, as the RFC says (HMAC pads its key with zeros, so the result
// is the same; the explicit form spares the providers an empty key).
// True, or false when the provider fails.
bool HkdfExtract(const uint8_t* salt, size_t saltSize, const uint8_t* ikm, size_t ikmSize, uint8_t prk[kSha256Bytes]);

// The first size bytes (at most kHkdfMaxBytes) of T(1) | T(2) | ..., where
// T(i) = HMAC(prk, T(i-1) | info | i) and T(0) is empty. True, or false
// when size is too large or the provider fails; out is then all zeros.
bool HkdfExpand(const uint8_t prk[kSha256Bytes], const uint8_t* info, size_t infoSize, uint8_t* out, size_t size);

// Extract, then expand; the PRK is wiped. True or false as HkdfExpand.
bool Hkdf(const uint8_t* salt, size_t saltSize, const uint8_t* ikm, size_t ikmSize, const uint8_t* info,
          size_t infoSize, uint8_t* out, size_t size);
