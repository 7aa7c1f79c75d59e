#include "app/key_setup.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/key_file_dialog.h"
#include "app/key_protection.h"
#include "app/key_state.h"
#include "app/process_state.h"
#include "app/user_id_dialog.h"
#include "crypto/wipe.h"
#include "keys/fingerprint.h"
#include "keys/formats/key_format.h"
#include "keys/import_rule.h"
#include "keys/key_files.h"
#include "keys/locked_memory.h"
#include "keys/registry_names.h"
#include "keys/ring_edits.h"
#include "keys/text_fill.h"
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

bool StorePath(const char* value, const char* path) {
  return RegWriteString(HKEY_CURRENT_USER, kKeysKey, value, path, static_cast<DWORD>(std::strlen(path)), true) != 0;
}

// Records the key files in force for the next start; a failure is a warning
// and the program goes on with the keys it has. The secret key's place is
// written only after the ring's, and the ring's taken away again when the
// secret key's cannot be written: the next start must not pair the new ring
// with the old secret key file, but ask.
void StoreKeyPaths() {
  const bool ringStored = StorePath(kPublicKeyValue, PublicKeyPath);
  if (ringStored && StorePath(kSecretKeyValue, SecretKeyPath)) return;
  if (ringStored) RegDeleteValueAt(HKEY_CURRENT_USER, kKeysKey, kPublicKeyValue);
  ReportError(TextNamingFiles(IDS_KEY_PATHS_NOT_STORED, {PublicKeyPath, SecretKeyPath}).c_str(), false);
}

void CopyPath(char* dst, const char* src, int size) { lstrcpynA(dst, src, size); }

// Whether the ring in force has held strong keys: then a ring found without
// the owner's strong key was rewritten by an older program, which drops
// every strong key.
bool RingHeldStrongKeys() {
  DWORD held = 0;
  return RegReadDword(HKEY_CURRENT_USER, kSettingsKey, kRingHasStrongKeysValue, &held, false) && held != 0;
}

void RememberStrongKeys() { RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, kRingHasStrongKeysValue, 1, true); }

// Once SecretKey has been found to belong to ring, the ring in force: the
// owner's strong key goes into entry 0 when it lacks it, in a ring write of
// its own, so that listing and exporting need no secret key and other
// programs reading the ring see it. A ring that cannot be written is a
// warning; the actions then work the key out from the secret key. When the
// ring recorded for this user, which has held strong keys, needed it again,
// an older program has dropped them all: the user hears so once, as the
// next start finds the key in place.
void KeepOwnStrongKey(const PublicKeyRing& ring, bool recordedRing) {
  bool added = false;
  if (!ring.strong[0].present && !CheckKeyFile(AddOwnStrongKey(PublicKeyPath, SecretKey, &added), KeyFailure::kWarning))
    return;
  if (added && recordedRing && RingHeldStrongKeys()) ShowNotice(IDS_STRONG_KEYS_DROPPED);
  RememberStrongKeys();
}

bool AskYesNo(UINT textId) {
  char text[kTextChars];
  LoadText(textId, text);
  return AskQuestion(MainWindow, text);
}

// Saves a new key pair where the user says, under a passphrase the user
// gives when protect is set; only once both files are written does the new
// pair replace the one in force. A failed write is reported, undoes the
// other write (or says that the old ring could not be put back) and counts
// as not done, also at start-up (where the caller then ends the program).
bool SaveNewKeys(const uint16_t* secret, const PublicKeyRecord& own, bool protect) {
  char publicName[kFileNameChars], secretName[kFileNameChars];
  LoadText(IDS_DEFAULT_PUBLIC_FILE, publicName);
  if (!ChooseKeyFile(true, IDS_SAVE_PUBLIC_TITLE, publicName)) return false;
  LoadText(IDS_DEFAULT_SECRET_FILE, secretName);
  if (!ChooseKeyFile(true, IDS_SAVE_SECRET_TITLE, secretName)) return false;
  Passphrase passphrase;
  if (protect && !AskNewKeyPassphrase(secretName, passphrase)) return false;
  const KeyPairSave saved = SaveKeyPair(publicName, secretName, own, secret, passphrase);
  if (!CheckKeyFile(saved.status, KeyFailure::kWarning)) {
    if (saved.ringNotRestored) ReportError(TextNamingFiles(IDS_RING_NOT_RESTORED, {publicName}).c_str(), false);
    return false;
  }

  std::memcpy(SecretKey, secret, sizeof SecretKey);
  CopyPath(PublicKeyPath, publicName, sizeof PublicKeyPath);
  CopyPath(SecretKeyPath, secretName, sizeof SecretKeyPath);
  StoreKeyPaths();
  RememberStrongKeys();  // the new ring holds the owner's
  return true;
}

