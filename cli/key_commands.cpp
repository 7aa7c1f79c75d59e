// keygen, list, import, export, remove, rename and passwd: the commands on
// the key files.
#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/own_key.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"
#include "keys/fingerprint.h"
#include "keys/import_rule.h"
#include "keys/key_files.h"
#include "keys/locked_memory.h"
#include "keys/ring_edits.h"
#include "keys/text_fill.h"
#include "keys/user_id_text.h"
#include "resources/strings.h"

int RunKeygen(const Options& o) {
  const KeyPaths paths = ChooseKeyPaths(o, true);
  if (!o.force) {
    for (const std::string* path : {&paths.publicPath, &paths.secretPath}) {
      if (PathExists(path->c_str())) {
        SetErrorFile(path->c_str());
        ReportError("a key file is there already; --force replaces it, and its keys are lost", true);
      }
    }
  }
  Passphrase passphrase;
  if (o.protect || !o.newPassphraseFile.empty()) ReadNewPassphrase(o, passphrase);
  KeepSecretsInProcess();
  PublicKeyRecord own;
  KeyPairSave saved;
  {
    const LockedScalar secret;
    if (!GenerateKeyPair(secret.get(), own, o.hasNewId ? o.newId.c_str() : nullptr)) ReportError(nullptr, true);
    saved = SaveKeyPair(paths.publicPath.c_str(), paths.secretPath.c_str(), own, secret.get(), passphrase);
  }
  if (saved.ringNotRestored) {
    // Why the secret key was not written comes first, while the system's
    // last error still says it.
    SetErrorFile(saved.failedPath);
    ReportError(KeyFileErrorText(saved.status), false);
    SetErrorFile(nullptr);
    ReportError(TextNamingFiles(IDS_RING_NOT_RESTORED, {paths.publicPath.c_str()}).c_str(), true);
  }
  if (saved.status != KeyFileStatus::kOk) ExitOnFailure(saved.status, saved.failedPath);
  return 0;
}

// The mark of the owner's line when the secret key file is known and
// protected; a file that cannot be read is the business of the commands
// that use it.
static const char* ProtectionMark(const std::string& secretPath) {
  bool isProtected = false;
  return !secretPath.empty() && InspectSecretKeyFile(secretPath.c_str(), &isProtected) == KeyFileStatus::kOk &&
                 isProtected
             ? " (secret key protected)"
             : "";
}

int RunList(const Options& o) {
  const KeyPaths paths = ChooseKeyPaths(o, false);
  const PublicKeyRing ring = LoadRing(paths.publicPath);
  const std::string owner = std::string(StringText(IDS_OWNER_SUFFIX)) + ProtectionMark(paths.secretPath);
  std::string out;
  for (int k = 0; k < ring.count(); ++k) {
    out += std::to_string(k) + "\t" + DisplayUserId(ring.keys[k]) + (k == 0 ? owner : "");
    if (o.fingerprints) {
      out += '\t';
      out += FingerprintText(ring.keys[k], ring.strong[k]);
      if (!ring.strong[k].present) out += "\tno strong key";
    }
    out += "\n";
  }
  WriteOutput(out);
  return 0;
}

namespace {

// The lines an import writes on stderr besides its listing, for the keys it
// skipped, the strong keys it added, the keys whose user ID looks like one
// in the ring and the keys that came without a strong key. They are written
// once the ring has been: a refusal is the one line of a failed import.
void AddNote(std::string& notes, const std::string& text) { notes += "vwg: " + text + "\n"; }

// Weighs key against the ring as the keys before it left it, and carries
// out what the rule decides; a refusal ends vwg before the ring is written.
// The ring entry that took it (appended, given its strong key, or put in the
// place of a changed key, under that entry's user ID), or -1.
int TakeImportedKey(const Options& o, const PublicKeyRecord& key, const StrongKey& strong, PublicKeyRing& ring,
                    const std::string& ringPath, std::string& notes) {
  const std::string id = DisplayUserId(key);
  const ImportDecision decision = DecideImport(ring, key, strong);
  const std::string listed = decision.index >= 0 ? DisplayUserId(ring.keys[decision.index]) : id;
  switch (decision.what) {
    case ImportCase::kAlreadyThere:
      AddNote(notes, id + ": already in the ring" + (listed == id ? "" : " as " + listed) + ", not imported again");
      return -1;
    case ImportCase::kStrongKeyOfOther:
      ReportError(FilledText(IDS_STRONG_KEY_OF_OTHER, id, listed).c_str(), true);
      break;
    case ImportCase::kOwnKeyChanged:
      ReportError(FilledText(IDS_OWN_KEY_NOT_CHANGED, id).c_str(), true);
      break;
    case ImportCase::kChanged:
      if (!o.replaceChanged) {
        ReportError((listed + ": the ring holds another key for this user ID; someone may be pretending to be "
                              "its owner. Compare the fingerprints with your correspondent, then import again with "
                              "--replace-changed to replace it")
                        .c_str(),
                    true);
      }
      break;
    case ImportCase::kStrongKeyAdded:
      AddNote(notes, FilledText(IDS_STRONG_KEY_ADDED, listed, FingerprintText(key, strong), listed));
      break;
    case ImportCase::kAppend:
      if (decision.lookAlike >= 0) {
        const PublicKeyRecord& held = ring.keys[decision.lookAlike];
        AddNote(notes, "warning: " + FilledText(IDS_LOOK_ALIKE_ID, LookAlikeShownId(key), LookAlikeShownId(held),
                                                DisplayUserId(held)));
      }
      break;
  }
  ExitOnFailure(ApplyImport(ring, decision, key, strong), ringPath);
  if (!strong.present) AddNote(notes, "warning: " + FilledText(IDS_IMPORTED_WITHOUT_STRONG_KEY, listed));
  return decision.what == ImportCase::kAppend ? ring.count() - 1 : decision.index;
}

}  // namespace

