// The keys in force: process state that the key set-up fills at start-up and
// replaces on request, and that every user of the keys reads. Zero and empty
// until the set-up has run. The rest of the program gets them as arguments;
// only the tray program decides what a failure to read them means.
#pragma once

#include <cstdint>

#include "keys/key_files.h"
#include "keys/key_records.h"

extern uint16_t SecretKey[kScalarWords];  // on locked pages for the whole run
extern char PublicKeyPath[kPathChars];
extern char SecretKeyPath[kPathChars];

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
