#include "cli/default_key_paths.h"

#include <windows.h>

#include "cli/report_error.h"
#include "keys/key_records.h"
#include "keys/registry_names.h"
#include "resources/strings.h"

namespace {

// A REG_SZ value under the tray program's key, or "" when it is not there.
std::string RegistryPath(const char* value) {
  char buf[kPathChars] = {};
  DWORD size = sizeof buf;
  const LONG result = RegGetValueA(HKEY_CURRENT_USER, kKeysKey, value, RRF_RT_REG_SZ, nullptr, buf, &size);
  return result == ERROR_SUCCESS ? std::string(buf) : std::string();
}

}  // namespace

void DefaultKeyPaths(std::string& pub, std::string& secret, bool) {
  pub = RegistryPath(kPublicKeyValue);
  secret = RegistryPath(kSecretKeyValue);
  if (pub.empty() || secret.empty()) {
    ReportError("no key files are set up for this user; give them with --public FILE and --secret FILE", true);
  }
}

void PrintDefaultKeyFiles(std::FILE* out) {
  std::fprintf(out, "The default key files are those that %s uses.\n", StringText(IDS_APP_NAME));
}
