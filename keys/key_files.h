// Reading and writing the key files. Each operation opens, works and closes
// before it returns, and reports nothing: it returns what went wrong, and
// the program decides whether that ends it and shows the text
// (KeyFileErrorText). A file that cannot be opened, read or written gives
// kSystemError, with the system's last error left as the failing call set
// it; a malformed file kBadPublicKeyFile or kBadSecretKeyFile. Writes
// replace their file in one step (see WriteFileAtomic): a failed write
// leaves the old file as it was.
//
// A secret key file is in the clear (version 1) or protected by a
// passphrase (version 2, keys/protected_key_file.h). The operations on it
// take the passphrase, empty for none: a reader first tries without one and
// learns from kPassphraseNeeded that the file is protected, which costs
// nothing, and only then asks the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keys/key_records.h"
#include "keys/passphrase.h"
#include "resources/strings.h"

// Every failure but a system error is a string-table entry, so that the
// programs show the same text for it.
enum class KeyFileStatus : int {
  kOk = 0,
  kSystemError = 1,
  kRingChanged = 2,  // only from the ring edits (keys/ring_edits.h); not reported
  kBadPublicKeyFile = IDS_BAD_PUBLIC_KEY_FILE,
  kBadSecretKeyFile = IDS_BAD_SECRET_KEY_FILE,
  kRingFull = IDS_RING_FULL,
  kBadKey = IDS_BAD_KEY,
  kSameFile = IDS_SAME_KEY_FILE,
  kPassphraseNeeded = IDS_PASSPHRASE_NEEDED,  // a protected file, read without a passphrase
  kWrongPassphrase = IDS_WRONG_PASSPHRASE,    // or a damaged file: the two cannot be told apart
};

// The text that reports a failure: its string-table text, or null for
// kSystemError, which the error reporter shows as the system's text for the
// last error (so report before anything else can change it).
const char* KeyFileErrorText(KeyFileStatus status);

// The text that reports a secret key file whose public key is not entry 0
// of the ring (IsPublicKeyOf), naming both files.
std::string KeyPairMismatchText(const char* secretPath, const char* publicPath);

// The entries of a public key file in file order, 1 to 1000 once loaded: the
// ring, an import file, an exported key.
struct PublicKeyRing {
  std::vector<PublicKeyRecord> keys;
  int count() const { return static_cast<int>(keys.size()); }
};

// The public key file at path, every entry checked cheaply (canonical, on
// the curve, x != 0). On a failure ring is left as it was.
KeyFileStatus LoadPublicKeyRing(const char* path, PublicKeyRing& ring);

// LoadPublicKeyRing for a file offered for import, which comes from someone
// else: every entry must also have the base point's prime order.
KeyFileStatus LoadImportFile(const char* path, PublicKeyRing& keys);

// Writes count (1..1000) records as a public key file. What could not be
// loaded again is refused: a record whose point fails the cheap check
// (kBadKey), a count above 1000 (kRingFull) or below 1 (kBadPublicKeyFile).
KeyFileStatus SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries);

// The ring at path grows by count records, rewritten whole. An append that
// would take it above 1000 entries is refused (kRingFull) and the ring is
// not touched.
KeyFileStatus AppendToPublicKeyRing(const char* path, int count, const PublicKeyRecord* entries);

// The validated secret key of the file at path into key (465 words); on a
// failure key is left as it was. A file in the clear ignores the
// passphrase. A protected file that passes the checks needing no
// passphrase gives kPassphraseNeeded when the passphrase is empty, and
// costs its PBKDF2 rounds (a quarter of a second) otherwise: then kOk,
// kWrongPassphrase, or kSystemError when the system's PBKDF2 failed. Any
// malformed file, or one longer than its version's size, is
// kBadSecretKeyFile (a version-1 file may carry bytes after its 938, which
// are ignored, as ever).
KeyFileStatus LoadSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase = Passphrase());

// Whether the file at path is a protected secret key file (*isProtected),
// after the checks that need no passphrase; kOk, or the failure that
// LoadSecretKeyFile would give without one.
KeyFileStatus InspectSecretKeyFile(const char* path, bool* isProtected);

// Writes key as a secret key file, protected under passphrase (600,000
// PBKDF2 rounds, a new salt and nonce) or, for an empty one, in the clear.
// The file and its temporary file are their owner's only: 0600 on POSIX
// systems, a protected DACL granting the current user alone on Windows. A
// key that IsValidSecretKey refuses is not written (kBadSecretKeyFile).
KeyFileStatus SaveSecretKeyFile(const char* path, const uint16_t* key, const Passphrase& passphrase = Passphrase());

// Rewrites the secret key file at path under next (empty: in the clear),
// after opening it with current (which a file in the clear ignores). What
// LoadSecretKeyFile refuses is refused with its status and nothing written.
KeyFileStatus ChangeSecretKeyPassphrase(const char* path, const Passphrase& current, const Passphrase& next);

struct KeyPairSave {
  KeyFileStatus status;
  const char* failedPath;  // the file whose write failed; null on success
};

// A new key pair on disk, both files or neither: a ring holding only own at
// publicPath, then secret at secretPath under passphrase (empty: in the
// clear). Two paths that name one file are refused before anything is
// written (kSameFile, failedPath secretPath). When the secret key cannot be
// written, the file at publicPath is put back as it was (or removed when
// there was none), and the last error still says why the write failed.
KeyPairSave SaveKeyPair(const char* publicPath, const char* secretPath, const PublicKeyRecord& own,
                        const uint16_t* secret, const Passphrase& passphrase = Passphrase());
