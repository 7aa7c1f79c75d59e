#include "keys/ring_edits.h"

#include <cstring>
#include <vector>

#include "keys/key_files.h"

namespace {

bool SameRecord(const PublicKeyRecord& a, const PublicKeyRecord& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SamePoint(const PublicKeyRecord& a, const PublicKeyRecord& b) {
  return std::memcmp(a.x, b.x, sizeof a.x) == 0 && std::memcmp(a.y, b.y, sizeof a.y) == 0;
}

// The ring into ring; its count, 0 when it could not be loaded (reported), or
// kRingChanged when entry index is not expected.
int LoadRingFor(int index, const PublicKeyRecord& expected, std::vector<PublicKeyRecord>& ring,
                bool fatal) {
  ring.assign(kMaxRingKeys, PublicKeyRecord{});
  const int count = LoadPublicKeyRing(ring.data(), fatal);
  if (!count) return 0;
  if (index < 0 || index >= count || !SameRecord(ring[index], expected)) return kRingChanged;
  return count;
}

}  // namespace

int RemoveRingEntry(int index, const PublicKeyRecord& expected, bool fatal) {
  if (index == 0) return kRingChanged;
  std::vector<PublicKeyRecord> ring;
  const int count = LoadRingFor(index, expected, ring, fatal);
  if (count <= 0) return count;
  ring.erase(ring.begin() + index);
  return SavePublicKeyFile(PublicKeyPath, count - 1, ring.data(), fatal);
}

int RenameRingEntry(int index, const PublicKeyRecord& expected, const char* id, bool fatal) {
  std::vector<PublicKeyRecord> ring;
  const int count = LoadRingFor(index, expected, ring, fatal);
  if (count <= 0) return count;
  SetUserId(ring[index], id);
  if (!SavePublicKeyFile(PublicKeyPath, count, ring.data(), fatal)) return 0;
  OwnPublicKey = ring[0];
  return 1;
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
