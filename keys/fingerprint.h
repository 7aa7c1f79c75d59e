// A public key's fingerprint: what two correspondents compare over another
// channel (by telephone, in person) to know that an imported key is the one
// its owner exported. It depends on the key's points only, never on the
// user ID, which anyone may change.
//
// The first 16 bytes of SHA-256 over a point's bytes, shown as eight groups
// of four upper-case hex digits: "1A2B 3C4D 5E6F 7081 92A3 B4C5 D6E7 F809".
// A key with a strong key (keys/strong_key.h) is known by its strong key's
// fingerprint, since only that one stands for messages that prove their
// sender; a key without one by its public point's.
#pragma once

#include <cstdint>

#include "keys/key_records.h"
#include "keys/strong_key.h"

constexpr int kFingerprintBytes = 16;
constexpr int kFingerprintChars = 8 * 4 + 7;  // without the terminating NUL
// A point's bytes: the 29 coefficient words of x, then of y, each high byte
// first. Key IDs and fingerprints hash them, and strong messages carry them.
constexpr int kPointBytes = 4 * kFieldDegree;

void PointBytes(const uint16_t* x, const uint16_t* y, uint8_t out[kPointBytes]);

// The fingerprint text and its NUL into out: over strong when it is present,
// over key's public point otherwise. Returns 1, or 0 when the system's
// SHA-256 fails (out is then "").
int KeyFingerprint(const PublicKeyRecord& key, const StrongKey& strong, char out[kFingerprintChars + 1]);
