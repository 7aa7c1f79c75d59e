#include "keys/ring_edits.h"

#include <cstring>

namespace {

bool SameRecord(const PublicKeyRecord& a, const PublicKeyRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The ring at path, whose entry index must still be expected.
KeyFileStatus LoadRingFor(const char* path, int index, const PublicKeyRecord& expected, PublicKeyRing& ring) {
  const KeyFileStatus loaded = LoadPublicKeyRing(path, ring);
  if (loaded != KeyFileStatus::kOk) return loaded;
  if (index < 0 || index >= ring.count() || !SameRecord(ring.keys[index], expected)) {
    return KeyFileStatus::kRingChanged;
  }
  return KeyFileStatus::kOk;
}

}  // namespace

KeyFileStatus RemoveRingEntry(const char* ringPath, int index, const PublicKeyRecord& expected) {
  if (index == 0) return KeyFileStatus::kRingChanged;
  PublicKeyRing ring;
  const KeyFileStatus loaded = LoadRingFor(ringPath, index, expected, ring);
  if (loaded != KeyFileStatus::kOk) return loaded;
  ring.keys.erase(ring.keys.begin() + index);
  ring.strong.erase(ring.strong.begin() + index);
  return SavePublicKeyFile(ringPath, ring);
}

KeyFileStatus RenameRingEntry(const char* ringPath, int index, const PublicKeyRecord& expected, const char* id) {
  PublicKeyRing ring;
  const KeyFileStatus loaded = LoadRingFor(ringPath, index, expected, ring);
  if (loaded != KeyFileStatus::kOk) return loaded;
  SetUserId(ring.keys[index], id);
  return SavePublicKeyFile(ringPath, ring);
}

int FindSameKey(const PublicKeyRecord& key, const PublicKeyRecord* keys, int count) {
  for (int i = 0; i < count; ++i)
    if (SamePoint(key, keys[i])) return i;
  return -1;
}

int FindChangedKey(const PublicKeyRecord& key, const PublicKeyRecord* keys, int count) {
  char id[kUserIdBytes + 1], other[kUserIdBytes + 1];
  GetUserId(key, id);
  for (int i = 0; i < count; ++i) {
    GetUserId(keys[i], other);
    if (std::strcmp(id, other) == 0 && !SamePoint(key, keys[i])) return i;
  }
  return -1;
}
