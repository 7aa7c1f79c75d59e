// The two key file formats, byte by byte (see docs/key-files.md): parsing
// and formatting only, no input or output, so that every rule about the
// bytes can be tested and fuzzed on its own.
//
// All integers are little-endian. Both files start with the magic "VWG.", a
// file type (1 public, 2 secret) and a format version (1).
#pragma once

#include <cstdint>

#include "keys/key_records.h"

constexpr int kFileHeaderBytes = 8;
constexpr int kPublicHeaderBytes = kFileHeaderBytes + 2;  // header and entry count
constexpr int kPublicEntryBytes = 142;
constexpr int kMaxPublicFileBytes = kPublicHeaderBytes + kPublicEntryBytes * kMaxRingKeys;
constexpr int kSecretFileBytes = kFileHeaderBytes + 2 * kScalarWords;  // 938

constexpr int PublicFileBytes(int count) { return kPublicHeaderBytes + kPublicEntryBytes * count; }

// The user ID is stored through a fixed per-byte transform of all 20 bytes,
// the NUL padding included: stored = ((plain + 0x47) mod 256) XOR mask[i],
// mask[i] = (0x3C + 0x11 * i) mod 256.
void ScrambleUserId(uint8_t id[kUserIdBytes]);
void UnscrambleUserId(uint8_t id[kUserIdBytes]);

// How much a loaded public key file is trusted. Every entry is checked
// cheaply (canonical, on the curve, x != 0); a file offered for import comes
// from someone else and also has r * Q = O checked for every entry.
enum class PublicKeyCheck { kCheap, kFull };

// The entries of a public key file's bytes (the bytes after the last entry
// are ignored). Returns the count, 1..1000, with entries 0..count-1 filled
// and their IDs unscrambled; or 0 for a file that is malformed anywhere (bad
// header, count outside 1..1000, ending inside an entry, an entry failing
// its check), with entries left untouched.
int ParsePublicKeyFile(const uint8_t* data, int size, PublicKeyRecord* entries,
                       PublicKeyCheck check);

// The file for count (1..1000) records into out (PublicFileBytes(count)
// bytes); the records themselves are not changed.
void FormatPublicKeyFile(int count, const PublicKeyRecord* entries, uint8_t* out);

// True for a scalar as key generation makes it: bit count 1..464, every bit
// word 0 or 1, and the word at the bit count equal to 1.
bool IsValidSecretKey(const uint16_t* key);

// The secret key of a secret key file's bytes (bytes after 938 ignored).
// Returns 1 with key filled, or 0 for a malformed file or an invalid key,
// with key left untouched.
int ParseSecretKeyFile(const uint8_t* data, int size, uint16_t* key);

// The 938 bytes of the secret key file for key.
void FormatSecretKeyFile(const uint16_t* key, uint8_t out[kSecretFileBytes]);