// A new key pair, saved as SaveNewKeys says; the new secret key is wiped
// here whether or not it went into force.
bool GenerateAndSave(bool protect) {
  // On locked pages, wiped when dropped: the key waits here through the
  // passphrase dialog and the file dialogs.
  LockedScalar secret;
  PublicKeyRecord own;
  char userId[kTextChars];
  LoadText(IDS_DEFAULT_USER_ID, userId);
  if (!GenerateKeyPair(secret.get(), own, userId)) {
    // Without the system's random source no key can be made at all.
    ReportError(nullptr, true);
    return false;
  }
  return SaveNewKeys(secret.get(), own, protect);
}

std::string Fingerprint(const PublicKeyRecord& key, const StrongKey& strong) {
  char fingerprint[kFingerprintChars + 1];
  KeyFingerprint(key, strong, fingerprint);
  return fingerprint;
}

// The ring in force, with the owner's strong key in entry 0: from the secret
// key in force when the ring lacks it (an older program rewrote it) and the
// two are still one pair. A second copy that left a protected key locked
// has none to give. False after the report of a ring that cannot be loaded.
bool LoadRingWithOwnStrongKey(PublicKeyRing& ring) {
  if (!LoadRingInForce(ring, KeyFailure::kWarning)) return false;
  if (!ring.strong[0].present && IsValidSecretKey(SecretKey) && IsKeyPairOf(SecretKey, ring.keys[0], ring.strong[0]))
    CompleteOwnStrongKey(SecretKey, ring);
  return true;
}

// What an import did, for its closing message: the keys taken in (with
// their fingerprints, for the user to compare with the correspondents over
// another channel) and the notes on the keys that were not, or that lack a
// strong key.
struct ImportReport {
  PublicKeyRing taken;
  std::vector<std::string> notes;
};

// Whether the user lets the import do what the rule decided for one key: a
// changed key, or a strong key added to a key the ring holds, may be
// someone pretending to be that correspondent. Both keep the entry's user
// ID, so the questions name the entry as the ring lists it.
bool Consents(const ImportDecision& decision, const PublicKeyRing& ring, const PublicKeyRecord& key,
              const StrongKey& strong) {
  if (decision.what != ImportCase::kChanged && decision.what != ImportCase::kStrongKeyAdded) return true;
  const std::string listed = DisplayUserId(ring.keys[decision.index]);
  if (decision.what == ImportCase::kChanged)
    return AskQuestion(MainWindow, FilledText(IDS_KEY_CHANGED, listed, listed).c_str());
  return AskQuestion(MainWindow, FilledText(IDS_ASK_ADD_STRONG_KEY, listed, Fingerprint(key, strong), listed).c_str());
}

// The note for a key the rule leaves out; empty for one it takes.
std::string LeftOutNote(const ImportDecision& decision, const PublicKeyRing& ring, const PublicKeyRecord& key) {
  const std::string id = DisplayUserId(key);
  switch (decision.what) {
    case ImportCase::kAlreadyThere: return FilledText(IDS_ALREADY_IN_RING, id);
    case ImportCase::kOwnKeyChanged: return FilledText(IDS_OWN_KEY_NOT_CHANGED, id);
    case ImportCase::kStrongKeyOfOther:
      return FilledText(IDS_STRONG_KEY_OF_OTHER, id, DisplayUserId(ring.keys[decision.index]));
    default: return "";
  }
}

