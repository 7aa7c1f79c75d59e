// The passphrase-protected secret key file: the complete 938-byte secret key
// file of key_format.h, sealed with AES-256-GCM under a key derived
// from a passphrase. Parsing and formatting only, no input or output, like
// key_format.h (docs/key-files.md has the table).
//
// Layout, little-endian, 996 bytes:
//   offset  size  field
//        0     4  magic "VWG."
//        4     2  file type 2
//        6     2  format version 2
//        8     2  key derivation, 1 = PBKDF2-HMAC-SHA256
//       10     4  iteration count
//       14    16  salt
//       30    12  nonce
//       42   938  the secret key file, encrypted
//      980    16  tag
// The file key is PBKDF2-HMAC-SHA256 of the passphrase with the salt and the
// count, 32 bytes. The first 42 bytes are the associated data: whoever
// changes the count, the salt or any other header byte changes the tag too,
// so a lowered count cannot be slipped in beside a genuine cipher text.
//
// A version-1 reader refuses this file (its version is 2), and this reader
// refuses a version-1 file as not protected, so neither is misread as the
// other. Passphrases are bytes, UTF-8 as the programs hand them over, and
// are not normalised: a composed "é" and an "e" with a combining accent are
// different passphrases. PBKDF2 makes the passphrase an HMAC key, which HMAC
// pads with zeros to 64 bytes, so zero bytes at the end of a shorter one do
// not count ("abc" and "abc\0" open the same file); text holds no NUL.
// Every secret of ours (the file key, the inner file) is wiped once used;
// the caller wipes the passphrase and the key.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/formats/key_format.h"
#include "keys/system/aes_gcm.h"

constexpr uint16_t kProtectedFormatVersion = 2;
constexpr uint16_t kKdfPbkdf2Sha256 = 1;
constexpr int kProtectedSaltBytes = 16;
constexpr int kProtectedKdfAt = kFileHeaderBytes;
constexpr int kProtectedIterationsAt = kProtectedKdfAt + 2;
constexpr int kProtectedSaltAt = kProtectedIterationsAt + 4;
constexpr int kProtectedNonceAt = kProtectedSaltAt + kProtectedSaltBytes;
constexpr int kProtectedHeaderBytes = kProtectedNonceAt + kGcmNonceBytes;  // 42, the associated data
constexpr int kProtectedTagAt = kProtectedHeaderBytes + kSecretFileBytes;
constexpr int kProtectedFileBytes = kProtectedTagAt + kGcmTagBytes;  // 996

// The count we write: about a quarter of a second on a current PC once per
// unlock, and the same for every passphrase an attacker tries against a
// stolen file (the figure recommended for PBKDF2-HMAC-SHA256 since 2023).
constexpr uint32_t kProtectedIterations = 600000;
// What a reader accepts. The upper bound, some seconds of work, keeps a
// damaged or hostile file from holding the program for up to an hour (at
// 2^32 - 1) before the tag can be checked.
constexpr uint32_t kMinProtectedIterations = 1;
constexpr uint32_t kMaxProtectedIterations = 10000000;

// After kOk, a reader's reasons for refusal in the order in which it meets
// them; then the writer's and the system's.
enum class ProtectedKeyStatus {
  kOk,
  kNotProtected,      // not "VWG.", type 2, version 2: a version-1 secret key file or any other
  kMalformed,         // a size other than 996, a KDF other than 1, a count outside 1..10,000,000
  kWrongPassphrase,   // the tag does not verify: a wrong passphrase or a damaged file, which
                      // cannot be told apart (nor, here, from a failure of the system's AES-GCM)
  kInvalidInnerFile,  // the tag verifies but the inner file is no valid secret key file
  kEmptyPassphrase,   // a writer's: callers take an empty passphrase to mean no protection
  kSystemError,       // the system's random source or PBKDF2 failed, or its AES-GCM in a writer
};

// True for size bytes starting "VWG.", file type 2, format version 2, whatever
// follows: for choosing between this reader and ParseSecretKeyFile.
bool IsProtectedKeyFile(const uint8_t* data, int size);

// The checks that need no passphrase: kOk, kNotProtected or kMalformed. A
// file that passes is worth asking the user for a passphrase; its count is
// then 1..10,000,000.
ProtectedKeyStatus CheckProtectedKeyFile(const uint8_t* data, int size);

// The iteration count of a file that CheckProtectedKeyFile has passed.
uint32_t ProtectedKeyIterations(const uint8_t* data);

// The secret key of a protected file, into key (465 words). Returns kOk, or
// the reason for refusal with key left untouched. Costs the file's count of
// PBKDF2 rounds (a quarter of a second at ours) once the checks without
// passphrase pass; nothing before that.
ProtectedKeyStatus ParseProtectedKeyFile(const uint8_t* data, int size, const uint8_t* passphrase,
                                         size_t passphraseSize, uint16_t* key);

// The 996 bytes of the protected file for key under passphrase, with a salt
// and nonce from the system's random source, so that two files of one key
// and passphrase differ. Returns kOk, or kEmptyPassphrase, kMalformed (a
// count a reader refuses), kInvalidInnerFile (a key IsValidSecretKey
// refuses) or kSystemError, leaving out as it was.
ProtectedKeyStatus FormatProtectedKeyFile(const uint16_t* key, const uint8_t* passphrase,
                                          size_t passphraseSize, uint32_t iterations,
                                          uint8_t out[kProtectedFileBytes]);

// The same with the given salt and nonce, for known answers and for checking
// a file that was read. A passphrase that seals two different keys under one
// salt and nonce gives away their XOR and lets the tag be forged.
ProtectedKeyStatus FormatProtectedKeyFileWith(const uint16_t* key, const uint8_t* passphrase,
                                              size_t passphraseSize, uint32_t iterations,
                                              const uint8_t salt[kProtectedSaltBytes],
                                              const uint8_t nonce[kGcmNonceBytes],
                                              uint8_t out[kProtectedFileBytes]);
