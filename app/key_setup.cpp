#include "app/key_setup.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/key_file_dialog.h"
#include "app/settings.h"
#include "app/user_id_dialog.h"
#include "keys/file_snapshot.h"
#include "keys/fingerprint.h"
#include "keys/key_files.h"
#include "keys/key_format.h"
#include "keys/ring_edits.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/registry.h"

namespace {

constexpr char kPublicValue[] = "Public Key";
constexpr char kSecretValue[] = "Secret Key";

bool FileExists(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void StorePath(const char* value, const char* path) {
  RegWriteString(HKEY_CURRENT_USER, kKeysKey, value, path, static_cast<DWORD>(std::strlen(path)), true);
}

void CopyPath(char* dst, const char* src, int size) { lstrcpynA(dst, src, size); }

bool AskYesNo(UINT textId) {
  char text[kTextChars];
  LoadText(textId, text);
  return AskQuestion(MainWindow, text);
}

// Generates a key pair and saves it where the user says; only once both files
// are written does the new pair replace the one in force. A failed write is
// reported, undoes the other write and counts as not done, also at start-up
// (where the caller then ends the program).
int GenerateAndSave() {
  uint16_t secret[kScalarWords];
  PublicKeyRecord own;
  char userId[kTextChars];
  LoadText(IDS_DEFAULT_USER_ID, userId);
  if (!GenerateKeyPair(secret, own, userId)) return 0;

  char publicName[kFileNameChars], secretName[kFileNameChars];
  LoadText(IDS_DEFAULT_PUBLIC_FILE, publicName);
  if (!ChooseKeyFile(true, IDS_SAVE_PUBLIC_TITLE, publicName)) return 0;
  LoadText(IDS_DEFAULT_SECRET_FILE, secretName);
  if (!ChooseKeyFile(true, IDS_SAVE_SECRET_TITLE, secretName)) return 0;

  const FileSnapshot oldRing = TakeFileSnapshot(publicName, kMaxPublicFileBytes + 1);
  if (!SavePublicKeyFile(publicName, 1, &own, false)) return 0;
  if (!SaveSecretKeyFile(secretName, secret, false)) {
    RestoreFileSnapshot(publicName, oldRing);
    return 0;
  }

  std::memcpy(SecretKey, secret, sizeof secret);
  OwnPublicKey = own;
  CopyPath(PublicKeyPath, publicName, sizeof PublicKeyPath);
  CopyPath(SecretKeyPath, secretName, sizeof SecretKeyPath);
  StorePath(kPublicValue, PublicKeyPath);
  StorePath(kSecretValue, SecretKeyPath);
  return 1;
}

// The keys of an import that may go into the ring, moved to the front of
// entries; their count. A key whose user ID the ring (or a key kept before
// it) already holds with another point may be someone pretending to be that
// correspondent: it is kept only when the user says so.
int KeepConfirmedKeys(std::vector<PublicKeyRecord>& entries, int count) {
  std::vector<PublicKeyRecord> known(kMaxRingKeys);
  const int ringCount = LoadPublicKeyRing(known.data(), false);
  if (ringCount <= 0) return 0;
  known.resize(static_cast<size_t>(ringCount));
  char format[kTextChars], id[kUserIdBytes + 1];
  LoadText(IDS_KEY_CHANGED, format);
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    if (FindChangedKey(entries[i], known.data(), static_cast<int>(known.size())) >= 0) {
      GetUserId(entries[i], id);
      char question[kTextChars + 2 * kUserIdBytes];
      std::snprintf(question, sizeof question, format, id, id);
      if (!AskQuestion(MainWindow, question)) continue;
    }
    known.push_back(entries[i]);
    entries[kept++] = entries[i];
  }
  return kept;
}

// The success message, then one line per imported key, its user ID and
// fingerprint, for the user to compare with the correspondent over another
// channel. A long import lists its first keys and how many more there are,
// so that the box still fits on the screen.
constexpr int kListedKeys = 10;

std::string ImportReport(const PublicKeyRecord* keys, int count) {
  char text[kTextChars];
  LoadText(IDS_IMPORT_DONE, text);
  std::string report = std::string(text) + "\n";
  char id[kUserIdBytes + 1], fingerprint[kFingerprintChars + 1];
  for (int i = 0; i < count && i < kListedKeys; ++i) {
    GetUserId(keys[i], id);
    KeyFingerprint(keys[i], fingerprint);
    report += std::string("\n") + id + ":  " + fingerprint;
  }
  if (count > kListedKeys) {
    char format[kTextChars], more[kTextChars + 16];
    LoadText(IDS_IMPORT_MORE, format);
    std::snprintf(more, sizeof more, format, count - kListedKeys);
    report += std::string("\n") + more;
  }
  return report;
}

// Start-up only: every failure here is fatal.
int OpenExistingFiles(const char* publicPath, const char* secretPath) {
  char name[kFileNameChars];
  CopyPath(name, publicPath, sizeof name);
  if (!ChooseKeyFile(false, IDS_OPEN_PUBLIC_TITLE, name)) return 0;
  CopyPath(PublicKeyPath, name, sizeof PublicKeyPath);
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  LoadPublicKeyRing(ring.data(), true);
  StorePath(kPublicValue, PublicKeyPath);

  CopyPath(name, secretPath, sizeof name);
  if (!ChooseKeyFile(false, IDS_OPEN_SECRET_TITLE, name)) return 0;
  CopyPath(SecretKeyPath, name, sizeof SecretKeyPath);
  LoadSecretKeyFile(SecretKeyPath, SecretKey, true);
  StorePath(kSecretValue, SecretKeyPath);
  return 1;
}

}  // namespace

