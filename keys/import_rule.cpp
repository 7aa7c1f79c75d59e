#include "keys/import_rule.h"

#include <cstring>

#include "keys/ring_edits.h"
#include "keys/user_id_text.h"

namespace {

// Spaces and what shows nothing, which a look-alike comparison drops.
bool IsDropped(unsigned char c) {
  switch (c) {
    case 0x20: case 0x7F: case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: case 0xA0: case 0xAD:
      return true;
  }
  return c < 0x20;
}

// A letter's small form in Windows-1252; any other byte as it is.
unsigned char Folded(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: case 0x8C: case 0x8E: return static_cast<unsigned char>(c + 0x10);
    case 0x9F: return 0xFF;
  }
  return c;
}

std::string Compared(const char* id) {
  std::string form;
  for (; *id; ++id) {
    const unsigned char c = static_cast<unsigned char>(*id);
    if (!IsDropped(c)) form += static_cast<char>(Folded(c));
  }
  return form;
}

int FindLookAlike(const PublicKeyRing& ring, const PublicKeyRecord& key) {
  char id[kUserIdBytes + 1], held[kUserIdBytes + 1];
  GetUserId(key, id);
  for (int i = 0; i < ring.count(); ++i) {
    GetUserId(ring.keys[i], held);
    if (LookAlikeUserIds(id, held)) return i;
  }
  return -1;
}

// The first entry whose strong key is strong but whose point is not key's.
int FindStrongKeyOfOther(const PublicKeyRing& ring, const PublicKeyRecord& key, const StrongKey& strong) {
  for (int i = 0; i < ring.count(); ++i) {
    if (ring.strong[i].present && SameStrongKey(ring.strong[i], strong) && !SamePoint(ring.keys[i], key)) return i;
  }
  return -1;
}

ImportDecision Changed(int index) { return {index == 0 ? ImportCase::kOwnKeyChanged : ImportCase::kChanged, index}; }

}  // namespace

ImportDecision DecideImport(const PublicKeyRing& ring, const PublicKeyRecord& key, const StrongKey& strong) {
  if (strong.present) {
    const int other = FindStrongKeyOfOther(ring, key, strong);
    if (other >= 0) return {ImportCase::kStrongKeyOfOther, other};
  }
  const int same = FindSameKey(key, ring.keys.data(), ring.count());
  if (same >= 0) {
    const StrongKey& held = ring.strong[same];
    // The owner's strong key comes from the secret key alone, never from a
    // file: an older export of it, or one lacking it, is the same key.
    if (!strong.present || SameStrongKey(held, strong) || (same == 0 && !held.present))
      return {ImportCase::kAlreadyThere, same};
    if (!held.present) return {ImportCase::kStrongKeyAdded, same};
    return Changed(same);
  }
  const int changed = FindChangedKey(key, ring.keys.data(), ring.count());
  if (changed >= 0) return Changed(changed);
  return {ImportCase::kAppend, -1, FindLookAlike(ring, key)};
}

bool LookAlikeUserIds(const char* a, const char* b) { return std::strcmp(a, b) != 0 && Compared(a) == Compared(b); }

std::string LookAlikeShownId(const PublicKeyRecord& key) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : DisplayUserId(key)) {
    const unsigned char u = static_cast<unsigned char>(c);
    // DisplayUserId has escaped the control characters already.
    if (u >= 0x80 && IsDropped(u))
      shown += {'\\', 'x', kHex[u >> 4], kHex[u & 15]};
    else
      shown += c;
  }
  return shown;
}

KeyFileStatus ApplyImport(PublicKeyRing& ring, const ImportDecision& decision, const PublicKeyRecord& key,
                          const StrongKey& strong) {
  switch (decision.what) {
    case ImportCase::kAppend:
      if (ring.count() >= kMaxRingKeys) return KeyFileStatus::kRingFull;
      AddRingEntry(ring, key, strong);
      break;
    case ImportCase::kStrongKeyAdded:
      ring.strong[decision.index] = strong;
      break;
    case ImportCase::kChanged: {
      PublicKeyRecord& entry = ring.keys[decision.index];
      PublicKeyRecord replaced = key;
      std::memcpy(replaced.userId, entry.userId, kUserIdBytes);
      entry = replaced;
      ring.strong[decision.index] = strong;
      break;
    }
    case ImportCase::kAlreadyThere:
    case ImportCase::kOwnKeyChanged:
    case ImportCase::kStrongKeyOfOther:
      break;
  }
  return KeyFileStatus::kOk;
}
