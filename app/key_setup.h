// Which key files are in force, and the exchange of public keys: the key
// setup at start-up or on request, import into the ring, export from it.
#pragma once

enum class KeySetUpMode { kAtStart, kNewKeys };

// kAtStart: loads the key files named in the registry, or asks to generate
// new keys or to open existing files. kNewKeys: asks, then generates. True
// when both keys are in force, false when the user declined or cancelled.
// Generation is all or nothing: until both files have been chosen and
// written, keys, files, paths and registry stay as they were.
bool SetUpKeys(KeySetUpMode mode);

// Takes the keys of a public key file into the ring by the import rule
// (keys/import_rule.h): the file at path, which the shell handed over and
// whose keys the user first sees and agrees to, or, with ask set, one the
// user picks. Failures are reported and change nothing.
void ImportPublicKeys(const char* path, bool ask);

// Writes ring entry index, under a user ID the user may change, as a
// one-entry public key file the user picks. The ring itself is not changed.
void ExportPublicKey(int index);
