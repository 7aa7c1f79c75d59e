// The format the encrypt actions write for a recipient: the strong one,
// unless the user marked the recipient's key in the Public Key Manager as
// that of a correspondent whose program reads only the old block format.
// A mark belongs to the key, not to its ring entry: it is a DWORD 1 under
// the program's settings key, named by the key ID's 16 hex digits, so that
// the same key imported again, or under another user ID, keeps it.
#pragma once

#include "keys/key_records.h"

// True when key is marked for the old format. False when it is not, or its
// ID cannot be worked out (the strong format then refuses it too).
bool UsesOldFormat(const PublicKeyRecord& key);

// Marks key for the old format (old set) or removes the mark. True when
// the registry says so afterwards.
bool MarkOldFormat(const PublicKeyRecord& key, bool old);
