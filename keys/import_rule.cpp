#include "keys/import_rule.h"

#include <cstring>

#include "keys/ring_edits.h"

namespace {

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
  return {ImportCase::kAppend, -1};
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