// The warning for a key taken in whose user ID looks like that of held, a
// key the ring holds.
std::string LookAlikeNote(const PublicKeyRecord& key, const PublicKeyRecord& held) {
  return FilledText(IDS_LOOK_ALIKE_ID, LookAlikeShownId(key), LookAlikeShownId(held), DisplayUserId(held));
}

// Every key of imported weighed against the ring in force by the import
// rule, with the user's consent where it asks for one; the ring is written
// once, when something changed. False when the ring cannot be loaded or
// written, or would grow beyond 1000 keys (after the report: nothing has
// been imported then).
bool ImportIntoRing(const PublicKeyRing& imported, ImportReport& report) {
  PublicKeyRing ring;
  if (!LoadRingWithOwnStrongKey(ring)) return false;
  for (int i = 0; i < imported.count(); ++i) {
    const PublicKeyRecord& key = imported.keys[i];
    const StrongKey& strong = imported.strong[i];
    const ImportDecision decision = DecideImport(ring, key, strong);
    const std::string note = LeftOutNote(decision, ring, key);
    if (!note.empty()) {
      report.notes.push_back(note);
      continue;
    }
    if (!Consents(decision, ring, key, strong)) continue;
    if (decision.lookAlike >= 0) report.notes.push_back(LookAlikeNote(key, ring.keys[decision.lookAlike]));
    if (!CheckKeyFile(ApplyImport(ring, decision, key, strong), KeyFailure::kWarning)) return false;
    // Listed as the ring now holds it: a changed key or an added strong key
    // keeps the entry's user ID.
    const int entry = decision.index >= 0 ? decision.index : ring.count() - 1;
    AddRingEntry(report.taken, ring.keys[entry], ring.strong[entry]);
    if (!strong.present)
      report.notes.push_back(FilledText(IDS_IMPORTED_WITHOUT_STRONG_KEY, DisplayUserId(ring.keys[entry])));
  }
  return report.taken.count() == 0 || CheckKeyFile(SavePublicKeyFile(PublicKeyPath, ring), KeyFailure::kWarning);
}

// The success message, then one line per imported key, its user ID and
// fingerprint; then the notes. A long import lists its first keys and how
// many more there are, so that the box still fits on the screen.
constexpr int kListedKeys = 10;

// "... and 12 more".
std::string MoreText(int more) { return FilledText(IDS_IMPORT_MORE, more); }

std::string ImportReportText(const ImportReport& report) {
  std::string text;
  const int count = report.taken.count();
  if (count > 0) {
    char done[kTextChars];
    LoadText(IDS_IMPORT_DONE, done);
    text = std::string(done) + "\n";
    for (int i = 0; i < count && i < kListedKeys; ++i) {
      text += '\n';
      text += DisplayUserId(report.taken.keys[i]);
      text += ":  ";
      text += Fingerprint(report.taken.keys[i], report.taken.strong[i]);
    }
    if (count > kListedKeys) text += '\n' + MoreText(count - kListedKeys);
  }
  for (size_t i = 0; i < report.notes.size() && i < kListedKeys; ++i) {
    if (!text.empty()) text += "\n\n";
    text += report.notes[i];
  }
  if (report.notes.size() > kListedKeys) text += '\n' + MoreText(static_cast<int>(report.notes.size()) - kListedKeys);
  return text;
}

// The keys of a file as the question before its import lists them: user
// ID, key ID and fingerprint of each, the first kListedKeys of a long file.
std::string KeyFileListing(const PublicKeyRing& file) {
  std::string listing;
  for (int i = 0; i < file.count() && i < kListedKeys; ++i) {
    uint8_t id[kKeyIdBytes];
    char idText[kKeyIdChars + 1] = "?";
    if (RingKeyId(file.keys[i], file.strong[i], id)) KeyIdText(id, idText);
    if (i > 0) listing += "\n\n";
    listing +=
        FilledText(IDS_IMPORT_FILE_KEY, DisplayUserId(file.keys[i]), idText, Fingerprint(file.keys[i], file.strong[i]));
  }
  if (file.count() > kListedKeys) listing += "\n\n" + MoreText(file.count() - kListedKeys);
  return listing;
}

