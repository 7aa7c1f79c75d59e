// The mark for the old block format on a key without a strong key: the user
// marked it in the Public Key Manager as that of a correspondent whose
// program reads nothing else, and the encrypt actions write that format to
// it instead of ?VW2:. A key with a strong key always gets ?VW3:, whatever
// its mark. A mark belongs to the key, not to its ring entry: it is a DWORD
// 1 under the program's settings key, named by the 16 hex digits of the ID
// over its public point, so that the same key imported again, or under
// another user ID, keeps it.
#pragma once

#include "keys/key_records.h"

// True when key is marked for the old format. False when it is not, or its
// ID cannot be worked out (the strong format then refuses it too).
bool UsesOldFormat(const PublicKeyRecord& key);

// Marks key for the old format (old set) or removes the mark. True when
// the registry says so afterwards.
bool MarkOldFormat(const PublicKeyRecord& key, bool old);
