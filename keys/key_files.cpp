#include "keys/key_files.h"

#include <cstring>
#include <utility>

#include "base/file_io.h"
#include "base/file_snapshot.h"
#include "base/same_file.h"
#include "base/system_error.h"
#include "crypto/wipe.h"
#include "keys/formats/key_format.h"
#include "keys/formats/protected_key_file.h"
#include "keys/key_check.h"
#include "keys/locked_memory.h"
#include "keys/text_fill.h"

const char* KeyFileErrorText(KeyFileStatus status) {
  return status == KeyFileStatus::kSystemError ? nullptr : StringText(static_cast<int>(status));
}

std::string TextNamingFiles(int id, std::initializer_list<const char*> paths) {
  std::vector<std::string> quoted;
  for (const char* path : paths) quoted.push_back(std::string("\"") + path + "\"");
  const std::vector<TextArg> args(quoted.begin(), quoted.end());
  char text[kFilledTextChars];
  FillStringTextInto(text, sizeof text, id, args.data(), args.size());
  return text;
}

std::string KeyPairMismatchText(const char* secretPath, const char* publicPath) {
  return TextNamingFiles(IDS_KEY_PAIR_MISMATCH, {secretPath, publicPath});
}

void AddRingEntry(PublicKeyRing& ring, const PublicKeyRecord& key, const StrongKey& strong) {
  ring.keys.push_back(key);
  ring.strong.push_back(strong);
}

const StrongKey& StrongKeyOfEntry(const PublicKeyRing& ring, int index) {
  if (ring.strong[index].present) return ring.strong[index];
  for (int i = 0; i < ring.count(); ++i)
    if (ring.strong[i].present && SamePoint(ring.keys[i], ring.keys[index])) return ring.strong[i];
  return kNoStrongKey;
}

bool WritesStrongMessages(const PublicKeyRing& ring, int index) {
  return StrongKeyOfEntry(ring, index).present || SamePoint(ring.keys[index], ring.keys[0]);
}

bool CompleteOwnStrongKey(const uint16_t* secret, PublicKeyRing& ring) {
  return ring.strong[0].present || StrongKeyOf(secret, ring.strong[0]);
}

// The whole file: a trailer is judged up to the file's end.
static KeyFileStatus LoadPublicFile(const char* path, PublicKeyCheck check, PublicKeyRing& ring) {
  std::vector<uint8_t> data;
  if (!ReadWholeFile(path, data)) return KeyFileStatus::kSystemError;
  std::vector<PublicKeyRecord> keys(kMaxRingKeys);
  std::vector<StrongKey> strong(kMaxRingKeys);
  const int count = ParsePublicKeyFile(data.data(), static_cast<int>(data.size()), keys.data(), strong.data(), check);
  if (!count) return KeyFileStatus::kBadPublicKeyFile;
  keys.resize(static_cast<size_t>(count));
  strong.resize(static_cast<size_t>(count));
  ring.keys = std::move(keys);
  ring.strong = std::move(strong);
  return KeyFileStatus::kOk;
}

KeyFileStatus LoadPublicKeyRing(const char* path, PublicKeyRing& ring) {
  return LoadPublicFile(path, PublicKeyCheck::kCheap, ring);
}

KeyFileStatus LoadImportFile(const char* path, PublicKeyRing& keys) {
  return LoadPublicFile(path, PublicKeyCheck::kFull, keys);
}

KeyFileStatus SavePublicKeyFile(const char* path, int count, const PublicKeyRecord* entries,
                                const StrongKey* strong) {
  if (count > kMaxRingKeys) return KeyFileStatus::kRingFull;
  if (count < 1) return KeyFileStatus::kBadPublicKeyFile;
  std::vector<StrongKey> none;
  if (!strong) {
    none.assign(static_cast<size_t>(count), kNoStrongKey);
    strong = none.data();
  }
  for (int k = 0; k < count; ++k) {
    CurvePoint p;
    RecordPoint(entries[k], p);
    if (!IsValidPublicPoint(p) || !IsValidStrongKey(strong[k], false)) return KeyFileStatus::kBadKey;
  }
  std::vector<uint8_t> data(static_cast<size_t>(PublicFileSize(count, strong)));
  FormatPublicKeyFile(count, entries, strong, data.data());
  if (!WriteFileAtomic(path, data.data(), static_cast<int>(data.size()), {})) return KeyFileStatus::kSystemError;
  return KeyFileStatus::kOk;
}

KeyFileStatus SavePublicKeyFile(const char* path, const PublicKeyRing& ring) {
  return SavePublicKeyFile(path, ring.count(), ring.keys.data(), ring.strong.data());
}

KeyFileStatus AddOwnStrongKey(const char* path, const uint16_t* secret, bool* added) {
  *added = false;
  PublicKeyRing ring;
  KeyFileStatus status = LoadPublicKeyRing(path, ring);
  if (status != KeyFileStatus::kOk || ring.strong[0].present) return status;
  if (!StrongKeyOf(secret, ring.strong[0])) return KeyFileStatus::kSystemError;
  status = SavePublicKeyFile(path, ring);
  *added = status == KeyFileStatus::kOk;
  return status;
}

