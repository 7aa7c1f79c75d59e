// SHA-256 from a well-kept implementation rather than our own: the
// operating system's BCrypt on Windows, OpenSSL's libcrypto elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kSha256Bytes = 32;

// The digest of size bytes at data into digest. True, or false when the
// provider fails (digest is then unspecified); nothing is reported here.
bool Sha256(const uint8_t* data, size_t size, uint8_t digest[kSha256Bytes]);