int SetUpKeys(int mode) {
  char publicPath[kPathChars], secretPath[kPathChars];
  const bool publicRead = RegReadString(HKEY_CURRENT_USER, kKeysKey, kPublicValue, publicPath, kPathChars, true);
  const bool secretRead = RegReadString(HKEY_CURRENT_USER, kKeysKey, kSecretValue, secretPath, kPathChars, true);
  const bool found = publicRead && secretRead && FileExists(publicPath) && FileExists(secretPath);

  if (mode == kSetUpAtStart && found) {
    CopyPath(PublicKeyPath, publicPath, sizeof PublicKeyPath);
    CopyPath(SecretKeyPath, secretPath, sizeof SecretKeyPath);
    std::vector<PublicKeyRecord> ring(kMaxRingKeys);
    LoadPublicKeyRing(ring.data(), true);
    LoadSecretKeyFile(SecretKeyPath, SecretKey, true);
    return 1;
  }

  if (AskYesNo(mode == kSetUpAtStart ? IDS_ASK_GENERATE_FIRST : IDS_ASK_GENERATE_AGAIN))
    return GenerateAndSave();
  if (mode != kSetUpAtStart) return 0;
  return OpenExistingFiles(publicPath, secretPath);
}

void ImportPublicKeys(const char* path, bool ask) {
  char name[kFileNameChars];
  if (ask) {
    LoadText(IDS_DEFAULT_IMPORT_FILE, name);
    if (!ChooseKeyFile(false, IDS_OPEN_PUBLIC_TITLE, name)) return;
    path = name;
  }
  std::vector<PublicKeyRecord> entries(kMaxRingKeys);
  int count = LoadImportFile(path, entries.data(), false);
  if (count > 0) count = KeepConfirmedKeys(entries, count);
  if (count <= 0 || !AppendToPublicKeyRing(count, entries.data(), false)) return;

  char caption[kTextChars];
  LoadText(IDS_IMPORT_CAPTION, caption);
  MessageBoxA(nullptr, ImportReport(entries.data(), count).c_str(), caption, MB_OK);
}

void ExportPublicKey(int index) {
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  const int count = LoadPublicKeyRing(ring.data(), false);
  if (index < 0 || index >= count) return;
  PublicKeyRecord record = ring[index];

  char initial[kUserIdBytes + 1], typed[kUserIdBytes + 1];
  GetUserId(record, initial);
  switch (UserIdDialog(initial, typed)) {
    case UserIdAnswer::Cancel:
      return;
    case UserIdAnswer::Ok:
      SetUserId(record, typed);
      break;
    case UserIdAnswer::Failed:  // go on under the ID the key has
      break;
  }

  char name[kFileNameChars];
  LoadText(IDS_DEFAULT_EXPORT_FILE, name);
  if (!ChooseKeyFile(true, IDS_SAVE_PUBLIC_TITLE, name)) return;
  SavePublicKeyFile(name, 1, &record, false);
}
