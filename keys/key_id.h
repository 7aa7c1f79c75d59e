// A key's ID: the first 8 bytes of its fingerprint's hash, SHA-256 over a
// point's bytes (keys/fingerprint.h). Messages name their sender and
// recipient by it; as text it is 16 upper-case hex digits,
// "D016ACD7AFACF6A0", the first four groups of the fingerprint without the
// spaces.
//
// A key has two IDs once it has a strong key: ?VW2: messages and the marks
// for the old format name it by its public point, ?VW3: messages by its
// strong key, which is also the ID the programs show (RingKeyId), as its
// fingerprint is.
#pragma once

#include <cstdint>

#include "keys/key_records.h"
#include "keys/strong_key.h"

constexpr int kKeyIdBytes = 8;
constexpr int kKeyIdChars = 2 * kKeyIdBytes;  // without the terminating NUL

// The ID over key's public point into id. Returns 1, or 0 when the system's
// SHA-256 fails.
int KeyId(const PublicKeyRecord& key, uint8_t id[kKeyIdBytes]);

// The ID over a present strong key's point. Returns 1, or 0 as above.
int StrongKeyId(const StrongKey& strong, uint8_t id[kKeyIdBytes]);

// The ID the key is shown by: StrongKeyId when strong is present, KeyId
// otherwise.
int RingKeyId(const PublicKeyRecord& key, const StrongKey& strong, uint8_t id[kKeyIdBytes]);

// The ID as text, with its NUL, into out.
void KeyIdText(const uint8_t id[kKeyIdBytes], char out[kKeyIdChars + 1]);
