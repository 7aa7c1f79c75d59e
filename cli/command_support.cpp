#include "cli/command_support.h"

#include <cerrno>
#include <cstdio>

#include "cli/report_error.h"
#include "crypto/wipe.h"
#include "keys/fingerprint.h"
#include "keys/wiped_text.h"

std::string FingerprintText(const PublicKeyRecord& key, const StrongKey& strong) {
  char fingerprint[kFingerprintChars + 1];
  if (!KeyFingerprint(key, strong, fingerprint)) ReportError("the system's SHA-256 failed", true);
  return fingerprint;
}

void ExitOnFailure(KeyFileStatus status, const std::string& path) {
  if (status == KeyFileStatus::kOk) return;
  SetErrorFile(path.c_str());
  ReportError(KeyFileErrorText(status), true);
}

PublicKeyRing LoadRing(const std::string& path) {
  PublicKeyRing ring;
  ExitOnFailure(LoadPublicKeyRing(path.c_str(), ring), path);
  return ring;
}

int ChooseKey(const PublicKeyRing& ring, const Options& o, int defaultIndex) {
  const int count = ring.count();
  if (o.hasKeyId) {
    char id[kUserIdBytes + 1];
    for (int k = 0; k < count; ++k) {
      GetUserId(ring.keys[k], id);
      if (o.keyId == id) return k;
    }
    ReportError(("no key with the user ID \"" + o.keyId + "\" in the ring").c_str(), true);
  }
  const int index = o.keyIndex >= 0 ? o.keyIndex : defaultIndex;
  if (index >= count) {
    ReportError(("no key at index " + std::to_string(index) + " in the ring of " +
                 std::to_string(count))
                    .c_str(),
                true);
  }
  return index;
}

std::string ReadInput(const std::string& file) {
  const bool standardInput = file.empty() || file == "-";
  std::FILE* f = standardInput ? stdin : std::fopen(file.c_str(), "rb");
  SetErrorFile(standardInput ? nullptr : file.c_str());
  if (!f) ReportError(nullptr, true);
  // The input may be a plain message: no copy of it is left behind, not even
  // in the stream's own buffer.
  std::setvbuf(f, nullptr, _IONBF, 0);
  std::string data;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) AppendWiping(data, chunk, got);
  SecureWipe(chunk, sizeof chunk);
  // A failed read ends the command: what was read of a plain message is
  // wiped and the file closed first, since the failure unwinds past both.
  const bool failed = std::ferror(f);
  const int error = errno;
  if (!standardInput) std::fclose(f);
  if (failed) {
    WipeText(data);
    errno = error;
    ReportError(nullptr, true);
  }
  SetErrorFile(nullptr);
  return data;
}

void WriteOutput(std::string_view data) {
  // Straight to the file: no copy of a plain message stays in the stream's
  // buffer. Allowed because nothing went to standard output before.
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size() || std::fflush(stdout) != 0) {
    ReportError(nullptr, true);
  }
}
