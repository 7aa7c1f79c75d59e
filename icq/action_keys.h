// The keys the encrypt and decrypt actions work with. They belong to the
// tray program, which may replace them while it runs (new keys from the tray
// menu), so the actions read them through the pointers handed over here at
// each use and never keep a copy. What a ring that cannot be read means is
// the tray program's to decide too: a press reaches the actions through a
// button's window procedure, with none of the tray program's code on the way
// to ask.
#pragma once

#include <cstdint>

#include "keys/key_files.h"

struct ActionKeys {
  const uint16_t* secretKey = nullptr;  // the owner's secret scalar
  const char* secretPath = nullptr;     // its file, named when the ring does not match it
  const char* ringPath = nullptr;       // the public key ring in force
  // Tells the user why the ring at ringPath cannot be loaded; may end the
  // program.
  void (*ringUnreadable)(KeyFileStatus status) = nullptr;
};

// Called once at start-up, before the first scan tick.
void SetActionKeys(const ActionKeys& keys);
const ActionKeys& CurrentActionKeys();