// A file handed over by the shell (a double click, a mail program's
// attachment) comes from who knows where and is imported only once the
// user, who has seen its keys, says so.
bool ConfirmFileImport(const char* path, const PublicKeyRing& file) {
  return AskQuestion(MainWindow, FilledText(IDS_ASK_IMPORT_FILE, path, KeyFileListing(file)).c_str());
}

// Start-up only: every failure here is fatal.
bool OpenExistingFiles(const char* publicPath, const char* secretPath) {
  char name[kFileNameChars];
  CopyPath(name, publicPath, sizeof name);
  if (!ChooseKeyFile(false, IDS_OPEN_PUBLIC_TITLE, name)) return false;
  CopyPath(PublicKeyPath, name, sizeof PublicKeyPath);
  PublicKeyRing ring;
  LoadRingInForce(ring, KeyFailure::kFatal);

  CopyPath(name, secretPath, sizeof name);
  if (!ChooseKeyFile(false, IDS_OPEN_SECRET_TITLE, name)) return false;
  CopyPath(SecretKeyPath, name, sizeof SecretKeyPath);
  LoadSecretKeyAtStart(SecretKeyPath, SecretKey, true);
  CheckKeyPair(ring, KeyFailure::kFatal);
  // Files the user has just picked may be another ring than the one that
  // held strong keys: nothing is said about a missing one.
  KeepOwnStrongKey(ring, false);
  StoreKeyPaths();
  return true;
}

}  // namespace

bool SetUpKeys(KeySetUpMode mode) {
  char publicPath[kPathChars] = "", secretPath[kPathChars] = "";
  const bool publicRead =
      RegReadString(HKEY_CURRENT_USER, kKeysKey, kPublicKeyValue, publicPath, kPathChars, true);
  const bool secretRead =
      RegReadString(HKEY_CURRENT_USER, kKeysKey, kSecretKeyValue, secretPath, kPathChars, true);
  const bool found = publicRead && secretRead && FileExists(publicPath) && FileExists(secretPath);

  if (mode == KeySetUpMode::kAtStart && found) {
    CopyPath(PublicKeyPath, publicPath, sizeof PublicKeyPath);
    CopyPath(SecretKeyPath, secretPath, sizeof SecretKeyPath);
    PublicKeyRing ring;
    LoadRingInForce(ring, KeyFailure::kFatal);
    // A second copy ends at the single-instance test, after its import: it
    // leaves a protected key locked rather than ask for a passphrase it has
    // no use for, and does without the owner's strong key then.
    if (LoadSecretKeyAtStart(SecretKeyPath, SecretKey, !AnotherCopyRuns())) {
      CheckKeyPair(ring, KeyFailure::kFatal);
      KeepOwnStrongKey(ring, true);
    }
    return true;
  }

  if (AskYesNo(mode == KeySetUpMode::kAtStart ? IDS_ASK_GENERATE_FIRST : IDS_ASK_GENERATE_AGAIN))
    return GenerateAndSave(SecretKeyProtection(secretPath) == KeyProtection::kOn);
  if (mode != KeySetUpMode::kAtStart) return false;
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
  ImportReport report;
  if (!CheckKeyFile(LoadImportFile(path, imported), KeyFailure::kWarning) ||
      (!ask && !ConfirmFileImport(path, imported)) || !ImportIntoRing(imported, report))
    return;
  const std::string text = ImportReportText(report);
  if (text.empty()) return;  // every key was declined
  char caption[kTextChars];
  LoadText(IDS_IMPORT_CAPTION, caption);
  MessageBoxA(nullptr, text.c_str(), caption, MB_OK);
}

void ExportPublicKey(int index) {
  PublicKeyRing ring;
  if (!LoadRingWithOwnStrongKey(ring) || index < 0 || index >= ring.count()) return;
  PublicKeyRecord record = ring.keys[index];
  const StrongKey strong = ring.strong[index];

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
  CheckKeyFile(SavePublicKeyFile(name, 1, &record, &strong), KeyFailure::kWarning);
}
