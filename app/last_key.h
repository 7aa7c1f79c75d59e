// The key last chosen with the Encrypt hotkey in each program, which its key
// menu lists first: someone who writes to one person in one program picks
// the same line every time. Kept by the key's fingerprint, which holds for
// the key wherever it stands in the ring and whatever its user ID says.
#pragma once

#include <string>

#include "keys/key_files.h"

// The ring index of the key last used in program (an executable's file
// name), or -1 when none is remembered or it has left the ring.
int LastKeyFor(const std::string& program, const PublicKeyRing& ring);

// Remembers ring entry chosen as the key last used in program.
void RememberLastKey(const std::string& program, const PublicKeyRing& ring, int chosen);
