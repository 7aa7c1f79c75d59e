// The passphrase on the secret key file: opening a protected file at
// start-up, turning the protection on and off ("Password Protect" on the
// Settings page), and the passphrase of newly generated keys. Passphrases
// are asked for in the passphrase dialog and live only as long as the
// operation that needs them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "keys/passphrase.h"

// The tries a protected file gets before the program gives up on it.
constexpr int kPassphraseTries = 3;

enum class KeyProtection { kUnknown, kOff, kOn };

// Whether the secret key file at path is protected; kUnknown when it cannot
// be read or is malformed.
KeyProtection SecretKeyProtection(const char* path);

// The secret key of the file at path into key, at start-up, where every
// failure is fatal: a file in the clear at once, a protected one after its
// passphrase, with three tries in the passphrase dialog that names the file.
// Cancel ends the program with IDS_UNLOCK_CANCELLED, three wrong
// passphrases with IDS_WRONG_PASSPHRASE, and a file with fewer than
// kMinUnlockIterations rounds, before any passphrase, as damaged; nothing
// is written then. A file opened with fewer rounds than ours is written
// again with ours (UnlockSecretKeyFile), with a notice, or a warning when
// that fails.
// With ask false a protected file is only checked and stays locked, for a
// copy of the program that will not use the key. True once key holds it.
bool LoadSecretKeyAtStart(const char* path, uint16_t* key, bool ask);

// Rewrites the secret key file at path protected under a new passphrase
// typed twice (on), or in the clear after its passphrase, with three tries
// (off). Cancel changes nothing; a failure is reported as a warning. owner
// owns the dialog.
void SetKeyProtection(HWND owner, const char* path, bool on);

// The passphrase of a new secret key to be saved at path, typed twice, or
// empty when both entries are left empty. False on Cancel.
bool AskNewKeyPassphrase(const char* path, Passphrase& passphrase);
