// keygen, list, import, export, remove and rename: the commands on the key
// files.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/command_support.h"
#include "cli/commands.h"
#include "cli/key_paths.h"
#include "cli/report_error.h"
#include "keys/file_io.h"
#include "keys/file_snapshot.h"
#include "keys/fingerprint.h"
#include "keys/key_format.h"
#include "keys/key_files.h"
#include "keys/report_error.h"
#include "keys/ring_edits.h"
#include "resources/strings.h"

int RunKeygen(const Options& o) {
  ChooseKeyPaths(o, true);
  if (!o.force) {
    for (const char* path : {PublicKeyPath, SecretKeyPath}) {
      if (PathExists(path)) {
        SetErrorFile(path);
        ReportError("a key file is there already; --force replaces it, and its keys are lost", true);
      }
    }
  }
  GenerateKeys(o.hasNewId ? o.newId.c_str() : nullptr);
  // Both files or neither: when the ring cannot be written, the secret key
  // file written just before is put back as it was.
  const FileSnapshot oldSecret = TakeFileSnapshot(SecretKeyPath, kSecretFileBytes + 1);
  SetErrorFile(SecretKeyPath);
  SaveSecretKeyFile(SecretKeyPath, SecretKey);
  SetErrorFile(PublicKeyPath);
  if (!SavePublicKeyFile(PublicKeyPath, 1, &OwnPublicKey, false)) {
    RestoreFileSnapshot(SecretKeyPath, oldSecret);
    std::exit(1);
  }
  return 0;
}

int RunList(const Options& o) {
  ChooseKeyPaths(o, false);
  std::vector<PublicKeyRecord> ring;
  const int count = LoadRing(ring);
  std::string out;
  char id[kUserIdBytes + 1], fingerprint[kFingerprintChars + 1];
  for (int k = 0; k < count; ++k) {
    GetUserId(ring[k], id);
    out += std::to_string(k) + "\t" + id + (k == 0 ? StringText(IDS_OWNER_SUFFIX) : "");
    if (o.fingerprints) {
      if (!KeyFingerprint(ring[k], fingerprint)) ReportError("the system's SHA-256 failed", true);
      out += std::string("\t") + fingerprint;
    }
    out += "\n";
  }
  WriteOutput(out);
  return 0;
}

int RunImport(const Options& o) {
  ChooseKeyPaths(o, false);
  // Every file is read and checked before the ring is touched, so that a bad
  // file anywhere in the list leaves the ring as it was.
  std::vector<PublicKeyRecord> imported, file(kMaxRingKeys);
  for (const std::string& path : o.files) {
    SetErrorFile(path.c_str());
    const int count = LoadImportFile(path.c_str(), file.data());
    imported.insert(imported.end(), file.begin(), file.begin() + count);
    if (imported.size() > static_cast<size_t>(kMaxRingKeys)) {
      ReportError(StringText(IDS_RING_FULL), true);
    }
  }
  SetErrorFile(PublicKeyPath);
  AppendToPublicKeyRing(static_cast<int>(imported.size()), imported.data());
  SetErrorFile(nullptr);
  const size_t n = imported.size();
  WriteOutput(std::to_string(n) + (n == 1 ? " public key" : " public keys") + " imported\n");
  return 0;
}

int RunExport(const Options& o) {
  ChooseKeyPaths(o, false);
  std::vector<PublicKeyRecord> ring;
  const int count = LoadRing(ring);
  PublicKeyRecord key = ring[ChooseKey(ring, count, o, 0)];
  if (o.hasNewId) SetUserId(key, o.newId.c_str());
  SetErrorFile(o.output.c_str());
  SavePublicKeyFile(o.output.c_str(), 1, &key);
  return 0;
}

namespace {

// The ring entry that --index names, checked against the ring.
PublicKeyRecord ChosenEntry(const Options& o, std::vector<PublicKeyRecord>& ring) {
  const int count = LoadRing(ring);
  return ring[ChooseKey(ring, count, o, 0)];
}

void WriteRingEdit(int result) {
  SetErrorFile(nullptr);
  // Another program changed the ring between our load and our write.
  if (result == kRingChanged) ReportError("the public key ring changed meanwhile; try again", true);
}

}  // namespace

int RunRemove(const Options& o) {
  ChooseKeyPaths(o, false);
  std::vector<PublicKeyRecord> ring;
  const PublicKeyRecord key = ChosenEntry(o, ring);
  if (o.keyIndex == 0) ReportError("entry 0 is your own key and cannot be removed", true);
  SetErrorFile(PublicKeyPath);
  WriteRingEdit(RemoveRingEntry(o.keyIndex, key));
  char id[kUserIdBytes + 1];
  GetUserId(key, id);
  WriteOutput("removed " + std::to_string(o.keyIndex) + "\t" + id + "\n");
  return 0;
}

int RunRename(const Options& o) {
  ChooseKeyPaths(o, false);
  std::vector<PublicKeyRecord> ring;
  const PublicKeyRecord key = ChosenEntry(o, ring);
  SetErrorFile(PublicKeyPath);
  WriteRingEdit(RenameRingEntry(o.keyIndex, key, o.newId.c_str()));
  WriteOutput("renamed " + std::to_string(o.keyIndex) + "\t" + o.newId + "\n");
  return 0;
}
