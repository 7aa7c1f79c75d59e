// keygen, list, import, export, remove, rename and passwd: the commands on
// the key files.
#include <cstdio>
#include <string>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/passphrase_input.h"
#include "cli/report_error.h"
#include "crypto/wipe.h"
#include "keys/file_io.h"
#include "keys/fingerprint.h"
#include "keys/key_files.h"
#include "keys/ring_edits.h"
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
  uint16_t secret[kScalarWords];
  PublicKeyRecord own;
  if (!GenerateKeyPair(secret, own, o.hasNewId ? o.newId.c_str() : nullptr)) ReportError(nullptr, true);
  const KeyPairSave saved = SaveKeyPair(paths.publicPath.c_str(), paths.secretPath.c_str(), own, secret, passphrase);
  SecureWipe(secret, sizeof secret);
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
  char fingerprint[kFingerprintChars + 1];
  for (int k = 0; k < ring.count(); ++k) {
    out += std::to_string(k) + "\t" + DisplayUserId(ring.keys[k]) + (k == 0 ? owner : "");
    if (o.fingerprints) {
      if (!KeyFingerprint(ring.keys[k], ring.strong[k], fingerprint)) ReportError("the system's SHA-256 failed", true);
      out += std::string("\t") + fingerprint;
    }
    out += "\n";
  }
  WriteOutput(out);
  return 0;
}

namespace {

// The ring with key added: after the keys it holds, or in the place of the
// key under its user ID when that is another key and the user said to
// replace it. False, after saying so on stderr, for a key the ring holds
// already.
bool AddImportedKey(const Options& o, const PublicKeyRecord& key, PublicKeyRing& ring,
                    const std::string& ringPath) {
  const std::string id = DisplayUserId(key);
  const int same = FindSameKey(key, ring.keys.data(), ring.count());
  if (same >= 0) {
    const std::string listed = DisplayUserId(ring.keys[same]);
    std::fprintf(stderr, "vwg: %s: already in the ring%s, not imported again\n", id.c_str(),
                 listed == id ? "" : (" as " + listed).c_str());
    return false;
  }
  const int changed = FindChangedKey(key, ring.keys.data(), ring.count());
  if (changed < 0) {
    if (ring.count() >= kMaxRingKeys) ExitOnFailure(KeyFileStatus::kRingFull, ringPath);
    AddRingEntry(ring, key, kNoStrongKey);
  } else if (changed == 0) {
    ReportError((id + ": this is your own key's user ID, but another key; your own key is never replaced").c_str(),
                true);
  } else if (!o.replaceChanged) {
    ReportError((id + ": the ring holds another key under this user ID; someone may be pretending to be its "
                      "owner. Compare the fingerprints with your correspondent, then import again with "
                      "--replace-changed to replace it")
                    .c_str(),
                true);
  } else {
    ring.keys[changed] = key;
    ring.strong[changed] = kNoStrongKey;
  }
  return true;
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
    imported.keys.insert(imported.keys.end(), file.keys.begin(), file.keys.end());
    imported.strong.insert(imported.strong.end(), file.strong.begin(), file.strong.end());
    if (imported.count() > kMaxRingKeys) ExitOnFailure(KeyFileStatus::kRingFull, path);
  }
  PublicKeyRing ring = LoadRing(ringPath);
  std::string listing;
  char fingerprint[kFingerprintChars + 1];
  for (const PublicKeyRecord& key : imported.keys) {
    if (!AddImportedKey(o, key, ring, ringPath)) continue;
    if (!KeyFingerprint(key, kNoStrongKey, fingerprint)) ReportError("the system's SHA-256 failed", true);
    listing += DisplayUserId(key) + "\t" + fingerprint + "\n";
  }
  if (!listing.empty()) ExitOnFailure(SavePublicKeyFile(ringPath.c_str(), ring), ringPath);
  WriteOutput(listing);
  return 0;
}

int RunExport(const Options& o) {
  const PublicKeyRing ring = LoadRing(ChooseKeyPaths(o, false).publicPath);
  const int index = ChooseKey(ring, o, 0);
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
  const std::string path = ChooseKeyPaths(o, false).secretPath;
  bool wasProtected = false;
  ExitOnFailure(InspectSecretKeyFile(path.c_str(), &wasProtected), path);
  if (o.removePassphrase && !wasProtected) {
    WriteOutput("the secret key has no passphrase; nothing was written\n");
    return 0;
  }
  // The old passphrase is checked before a new one is asked for.
  uint16_t key[kScalarWords];
  LoadSecretKey(o, path, key);
  Passphrase next;
  if (!o.removePassphrase) ReadNewPassphrase(o, next);
  const KeyFileStatus saved = SaveSecretKeyFile(path.c_str(), key, next);
  SecureWipe(key, sizeof key);
  ExitOnFailure(saved, path);
  WriteOutput(o.removePassphrase ? "the secret key is now stored without a passphrase\n"
              : wasProtected    ? "the passphrase has been changed\n"
                                : "the secret key is now protected by a passphrase\n");
  return 0;
}
