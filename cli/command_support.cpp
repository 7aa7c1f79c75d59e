#include "cli/command_support.h"

#include <cstdio>

#include "cli/report_error.h"

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
  std::string data;
  char chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) data.append(chunk, got);
  if (std::ferror(f)) ReportError(nullptr, true);
  if (!standardInput) std::fclose(f);
  SetErrorFile(nullptr);
  return data;
}

void WriteOutput(std::string_view data) {
  if (std::fwrite(data.data(), 1, data.size(), stdout) != data.size() || std::fflush(stdout) != 0) {
    ReportError(nullptr, true);
  }
}
