// The two key file formats, byte by byte (see docs/key-files.md): parsing
// and formatting only, no input or output, so that every rule about the
// bytes can be tested and fuzzed on its own.
//
// All integers are little-endian. Both files start with the magic "VWG.", a
// file type (1 public, 2 secret) and a format version (1).
//
// A public key file whose entries have strong keys (keys/strong_key.h)
// carries them in a trailer after the last entry: the magic "VWGS", the
// entry count again, then one 122-byte slot per entry (a word 1 and the
// strong key's x and y in the entry's layout, or 122 zero bytes). Readers
// that know nothing of it ignore it, as they ignore any bytes after the
// entries; a file in which no entry has a strong key has no trailer.
#pragma once

#include <cstdint>

#include "keys/key_records.h"
#include "keys/strong_key.h"

constexpr int kFileHeaderBytes = 8;
constexpr int kPublicHeaderBytes = kFileHeaderBytes + 2;  // header and entry count
constexpr int kPublicEntryBytes = 142;
constexpr int kTrailerHeaderBytes = 6;  // "VWGS" and the count
constexpr int kTrailerSlotBytes = 122;
constexpr int kSecretFileBytes = kFileHeaderBytes + 2 * kScalarWords;  // 938

// The entries' part of the file, and the trailer, for count entries.
constexpr int PublicFileBytes(int count) { return kPublicHeaderBytes + kPublicEntryBytes * count; }
constexpr int TrailerBytes(int count) { return kTrailerHeaderBytes + kTrailerSlotBytes * count; }
// The longest file a reader accepts that has no bytes beyond its trailer:
// 264,016 bytes.
constexpr int kMaxPublicFileBytes = PublicFileBytes(kMaxRingKeys) + TrailerBytes(kMaxRingKeys);

// True when one of the count strong keys is present: the file then gets a
// trailer.
bool HasStrongKeys(int count, const StrongKey* strong);

// The size of the file that FormatPublicKeyFile writes for count entries
// with these strong keys.
int PublicFileSize(int count, const StrongKey* strong);

// The user ID is stored through a fixed per-byte transform of all 20 bytes,
// the NUL padding included: stored = ((plain + 0x47) mod 256) XOR mask[i],
// mask[i] = (0x3C + 0x11 * i) mod 256.
void ScrambleUserId(uint8_t id[kUserIdBytes]);
void UnscrambleUserId(uint8_t id[kUserIdBytes]);

// How much a loaded public key file is trusted. Every entry is checked
// cheaply (canonical, on the curve, x != 0); a file offered for import comes
// from someone else and also has r * Q = O checked for every entry.
enum class PublicKeyCheck { kCheap, kFull };

// The entries of a public key file's bytes, which are the whole file.
// Returns the count, 1..1000, with entries 0..count-1 filled and their IDs
// unscrambled, and strong 0..count-1 with their strong keys (kNoStrongKey
// for all when the file has no trailer); or 0 for a file that is malformed
// anywhere (bad header, count outside 1..1000, ending inside an entry, an
// entry failing its check, a bad trailer), with entries and strong left
// untouched. Bytes after the last entry that do not begin with "VWGS" are
// ignored; a trailer that does is strict: exactly TrailerBytes(count) bytes
// to the end of the file, the same count, every slot's word 0 or 1, an
// empty slot all zero, and every strong key passing the check that the
// entries' points get.
int ParsePublicKeyFile(const uint8_t* data, int size, PublicKeyRecord* entries, StrongKey* strong,
                       PublicKeyCheck check);

// The file for count (1..1000) records and their strong keys into out
// (PublicFileSize(count, strong) bytes); the records themselves are not
// changed.
void FormatPublicKeyFile(int count, const PublicKeyRecord* entries, const StrongKey* strong, uint8_t* out);

// True for a scalar as key generation makes it: bit count 1..464, every bit
// word 0 or 1, and the word at the bit count equal to 1.
bool IsValidSecretKey(const uint16_t* key);

// The secret key of a secret key file's bytes (bytes after 938 ignored).
// True with key filled, or false for a malformed file or an invalid key,
// with key left untouched.
bool ParseSecretKeyFile(const uint8_t* data, int size, uint16_t* key);

// The 938 bytes of the secret key file for key.
void FormatSecretKeyFile(const uint16_t* key, uint8_t out[kSecretFileBytes]);
