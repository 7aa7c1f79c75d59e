// A public key's ID: the first 8 bytes of its fingerprint's hash (SHA-256
// over the 116 coefficient bytes of x and then y). Strong messages name
// their sender and recipient by it; as text it is 16 upper-case hex digits,
// "D016ACD7AFACF6A0", the first four groups of the fingerprint without the
// spaces. Like the fingerprint it depends on the point alone.
#pragma once

#include <cstdint>

#include "keys/key_records.h"

constexpr int kKeyIdBytes = 8;
constexpr int kKeyIdChars = 2 * kKeyIdBytes;  // without the terminating NUL

// The key's ID into id. Returns 1, or 0 when the system's SHA-256 fails.
int KeyId(const PublicKeyRecord& key, uint8_t id[kKeyIdBytes]);

// The ID as text, with its NUL, into out.
void KeyIdText(const uint8_t id[kKeyIdBytes], char out[kKeyIdChars + 1]);
