// HMAC-SHA256 and the password-based key derivation built on it, both from
// the system like Sha256: BCrypt on Windows, OpenSSL's libcrypto elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "keys/system/sha256.h"

// A message handed over in pieces and authenticated as their concatenation,
// so that callers need not copy the pieces into one buffer.
struct BytePiece {
  const uint8_t* data;
  size_t size;
};

// The HMAC-SHA256 under key of the concatenated pieces into mac. The key
// may have any length, none included (one longer than 64 bytes is hashed
// first, as HMAC says); a piece may be empty. True, or false when the
// provider fails (mac is then unspecified).
bool HmacSha256(const uint8_t* key, size_t keySize, std::initializer_list<BytePiece> message,
                uint8_t mac[kSha256Bytes]);

// PBKDF2 with HMAC-SHA256 (RFC 8018): size bytes into out from a password
// (any bytes, possibly none) and a salt, in iterations rounds, 1 to
// 2^31 - 1. True, or false for an iteration count outside that range or
// when the provider fails (out is then unspecified). Costs about two
// SHA-256 compressions per round and 32 bytes of output.
bool Pbkdf2Sha256(const uint8_t* password, size_t passwordSize, const uint8_t* salt, size_t saltSize,
                  uint32_t iterations, uint8_t* out, size_t size);
