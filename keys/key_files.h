// Reading and writing the key files. Each operation opens, works and closes
// before it returns. Every failure is reported through ReportError right
// where it happens and the operation returns 0; with fatal set ReportError
// ends the process. A file that cannot be opened, read or written gives the
// system's text; a malformed file "Incorrect public key file format!" or
// "Incorrect secret key file format!". Writes replace their file in one step
// (see WriteFileAtomic): a failed write leaves the old file as it was.
#pragma once

#include <cstdint>

#include "keys/key_format.h"
#include "keys/key_records.h"

// The key files in force, empty until the key setup fills them.
extern char PublicKeyPath[kPathChars];
extern char SecretKeyPath[kPathChars];

// The entries of the public key file at path into entries (1000 records),
// each checked cheaply (canonical, on the curve, x != 0). Returns the count,
// 1..1000, or 0 with entries untouched.
int LoadPublicKeyFile(const char* path, PublicKeyRecord* entries, bool fatal = true);

// LoadPublicKeyFile for a file offered for import, which comes from someone
// else: every entry must also have the base point's prime order.
int LoadImportFile(const char* path, PublicKeyRecord* entries, bool fatal = true);

// The ring at PublicKeyPath; on success entry 0 is copied over OwnPublicKey.
int LoadPublicKeyRing(PublicKeyRecord* entries, bool fatal = true);

// Writes count (1..1000) records as a public key file. What could not be
// loaded again is refused: a record whose point fails the cheap check ("This
// public key is not valid..."), a count outside 1..1000. Returns 1 or 0.
int SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries,
                      bool fatal = true);

// The ring at PublicKeyPath grows by count records, rewritten whole. An
// append that would take it above 1000 entries is refused and the ring is
// not touched. Returns 1 or 0.
int AppendToPublicKeyRing(int count, const PublicKeyRecord* entries, bool fatal = true);

// The validated secret key of the file at path into key (465 words).
// Returns 1, or 0 with key untouched.
int LoadSecretKeyFile(const char* path, uint16_t* key, bool fatal = true);

// Writes key as a secret key file, readable by its owner only where the
// system has such permissions; a key that IsValidSecretKey refuses is not
// written. Returns 1 or 0.
int SaveSecretKeyFile(const char* path, const uint16_t* key, bool fatal = true);
