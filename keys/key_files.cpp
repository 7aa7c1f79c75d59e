#include "keys/key_files.h"

#include <utility>

#include "crypto/wipe.h"
#include "keys/file_io.h"
#include "keys/file_snapshot.h"
#include "keys/key_check.h"
#include "keys/key_format.h"
#include "keys/protected_key_file.h"
#include "keys/same_file.h"
#include "keys/system_error.h"

const char* KeyFileErrorText(KeyFileStatus status) {
  return status == KeyFileStatus::kSystemError ? nullptr : StringText(static_cast<int>(status));
}

std::string TextNamingFiles(int id, std::initializer_list<const char*> paths) {
  std::string text(StringText(id));
  size_t at = 0;
  for (const char* path : paths) {
    at = text.find("%s", at);
    if (at == std::string::npos) break;  // a text naming fewer files
    const std::string quoted = std::string("\"") + path + "\"";
    text.replace(at, 2, quoted);
    at += quoted.size();  // a path holding %s stays as it is
  }
  return text;
}

std::string KeyPairMismatchText(const char* secretPath, const char* publicPath) {
  return TextNamingFiles(IDS_KEY_PAIR_MISMATCH, {secretPath, publicPath});
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
  if (!WriteFileAtomic(path, data.data(), static_cast<int>(data.size()), {})) return KeyFileStatus::kSystemError;
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

namespace {

// A secret key file's bytes, which may hold the key in the clear. One byte
// more than a protected file: enough to refuse one that is too long.
struct SecretFileBytes {
  uint8_t data[kProtectedFileBytes + 1];
  int size = 0;
  SecretFileBytes() = default;
  SecretFileBytes(const SecretFileBytes&) = delete;
  SecretFileBytes& operator=(const SecretFileBytes&) = delete;
  ~SecretFileBytes() { SecureWipe(data, sizeof data); }
};

KeyFileStatus Opened(ProtectedKeyStatus status) {
  switch (status) {
    case ProtectedKeyStatus::kOk: return KeyFileStatus::kOk;
    case ProtectedKeyStatus::kWrongPassphrase: return KeyFileStatus::kWrongPassphrase;
    case ProtectedKeyStatus::kSystemError: return KeyFileStatus::kSystemError;
    default: return KeyFileStatus::kBadSecretKeyFile;
  }
}

KeyFileStatus WriteSecretFile(const char* path, const uint8_t* data, int size) {
  return WriteFileAtomic(path, data, size, {FileAccess::kOwnerOnly}) ? KeyFileStatus::kOk
                                                                     : KeyFileStatus::kSystemError;
}

}  // namespace

KeyFileStatus LoadSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase) {
  SecretFileBytes file;
  if (!ReadFilePrefix(path, file.data, sizeof file.data, &file.size)) return KeyFileStatus::kSystemError;
  if (!IsProtectedKeyFile(file.data, file.size)) {
    return ParseSecretKeyFile(file.data, file.size, key) ? KeyFileStatus::kOk : KeyFileStatus::kBadSecretKeyFile;
  }
  // A malformed file is refused before anybody is asked for a passphrase.
  if (CheckProtectedKeyFile(file.data, file.size) != ProtectedKeyStatus::kOk) return KeyFileStatus::kBadSecretKeyFile;
  if (passphrase.empty()) return KeyFileStatus::kPassphraseNeeded;
  return Opened(ParseProtectedKeyFile(file.data, file.size, passphrase.data(), passphrase.size(), key));
}

KeyFileStatus InspectSecretKeyFile(const char* path, bool* isProtected) {
  uint16_t key[kScalarWords];
  const KeyFileStatus status = LoadSecretKeyFile(path, key);
  SecureWipe(key, sizeof key);
  if (status != KeyFileStatus::kOk && status != KeyFileStatus::kPassphraseNeeded) return status;
  *isProtected = status == KeyFileStatus::kPassphraseNeeded;
  return KeyFileStatus::kOk;
}

KeyFileStatus SaveSecretKeyFile(const char* path, const uint16_t* key, const Passphrase& passphrase) {
  if (!IsValidSecretKey(key)) return KeyFileStatus::kBadSecretKeyFile;
  SecretFileBytes file;
  if (passphrase.empty()) {
    FormatSecretKeyFile(key, file.data);
    return WriteSecretFile(path, file.data, kSecretFileBytes);
  }
  // The key is valid and the count ours, so only the system can fail here.
  if (FormatProtectedKeyFile(key, passphrase.data(), passphrase.size(), kProtectedIterations, file.data) !=
      ProtectedKeyStatus::kOk) {
    return KeyFileStatus::kSystemError;
  }
  return WriteSecretFile(path, file.data, kProtectedFileBytes);
}

KeyFileStatus ChangeSecretKeyPassphrase(const char* path, const Passphrase& current, const Passphrase& next) {
  uint16_t key[kScalarWords];
  KeyFileStatus status = LoadSecretKeyFile(path, key, current);
  if (status == KeyFileStatus::kOk) status = SaveSecretKeyFile(path, key, next);
  SecureWipe(key, sizeof key);
  return status;
}

// The ring goes first, as the user chooses its file first; only the old
// ring needs keeping aside, since nothing has touched the secret key file
// when the ring's write fails.
KeyPairSave SaveKeyPair(const char* publicPath, const char* secretPath, const PublicKeyRecord& own,
                        const uint16_t* secret, const Passphrase& passphrase) {
  if (IsSameFile(publicPath, secretPath)) return {KeyFileStatus::kSameFile, secretPath};
  const FileSnapshot oldRing = TakeFileSnapshot(publicPath, kMaxPublicFileBytes + 1);
  const KeyFileStatus ring = SavePublicKeyFile(publicPath, 1, &own);
  if (ring != KeyFileStatus::kOk) return {ring, publicPath};
  const KeyFileStatus key = SaveSecretKeyFile(secretPath, secret, passphrase);
  if (key == KeyFileStatus::kOk) return {key, nullptr};
  KeepSystemError keep;
  const bool restored = RestoreFileSnapshot(publicPath, oldRing) != 0;
  return {key, secretPath, !restored};
}
