// The keys in force (SecretKey and the two paths, app/process_state.h) and
// what a failure to read key files means: only the tray program decides
// that; the rest of the program gets the keys as arguments.
#pragma once

#include "keys/key_files.h"

// A key-file failure at start-up, or where the program cannot go on without
// the ring, ends it; elsewhere it is a warning.
enum class KeyFailure { kWarning, kFatal };

// True for kOk. Otherwise the failure is reported (its text, or the
// system's for kSystemError), the program ends for kFatal, and false.
bool CheckKeyFile(KeyFileStatus status, KeyFailure failure);

// The ring at PublicKeyPath. False after CheckKeyFile's report.
bool LoadRingInForce(PublicKeyRing& ring, KeyFailure failure);

// True when SecretKey belongs to the ring's entry 0, with its strong key if
// the ring holds one (IsKeyPairOf): the two key files in force are one
// pair. Otherwise the mismatch is reported, naming both files, and the
// program ends for kFatal.
bool CheckKeyPair(const PublicKeyRing& ring, KeyFailure failure);
