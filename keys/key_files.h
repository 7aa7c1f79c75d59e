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
// passphrase (version 2, keys/formats/protected_key_file.h). The operations
// on it take the passphrase, empty for none: a reader first tries without
// one and learns from kPassphraseNeeded that the file is protected, which
// costs nothing, and only then asks the user.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "keys/key_records.h"
#include "keys/passphrase.h"
#include "keys/strong_key.h"
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
  kTooFewIterations = IDS_TOO_FEW_ITERATIONS,  // a protected file below kMinUnlockIterations
};

// The fewest PBKDF2 rounds with which a protected secret key file is opened.
// The format allows 1 and more, but no program of ours ever wrote fewer than
// 600,000: a file below a sixth of that is damaged or not ours, and opening
// it without a word would leave a copy of it cheap to attack. It is refused
// before a passphrase is asked for, and left as it is.
constexpr uint32_t kMinUnlockIterations = 100000;

// The text that reports a failure: its string-table text, or null for
// kSystemError, which the error reporter shows as the system's text for the
// last error (so report before anything else can change it).
const char* KeyFileErrorText(KeyFileStatus status);

// The string-table text id with each %s in turn replaced by a path, in
// quotes (FillStringText: a path more or fewer than its places leaves it
// unfilled).
std::string TextNamingFiles(int id, std::initializer_list<const char*> paths);

// The text that reports a secret key file whose public key is not entry 0
// of the ring (IsPublicKeyOf), naming both files.
std::string KeyPairMismatchText(const char* secretPath, const char* publicPath);

// The entries of a public key file in file order, 1 to 1000 once loaded: the
// ring, an import file, an exported key. strong[k] is the strong key of
// keys[k] (kNoStrongKey when it has none): the two always have the same
// size, and an entry is added or removed in both (AddRingEntry).
struct PublicKeyRing {
  std::vector<PublicKeyRecord> keys;
  std::vector<StrongKey> strong;
  int count() const { return static_cast<int>(keys.size()); }
};

void AddRingEntry(PublicKeyRing& ring, const PublicKeyRecord& key, const StrongKey& strong);

// The strong key that ring entry index stands for: its own, or, for an entry
// without one, that of another entry with the same public point (a ring from
// before the import rule may list one key twice); kNoStrongKey when none
// has one.
const StrongKey& StrongKeyOfEntry(const PublicKeyRing& ring, int index);

// True when ring entry index is a key whose owner's program writes ?VW3:
// and reads nothing else from it: it has a strong key (StrongKeyOfEntry), or
// it is the owner's own key, whose strong key comes from the secret key
// when the ring lacks it. The older formats are neither written to nor
// accepted from such a key.
bool WritesStrongMessages(const PublicKeyRing& ring, int index);

// Gives entry 0, the owner's key, the strong key of secret (which the caller
// has found to be its pair) in memory when the ring lacks it. False when the
// system's cryptography failed to work it out. Costs a scalar
// multiplication when the ring lacks it.
bool CompleteOwnStrongKey(const uint16_t* secret, PublicKeyRing& ring);

// The public key file at path, read whole, every entry and strong key
// checked cheaply (canonical, on the curve, x != 0). On a failure ring is
// left as it was.
KeyFileStatus LoadPublicKeyRing(const char* path, PublicKeyRing& ring);

// LoadPublicKeyRing for a file offered for import, which comes from someone
// else: every point and strong key must also have the base point's prime
// order.
KeyFileStatus LoadImportFile(const char* path, PublicKeyRing& keys);

// Writes count (1..1000) records with their strong keys (none for a null
// strong) as a public key file; with no strong key present it has no
// trailer. What could not be loaded again is refused: a record or strong key
// whose point fails the cheap check (kBadKey), a count above 1000
// (kRingFull) or below 1 (kBadPublicKeyFile).
KeyFileStatus SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries,
                                const StrongKey* strong = nullptr);
KeyFileStatus SavePublicKeyFile(const char* path, const PublicKeyRing& ring);

// The ring at path with the owner's strong key in entry 0, for secret, whose
// public key entry 0 must be (the caller has checked it). When entry 0 has
// none, it is added in a ring write of its own and *added is set; a ring
// that has it is not written. Costs a scalar multiplication.
KeyFileStatus AddOwnStrongKey(const char* path, const uint16_t* secret, bool* added);

// The validated secret key of the file at path into key (465 words); on a
// failure key is left as it was. A file in the clear ignores the
// passphrase. A protected file that passes the checks needing no
// passphrase gives kPassphraseNeeded when the passphrase is empty, and
// costs its PBKDF2 rounds (a quarter of a second) otherwise: then kOk,
// kWrongPassphrase, or kSystemError when the system's PBKDF2 failed. Any
// malformed file, or one longer than its version's size, is
// kBadSecretKeyFile (a version-1 file may carry bytes after its 938, which
// are ignored, as ever); a protected file of fewer than
// kMinUnlockIterations rounds is kTooFewIterations, whatever the passphrase.
KeyFileStatus LoadSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase = Passphrase());

// What UnlockSecretKeyFile found and did about a file protected with fewer
// rounds than ours.
struct KeyFileRewrite {
  uint32_t oldIterations = 0;                 // the file's count when it was rewritten or tried; 0: neither
  KeyFileStatus status = KeyFileStatus::kOk;  // the rewrite's, with the system's last error on a failure
};

// LoadSecretKeyFile for a program that goes on to use the key. A protected
// file opened with fewer rounds than kProtectedIterations is then written
// again with that many, under the same passphrase (SaveSecretKeyFile: in
// one step, for its owner only), so that a stolen copy costs a guesser as
// much as one we wrote; rewrite says so. A failed rewrite leaves the file
// as it was and is no failure of the unlock. A file that another program
// has written meanwhile (while the rounds ran) is left as it now is.
KeyFileStatus UnlockSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase,
                                  KeyFileRewrite& rewrite);

// What the programs say about rewrite, for the file at path: that it was
// written again (IDS_KEY_FILE_STRENGTHENED), or why it could not be
// (IDS_KEY_FILE_NOT_STRENGTHENED, with the system's text for a system
// error: call it before anything can change the last error); "" when there
// was no rewrite.
std::string KeyFileRewriteText(const char* path, const KeyFileRewrite& rewrite);

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
  // The old ring could not be put back after the secret key's write failed:
  // the file at publicPath holds the new ring, whose secret key is nowhere
  // (IDS_RING_NOT_RESTORED says so, naming the ring).
  bool ringNotRestored = false;
};

// A new key pair on disk, both files or neither: a ring holding only own,
// with secret's strong key, at publicPath, then secret at secretPath under passphrase (empty: in the
// clear). Two paths that name one file are refused before anything is
// written (kSameFile, failedPath secretPath). When the secret key cannot be
// written, the file at publicPath is put back as it was, with the
// permissions it had (or removed when there was none); should that fail too,
// ringNotRestored says so. The last error still says why the secret key's
// write failed.
KeyPairSave SaveKeyPair(const char* publicPath, const char* secretPath, const PublicKeyRecord& own,
                        const uint16_t* secret, const Passphrase& passphrase = Passphrase());
