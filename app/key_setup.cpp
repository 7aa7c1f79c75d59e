#include "app/key_setup.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "app/key_file_dialog.h"
#include "app/key_protection.h"
#include "app/key_state.h"
#include "app/user_id_dialog.h"
#include "crypto/wipe.h"
#include "keys/fingerprint.h"
#include "keys/key_files.h"
#include "keys/registry_names.h"
#include "keys/ring_edits.h"
#include "keys/user_id_text.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/registry.h"
#include "win/report_error.h"

namespace {

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

// Saves a new key pair where the user says, under a passphrase the user
// gives when protect is set; only once both files are written does the new
// pair replace the one in force. A failed write is reported, undoes the
// other write and counts as not done, also at start-up (where the caller
// then ends the program).
int SaveNewKeys(const uint16_t* secret, const PublicKeyRecord& own, bool protect) {
  char publicName[kFileNameChars], secretName[kFileNameChars];
  LoadText(IDS_DEFAULT_PUBLIC_FILE, publicName);
  if (!ChooseKeyFile(true, IDS_SAVE_PUBLIC_TITLE, publicName)) return 0;
  LoadText(IDS_DEFAULT_SECRET_FILE, secretName);
  if (!ChooseKeyFile(true, IDS_SAVE_SECRET_TITLE, secretName)) return 0;
  Passphrase passphrase;
  if (protect && !AskNewKeyPassphrase(secretName, passphrase)) return 0;
  if (!CheckKeyFile(SaveKeyPair(publicName, secretName, own, secret, passphrase).status, KeyFailure::kWarning))
    return 0;

  std::memcpy(SecretKey, secret, sizeof SecretKey);
  OwnPublicKey = own;
  CopyPath(PublicKeyPath, publicName, sizeof PublicKeyPath);
  CopyPath(SecretKeyPath, secretName, sizeof SecretKeyPath);
  StorePath(kPublicKeyValue, PublicKeyPath);
  StorePath(kSecretKeyValue, SecretKeyPath);
  return 1;
}

// A new key pair, saved as SaveNewKeys says; the new secret key is wiped
// here whether or not it went into force.
int GenerateAndSave(bool protect) {
  uint16_t secret[kScalarWords];
  PublicKeyRecord own;
  char userId[kTextChars];
  LoadText(IDS_DEFAULT_USER_ID, userId);
  if (!GenerateKeyPair(secret, own, userId)) {
    // Without the system's random source no key can be made at all.
    ReportError(nullptr, true);
    return 0;
  }
  const int saved = SaveNewKeys(secret, own, protect);
  SecureWipe(secret, sizeof secret);
  return saved;
}

// The keys of an import that may go into the ring, kept in their order. A
// key whose user ID the ring (or a key kept before it) already holds with
// another point may be someone pretending to be that correspondent: it is
// kept only when the user says so. False when the ring cannot be loaded.
bool KeepConfirmedKeys(PublicKeyRing& imported) {
  PublicKeyRing known;
  if (!LoadRingInForce(known, KeyFailure::kWarning)) return false;
  char format[kTextChars];
  LoadText(IDS_KEY_CHANGED, format);
  int kept = 0;
  for (const PublicKeyRecord& key : imported.keys) {
    if (FindChangedKey(key, known.keys.data(), known.count()) >= 0) {
      const std::string id = DisplayUserId(key);
      char question[kTextChars + 8 * kUserIdBytes];
      std::snprintf(question, sizeof question, format, id.c_str(), id.c_str());
      if (!AskQuestion(MainWindow, question)) continue;
    }
    known.keys.push_back(key);
    imported.keys[kept++] = key;
  }
  imported.keys.resize(static_cast<size_t>(kept));
  return true;
}

// The success message, then one line per imported key, its user ID and
// fingerprint, for the user to compare with the correspondent over another
// channel. A long import lists its first keys and how many more there are,
// so that the box still fits on the screen.
constexpr int kListedKeys = 10;

std::string ImportReport(const PublicKeyRing& imported) {
  const int count = imported.count();
  char text[kTextChars];
  LoadText(IDS_IMPORT_DONE, text);
  std::string report = std::string(text) + "\n";
  char fingerprint[kFingerprintChars + 1];
  for (int i = 0; i < count && i < kListedKeys; ++i) {
    KeyFingerprint(imported.keys[i], fingerprint);
    report += '\n';
    report += DisplayUserId(imported.keys[i]) + ":  " + fingerprint;
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
  PublicKeyRing ring;
  LoadRingInForce(ring, KeyFailure::kFatal);
  StorePath(kPublicKeyValue, PublicKeyPath);

  CopyPath(name, secretPath, sizeof name);
  if (!ChooseKeyFile(false, IDS_OPEN_SECRET_TITLE, name)) return 0;
  CopyPath(SecretKeyPath, name, sizeof SecretKeyPath);
  LoadSecretKeyAtStart(SecretKeyPath, SecretKey, true);
  CheckKeyPair(KeyFailure::kFatal);
  StorePath(kSecretKeyValue, SecretKeyPath);
  return 1;
}

}  // namespace

int SetUpKeys(int mode) {
  char publicPath[kPathChars] = "", secretPath[kPathChars] = "";
  const bool publicRead =
      RegReadString(HKEY_CURRENT_USER, kKeysKey, kPublicKeyValue, publicPath, kPathChars, true);
  const bool secretRead =
      RegReadString(HKEY_CURRENT_USER, kKeysKey, kSecretKeyValue, secretPath, kPathChars, true);
  const bool found = publicRead && secretRead && FileExists(publicPath) && FileExists(secretPath);

  if (mode == kSetUpAtStart && found) {
    CopyPath(PublicKeyPath, publicPath, sizeof PublicKeyPath);
    CopyPath(SecretKeyPath, secretPath, sizeof SecretKeyPath);
    PublicKeyRing ring;
    LoadRingInForce(ring, KeyFailure::kFatal);
    // A second copy ends at the single-instance test, after its import: it
    // leaves a protected key locked rather than ask for a passphrase it has
    // no use for.
    if (LoadSecretKeyAtStart(SecretKeyPath, SecretKey, !AnotherCopyRuns())) CheckKeyPair(KeyFailure::kFatal);
    return 1;
  }

  if (AskYesNo(mode == kSetUpAtStart ? IDS_ASK_GENERATE_FIRST : IDS_ASK_GENERATE_AGAIN))
    return GenerateAndSave(SecretKeyProtection(secretPath) == KeyProtection::kOn);
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
  PublicKeyRing imported;
  if (!CheckKeyFile(LoadImportFile(path, imported), KeyFailure::kWarning) || !KeepConfirmedKeys(imported) ||
      imported.count() == 0 ||
      !CheckKeyFile(AppendToPublicKeyRing(PublicKeyPath, imported.count(), imported.keys.data()),
                    KeyFailure::kWarning)) {
    return;
  }

  char caption[kTextChars];
  LoadText(IDS_IMPORT_CAPTION, caption);
  MessageBoxA(nullptr, ImportReport(imported).c_str(), caption, MB_OK);
}

void ExportPublicKey(int index) {
  PublicKeyRing ring;
  if (!LoadRingInForce(ring, KeyFailure::kWarning) || index < 0 || index >= ring.count()) return;
  PublicKeyRecord record = ring.keys[index];

  char typed[kUserIdBytes + 1];
  switch (UserIdDialog(DisplayUserId(record).c_str(), typed)) {
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
  CheckKeyFile(SavePublicKeyFile(name, 1, &record), KeyFailure::kWarning);
}
