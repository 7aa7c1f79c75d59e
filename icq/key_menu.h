// The popup menu from which the user picks whose public key an action uses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "keys/key_files.h"

// Where the key menu opens and what it lists first: by default at the mouse
// in ring order; the Encrypt hotkey opens it at the caret of the window
// being written in, with the key last used there first.
struct KeyMenuPlace {
  const POINT* at = nullptr;  // screen point of the menu's top left corner
  int first = -1;             // a ring index listed before the others
};

// Shows a menu with one submenu, "Send To" when sending or "Received From"
// otherwise, listing the user IDs of the count records in ring order (entry
// 0 marked " -- Owner"), place.first before them. Returns the chosen
// record's index, or -1 when the menu was dismissed. Runs the menu's modal
// loop, in which other messages of the program (scan ticks too) are
// dispatched.
int16_t ChooseKey(bool sending, int16_t count, const PublicKeyRecord* keys, const KeyMenuPlace& place = {});

// What the ring in force is to the actions: usable, not loaded, not the
// ring of the secret key in force (its entry 0 is another key's, or holds
// another strong key), or without the owner's strong key, which the system's
// cryptography failed to work out.
enum class RingInForce { kOk, kUnreadable, kNotThePair, kNoOwnStrongKey };

// The ring in force, loaded afresh and checked against the secret key,
// without telling the user anything; loaded is the load's status. With kOk
// entry 0 has the owner's strong key, in memory when the ring lacks it
// (CompleteOwnStrongKey). For a scan tick, which must not stop for a message
// box.
RingInForce LoadCheckedRing(PublicKeyRing& ring, KeyFileStatus& loaded);

// The ring in force, loaded afresh and checked as LoadCheckedRing does. A
// ring that cannot be loaded goes to the tray program's ringUnreadable
// (ActionKeys); one whose entry 0 is not the secret key's public key is
// refused with a warning, one without the owner's strong key with a notice.
// False after the report.
bool LoadActionRing(PublicKeyRing& ring);

// Loads the ring in force and lets the user choose from it: the ring and the
// chosen entry's index, or false when the menu was dismissed.
bool ChooseCorrespondent(bool sending, PublicKeyRing& ring, int& chosen);