int RunImport(const Options& o) {
  const std::string ringPath = ChooseKeyPaths(o, false).publicPath;
  // Every file is read and checked, and every key weighed against the ring,
  // before the ring is written, so that a refusal anywhere leaves it as it
  // was; the ring is then written whole in one step.
  PublicKeyRing imported, file;
  for (const std::string& path : o.files) {
    ExitOnFailure(LoadImportFile(path.c_str(), file), path);
    for (int k = 0; k < file.count(); ++k) AddRingEntry(imported, file.keys[k], file.strong[k]);
    if (imported.count() > kMaxRingKeys) ExitOnFailure(KeyFileStatus::kRingFull, path);
  }
  PublicKeyRing ring = LoadRing(ringPath);
  std::string listing, notes;
  for (int k = 0; k < imported.count(); ++k) {
    const int taken = TakeImportedKey(o, imported.keys[k], imported.strong[k], ring, ringPath, notes);
    if (taken < 0) continue;
    listing += DisplayUserId(ring.keys[taken]) + "\t" + FingerprintText(ring.keys[taken], ring.strong[taken]) + "\n";
  }
  if (!listing.empty()) ExitOnFailure(SavePublicKeyFile(ringPath.c_str(), ring), ringPath);
  WriteOutput(listing);
  std::fputs(notes.c_str(), stderr);
  return 0;
}

int RunExport(const Options& o) {
  PublicKeyRing ring = LoadRing(ChooseKeyPaths(o, false).publicPath);
  const int index = ChooseKey(ring, o, 0);
  // The owner's strong key comes from the secret key when the ring lacks it.
  if (index == 0 && !ring.strong[0].present) {
    const LockedScalar secret;
    OpenSecretKey(o, ChooseKeyPathsWithSecret(o), ring, secret.get());
  }
  PublicKeyRecord key = ring.keys[index];
  if (o.hasNewId) SetUserId(key, o.newId.c_str());
  ExitOnFailure(SavePublicKeyFile(o.output.c_str(), 1, &key, &ring.strong[index]), o.output);
  return 0;
}

namespace {

// The ring entry that --index names, checked against the ring.
PublicKeyRecord ChosenEntry(const Options& o, const std::string& ringPath) {
  const PublicKeyRing ring = LoadRing(ringPath);
  return ring.keys[ChooseKey(ring, o, 0)];
}

void CheckRingEdit(KeyFileStatus status, const std::string& ringPath) {
  // Another program changed the ring between our load and our write.
  if (status == KeyFileStatus::kRingChanged) ReportError("the public key ring changed meanwhile; try again", true);
  ExitOnFailure(status, ringPath);
}

}  // namespace

int RunRemove(const Options& o) {
  const std::string ringPath = ChooseKeyPaths(o, false).publicPath;
  const PublicKeyRecord key = ChosenEntry(o, ringPath);
  if (o.keyIndex == 0) ReportError("entry 0 is your own key and cannot be removed", true);
  CheckRingEdit(RemoveRingEntry(ringPath.c_str(), o.keyIndex, key), ringPath);
  WriteOutput("removed " + std::to_string(o.keyIndex) + "\t" + DisplayUserId(key) + "\n");
  return 0;
}

int RunRename(const Options& o) {
  const std::string ringPath = ChooseKeyPaths(o, false).publicPath;
  const PublicKeyRecord key = ChosenEntry(o, ringPath);
  CheckRingEdit(RenameRingEntry(ringPath.c_str(), o.keyIndex, key, o.newId.c_str()), ringPath);
  WriteOutput("renamed " + std::to_string(o.keyIndex) + "\t" + o.newId + "\n");
  return 0;
}

int RunPasswd(const Options& o) {
  const KeyPaths paths = ChooseKeyPaths(o, false);
  const std::string& path = paths.secretPath;
  bool wasProtected = false;
  ExitOnFailure(InspectSecretKeyFile(path.c_str(), &wasProtected), path);
  if (o.removePassphrase && !wasProtected) {
    WriteOutput("the secret key has no passphrase; nothing was written\n");
    return 0;
  }
  // The old passphrase is checked before a new one is asked for, and the
  // new one before anything is written.
  const LockedScalar key;
  LoadSecretKey(o, path, key.get(), SecretKeyFileUse::kReplace);
  Passphrase next;
  if (!o.removePassphrase) ReadNewPassphrase(o, next);
  AddOwnStrongKeyIfPair(paths.publicPath, key.get());
  ExitOnFailure(SaveSecretKeyFile(path.c_str(), key.get(), next), path);
  WriteOutput(o.removePassphrase ? "the secret key is now stored without a passphrase\n"
              : wasProtected    ? "the passphrase has been changed\n"
                                : "the secret key is now protected by a passphrase\n");
  return 0;
}