namespace {

// A secret key file's bytes, which may hold the key in the clear, in locked
// memory that is wiped when it goes. One byte more than a protected file:
// enough to refuse one that is too long.
struct SecretFileBytes {
  static constexpr int kCapacity = kProtectedFileBytes + 1;
  LockedMemory memory{kCapacity};
  int size = 0;
  uint8_t* data() const { return memory.data(); }
  bool operator==(const SecretFileBytes& other) const {
    return size == other.size && std::memcmp(data(), other.data(), static_cast<size_t>(size)) == 0;
  }
};

bool ReadSecretFile(const char* path, SecretFileBytes& file) {
  return ReadFilePrefix(path, file.data(), SecretFileBytes::kCapacity, &file.size) != 0;
}

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

// The key of a file that has been read, as LoadSecretKeyFile says.
KeyFileStatus OpenSecretFile(const SecretFileBytes& file, uint16_t* key, const Passphrase& passphrase) {
  if (!IsProtectedKeyFile(file.data(), file.size)) {
    return ParseSecretKeyFile(file.data(), file.size, key) ? KeyFileStatus::kOk : KeyFileStatus::kBadSecretKeyFile;
  }
  // A malformed or weak file is refused before anybody is asked for a
  // passphrase.
  if (CheckProtectedKeyFile(file.data(), file.size) != ProtectedKeyStatus::kOk) {
    return KeyFileStatus::kBadSecretKeyFile;
  }
  if (ProtectedKeyIterations(file.data()) < kMinUnlockIterations) return KeyFileStatus::kTooFewIterations;
  if (passphrase.empty()) return KeyFileStatus::kPassphraseNeeded;
  return Opened(ParseProtectedKeyFile(file.data(), file.size, passphrase.data(), passphrase.size(), key));
}

// 600000 as 600,000.
std::string CountText(uint32_t n) {
  const std::string digits = std::to_string(n);
  std::string text;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return text;
}

}  // namespace

KeyFileStatus LoadSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase) {
  SecretFileBytes file;
  if (!ReadSecretFile(path, file)) return KeyFileStatus::kSystemError;
  return OpenSecretFile(file, key, passphrase);
}

KeyFileStatus UnlockSecretKeyFile(const char* path, uint16_t* key, const Passphrase& passphrase,
                                  KeyFileRewrite& rewrite) {
  rewrite = {};
  SecretFileBytes file, now;
  if (!ReadSecretFile(path, file)) return KeyFileStatus::kSystemError;
  const KeyFileStatus status = OpenSecretFile(file, key, passphrase);
  if (status != KeyFileStatus::kOk || !IsProtectedKeyFile(file.data(), file.size) ||
      ProtectedKeyIterations(file.data()) >= kProtectedIterations) {
    return status;
  }
  if (!ReadSecretFile(path, now) || !(now == file)) return status;
  rewrite.oldIterations = ProtectedKeyIterations(file.data());
  rewrite.status = SaveSecretKeyFile(path, key, passphrase);
  return status;
}

std::string KeyFileRewriteText(const char* path, const KeyFileRewrite& rewrite) {
  if (rewrite.oldIterations == 0) return "";
  const std::string quoted = std::string("\"") + path + "\"", count = CountText(rewrite.oldIterations);
  if (rewrite.status == KeyFileStatus::kOk) return FilledText(IDS_KEY_FILE_STRENGTHENED, quoted, count);
  char system[256];
  const char* why = ErrorText(KeyFileErrorText(rewrite.status), system, sizeof system);
  return FilledText(IDS_KEY_FILE_NOT_STRENGTHENED, quoted, count, why);
}

KeyFileStatus InspectSecretKeyFile(const char* path, bool* isProtected) {
  const LockedScalar key;  // a file in the clear gives its key all the same
  const KeyFileStatus status = LoadSecretKeyFile(path, key.get());
  if (status != KeyFileStatus::kOk && status != KeyFileStatus::kPassphraseNeeded) return status;
  *isProtected = status == KeyFileStatus::kPassphraseNeeded;
  return KeyFileStatus::kOk;
}

KeyFileStatus SaveSecretKeyFile(const char* path, const uint16_t* key, const Passphrase& passphrase) {
  if (!IsValidSecretKey(key)) return KeyFileStatus::kBadSecretKeyFile;
  SecretFileBytes file;
  if (passphrase.empty()) {
    FormatSecretKeyFile(key, file.data());
    return WriteSecretFile(path, file.data(), kSecretFileBytes);
  }
  // The key is valid and the count ours, so only the system can fail here.
  if (FormatProtectedKeyFile(key, passphrase.data(), passphrase.size(), kProtectedIterations, file.data()) !=
      ProtectedKeyStatus::kOk) {
    return KeyFileStatus::kSystemError;
  }
  return WriteSecretFile(path, file.data(), kProtectedFileBytes);
}

KeyFileStatus ChangeSecretKeyPassphrase(const char* path, const Passphrase& current, const Passphrase& next) {
  const LockedScalar key;
  const KeyFileStatus status = LoadSecretKeyFile(path, key.get(), current);
  return status == KeyFileStatus::kOk ? SaveSecretKeyFile(path, key.get(), next) : status;
}

// The ring goes first, as the user chooses its file first; only the old
// ring needs keeping aside, since nothing has touched the secret key file
// when the ring's write fails.
KeyPairSave SaveKeyPair(const char* publicPath, const char* secretPath, const PublicKeyRecord& own,
                        const uint16_t* secret, const Passphrase& passphrase) {
  if (IsSameFile(publicPath, secretPath)) return {KeyFileStatus::kSameFile, secretPath};
  StrongKey ownStrong;
  if (!StrongKeyOf(secret, ownStrong)) return {KeyFileStatus::kSystemError, publicPath};
  const FileSnapshot oldRing = TakeFileSnapshot(publicPath);
  const KeyFileStatus ring = SavePublicKeyFile(publicPath, 1, &own, &ownStrong);
  if (ring != KeyFileStatus::kOk) return {ring, publicPath};
  const KeyFileStatus key = SaveSecretKeyFile(secretPath, secret, passphrase);
  if (key == KeyFileStatus::kOk) return {key, nullptr};
  KeepSystemError keep;
  const bool restored = RestoreFileSnapshot(publicPath, oldRing) != 0;
  return {key, secretPath, !restored};
}
