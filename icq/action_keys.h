// The keys the encrypt and decrypt actions work with. They belong to the
// tray program, which may replace them while it runs (new keys from the tray
// menu), so the actions read them through the pointers handed over here at
// each use and never keep a copy.
#pragma once

#include <cstdint>

#include "keys/key_files.h"

struct ActionKeys {
  const uint16_t* secretKey = nullptr;  // the owner's secret scalar
  const char* secretPath = nullptr;     // its file, named when the ring does not match it
  const char* ringPath = nullptr;       // the public key ring in force
};

// Called once at start-up, before the first scan tick.
void SetActionKeys(const ActionKeys& keys);
const ActionKeys& CurrentActionKeys();

// Gives ring's entry 0, the owner's key, the strong key of secret in memory
// when the ring lacks it: an older program rewrote the ring, or it could not
// be written at start-up, and the owner's strong key still comes from the
// secret key alone. False when the system's cryptography failed to work it
// out. Costs a scalar multiplication when the ring lacks it.
bool CompleteOwnStrongKey(const uint16_t* secret, PublicKeyRing& ring);
