// Changes to entries of the public key ring beyond the appends of an import:
// removing a key, changing the user ID it is listed under, and finding a key
// that claims an ID the ring already holds with another point. The ring at
// ringPath is loaded afresh and written back whole in one step
// (SavePublicKeyFile), so a failed write leaves it as it was. Entry 0 stays
// the owner's own key.
#pragma once

#include "keys/key_files.h"
#include "keys/key_records.h"

// Removes entry index (1..count-1) if it still equals expected. kRingChanged
// when the caller's view of the ring is out of date: the index is beyond the
// ring, or the entry there is no longer the one the caller showed the user
// (a second copy of the program, or vwg, changed the file meanwhile); then
// nothing is changed. Entry 0 is never removed: index 0 gives kRingChanged.
KeyFileStatus RemoveRingEntry(const char* ringPath, int index, const PublicKeyRecord& expected);

// Lists entry index (0..count-1) under the new user ID (at most 20
// characters kept) if it still equals expected; the point stays. Renaming
// entry 0 renames the owner's own key. Results as above.
KeyFileStatus RenameRingEntry(const char* ringPath, int index, const PublicKeyRecord& expected, const char* id);

// The first of the count keys with the user ID of key but another point
// (x or y differs), or -1. A key identical to one of them is no change.
int FindChangedKey(const PublicKeyRecord& key, const PublicKeyRecord* keys, int count);

// The first of the count keys with the point of key, whatever its user ID
// (the same key, maybe listed under another name), or -1.
int FindSameKey(const PublicKeyRecord& key, const PublicKeyRecord* keys, int count);
