// The one rule by which the tray program and vwg take the keys of a file
// into the ring. Each key offered is weighed against the ring as the keys
// before it have left it, in this order:
//
//   1. its strong key is the strong key of an entry with another public
//      point: refused, as someone else's strong key under a new name would
//      let its holder be taken for that entry's owner;
//   2. the ring has its public point: skipped when it brings no strong key
//      the entry lacks; the strong key added to the entry when the entry has
//      none (the correspondent's program has moved on); a changed key when
//      both have one and they differ;
//   3. the ring has its user ID with another point: a changed key;
//   4. otherwise it is appended; when its user ID differs from an entry's
//      only in letter case, spaces or characters that show nothing
//      (LookAlikeUserIds), the decision names that entry, and the callers
//      warn: someone may be passing their key off as that entry's owner's.
//
// A changed key replaces its entry in place, keeping the entry's user ID,
// only once the user has said so; entry 0, the owner's own key, is never
// replaced or changed by an import. The callers decide every key first and
// write the ring once, so that a refusal leaves it as it was.
#pragma once

#include <string>

#include "keys/key_files.h"

enum class ImportCase {
  kAppend,           // a key the ring does not hold
  kAlreadyThere,     // entry index holds it, and every strong key it brings
  kStrongKeyAdded,   // entry index holds its point without a strong key; it brings one
  kChanged,          // entry index (1 up) holds another key under its ID, or its point with another strong key
  kOwnKeyChanged,    // the same for entry 0, which an import never changes: refused
  kStrongKeyOfOther  // its strong key is that of entry index, which has another point: refused
};

struct ImportDecision {
  ImportCase what;
  int index;           // the ring entry concerned; -1 for kAppend
  int lookAlike = -1;  // kAppend: the first entry whose user ID looks like the key's, or -1
};

// True when the user IDs a and b (NUL-terminated, as GetUserId gives them)
// differ, but not once letters are folded to one case and spaces and
// characters that show nothing are dropped. The bytes are taken as the
// tray program shows them, in Windows-1252: the letters with case are A-Z,
// the accented letters 0xC0-0xDE (not 0xD7, the multiplication sign) with
// their small forms 0xE0-0xFE, and the pairs 0x8A/0x9A, 0x8C/0x9C,
// 0x8E/0x9E, 0x9F/0xFF; spaces are 0x20 and the no-break space 0xA0; what
// shows nothing is the control characters 0x01-0x1F and 0x7F, the soft
// hyphen 0xAD, and the bytes the code page leaves unassigned, 0x81, 0x8D,
// 0x8F, 0x90 and 0x9D. Other look-alikes (a zero for an O, a Cyrillic a, a
// UTF-8 ID's own invisible characters) are not this rule's.
bool LookAlikeUserIds(const char* a, const char* b);

// The user ID of key as a look-alike warning names it: as DisplayUserId
// shows it, and the other bytes that show nothing written \xNN as well, so
// that the difference can be seen.
std::string LookAlikeShownId(const PublicKeyRecord& key);

// What the rule makes of key, with its strong key, against ring.
ImportDecision DecideImport(const PublicKeyRing& ring, const PublicKeyRecord& key, const StrongKey& strong);

// Carries out decision for key on ring: kAppend adds an entry, kStrongKeyAdded
// gives the entry the strong key, kChanged puts key and its strong key in the
// entry's place under the entry's user ID; the other cases change nothing.
// kRingFull, with ring unchanged, for an append to a ring of 1000 entries.
KeyFileStatus ApplyImport(PublicKeyRing& ring, const ImportDecision& decision, const PublicKeyRecord& key,
                          const StrongKey& strong);
