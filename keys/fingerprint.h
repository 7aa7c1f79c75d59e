// A public key's fingerprint: what two correspondents compare over another
// channel (by telephone, in person) to know that an imported key is the one
// its owner exported. It depends on the point only, never on the user ID,
// which anyone may change.
//
// The first 16 bytes of SHA-256 over the 116 coefficient bytes of x and then
// y (words 1..29 of each, high byte first), shown as eight groups of four
// upper-case hex digits: "1A2B 3C4D 5E6F 7081 92A3 B4C5 D6E7 F809".
#pragma once

#include <cstdint>

#include "keys/key_records.h"

constexpr int kFingerprintBytes = 16;
constexpr int kFingerprintChars = 8 * 4 + 7;  // without the terminating NUL
constexpr int kFingerprintInputBytes = 2 * 2 * kFieldDegree;

// The 116 bytes that are hashed.
void FingerprintInput(const PublicKeyRecord& key, uint8_t out[kFingerprintInputBytes]);

// The fingerprint text and its NUL into out. Returns 1, or 0 when the
// system's SHA-256 fails (out is then "").
int KeyFingerprint(const PublicKeyRecord& key, char out[kFingerprintChars + 1]);
