#include "keys/key_files.h"

#include <utility>

#include "keys/file_io.h"
#include "keys/file_snapshot.h"
#include "keys/key_check.h"
#include "keys/key_format.h"
#include "keys/same_file.h"
#include "keys/system_error.h"

const char* KeyFileErrorText(KeyFileStatus status) {
  return status == KeyFileStatus::kSystemError ? nullptr : StringText(static_cast<int>(status));
}

static KeyFileStatus LoadPublicFile(const char* path, PublicKeyCheck check, PublicKeyRing& ring) {
  // Bytes after the last possible entry are never needed.
  std::vector<uint8_t> data(kMaxPublicFileBytes);
  int size = 0;
  if (!ReadFilePrefix(path, data.data(), kMaxPublicFileBytes, &size)) return KeyFileStatus::kSystemError;
  std::vector<PublicKeyRecord> keys(kMaxRingKeys);
  const int count = ParsePublicKeyFile(data.data(), size, keys.data(), check);
  if (!count) return KeyFileStatus::kBadPublicKeyFile;
  keys.resize(static_cast<size_t>(count));
  ring.keys = std::move(keys);
  return KeyFileStatus::kOk;
}

KeyFileStatus LoadPublicKeyRing(const char* path, PublicKeyRing& ring) {
  return LoadPublicFile(path, PublicKeyCheck::kCheap, ring);
}

KeyFileStatus LoadImportFile(const char* path, PublicKeyRing& keys) {
  return LoadPublicFile(path, PublicKeyCheck::kFull, keys);
}

KeyFileStatus SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries) {
  if (count > kMaxRingKeys) return KeyFileStatus::kRingFull;
  if (count < 1) return KeyFileStatus::kBadPublicKeyFile;
  for (int k = 0; k < count; ++k) {
    CurvePoint p;
    RecordPoint(entries[k], p);
    if (!IsValidPublicPoint(p)) return KeyFileStatus::kBadKey;
  }
  std::vector<uint8_t> data(PublicFileBytes(count));
  FormatPublicKeyFile(count, entries, data.data());
  if (!WriteFileAtomic(path, data.data(), static_cast<int>(data.size()), false)) return KeyFileStatus::kSystemError;
  return KeyFileStatus::kOk;
}

KeyFileStatus AppendToPublicKeyRing(const char* path, int count, const PublicKeyRecord* entries) {
  PublicKeyRing ring;
  const KeyFileStatus loaded = LoadPublicKeyRing(path, ring);
  if (loaded != KeyFileStatus::kOk) return loaded;
  if (count > kMaxRingKeys - ring.count()) return KeyFileStatus::kRingFull;
  ring.keys.insert(ring.keys.end(), entries, entries + count);
  return SavePublicKeyFile(path, ring.count(), ring.keys.data());
}

KeyFileStatus LoadSecretKeyFile(const char* path, uint16_t* key) {
  uint8_t data[kSecretFileBytes];
  int size = 0;
  if (!ReadFilePrefix(path, data, kSecretFileBytes, &size)) return KeyFileStatus::kSystemError;
  return ParseSecretKeyFile(data, size, key) ? KeyFileStatus::kOk : KeyFileStatus::kBadSecretKeyFile;
}

KeyFileStatus SaveSecretKeyFile(const char* path, const uint16_t* key) {
  if (!IsValidSecretKey(key)) return KeyFileStatus::kBadSecretKeyFile;
  uint8_t data[kSecretFileBytes];
  FormatSecretKeyFile(key, data);
  return WriteFileAtomic(path, data, kSecretFileBytes, true) ? KeyFileStatus::kOk : KeyFileStatus::kSystemError;
}

// The ring goes first, as the user chooses its file first; only the old
// ring needs keeping aside, since nothing has touched the secret key file
// when the ring's write fails.
KeyPairSave SaveKeyPair(const char* publicPath, const char* secretPath, const PublicKeyRecord& own,
                        const uint16_t* secret) {
  if (IsSameFile(publicPath, secretPath)) return {KeyFileStatus::kSameFile, secretPath};
  const FileSnapshot oldRing = TakeFileSnapshot(publicPath, kMaxPublicFileBytes + 1);
  const KeyFileStatus ring = SavePublicKeyFile(publicPath, 1, &own);
  if (ring != KeyFileStatus::kOk) return {ring, publicPath};
  const KeyFileStatus key = SaveSecretKeyFile(secretPath, secret);
  if (key == KeyFileStatus::kOk) return {key, nullptr};
  KeepSystemError keep;
  RestoreFileSnapshot(publicPath, oldRing);
  return {key, secretPath};
}
