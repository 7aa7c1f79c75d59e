// What a public key is known by, both hashed from a point's bytes with
// SHA-256: its fingerprint and its ID.
//
// The fingerprint is what two correspondents compare over another channel
// (by telephone, in person) to know that an imported key is the one its
// owner exported. It depends on the key's points only, never on the user
// ID, which anyone may change. The first 16 bytes of the hash, shown as
// eight groups of four upper-case hex digits:
// "1A2B 3C4D 5E6F 7081 92A3 B4C5 D6E7 F809".
//
// The ID is the hash's first 8 bytes. Messages name their sender and
// recipient by it; as text it is 16 upper-case hex digits,
// "D016ACD7AFACF6A0", the first four groups of the fingerprint without the
// spaces.
//
// A key with a strong key (keys/strong_key.h) is known by its strong key's
// fingerprint and ID, since only that one stands for messages that prove
// their sender; a key without one by its public point's. Such a key has two
// IDs: ?VW2: messages and the marks for the old format name it by its public
// point, ?VW3: messages by its strong key, which is also the ID the programs
// show (RingKeyId).
#pragma once

#include <cstdint>

#include "keys/key_records.h"
#include "keys/strong_key.h"

constexpr int kFingerprintBytes = 16;
constexpr int kFingerprintChars = 8 * 4 + 7;  // without the terminating NUL
constexpr int kKeyIdBytes = 8;
constexpr int kKeyIdChars = 2 * kKeyIdBytes;  // without the terminating NUL
// A point's bytes: the 29 coefficient words of x, then of y, each high byte
// first. Key IDs and fingerprints hash them, and strong messages carry them.
constexpr int kPointBytes = 4 * kFieldDegree;

void PointBytes(const uint16_t* x, const uint16_t* y, uint8_t out[kPointBytes]);

// The fingerprint text and its NUL into out: over strong when it is present,
// over key's public point otherwise. True, or false when the system's
// SHA-256 fails (out is then "").
bool KeyFingerprint(const PublicKeyRecord& key, const StrongKey& strong, char out[kFingerprintChars + 1]);

// The ID over key's public point into id. True, or false when the system's
// SHA-256 fails.
bool KeyId(const PublicKeyRecord& key, uint8_t id[kKeyIdBytes]);

// The ID over a present strong key's point. True, or false as above.
bool StrongKeyId(const StrongKey& strong, uint8_t id[kKeyIdBytes]);

// The ID the key is shown by: StrongKeyId when strong is present, KeyId
// otherwise.
bool RingKeyId(const PublicKeyRecord& key, const StrongKey& strong, uint8_t id[kKeyIdBytes]);

// The ID as text, with its NUL, into out.
void KeyIdText(const uint8_t id[kKeyIdBytes], char out[kKeyIdChars + 1]);
