// The keys the encrypt and decrypt actions work with. They belong to the
// tray program, which may replace them while it runs (new keys from the tray
// menu), so the actions read them through the pointers handed over here at
// each use and never keep a copy.
#pragma once

#include <cstdint>

struct ActionKeys {
  const uint16_t* secretKey = nullptr;  // the owner's secret scalar
  const char* secretPath = nullptr;     // its file, named when the ring does not match it
  const char* ringPath = nullptr;       // the public key ring in force
};

// Called once at start-up, before the first scan tick.
void SetActionKeys(const ActionKeys& keys);
const ActionKeys& CurrentActionKeys();
