#include "cli/default_key_paths.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "cli/report_error.h"
#include "resources/strings.h"

namespace {

void MakeFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ReportError(nullptr, true);
}

}  // namespace

void DefaultKeyPaths(std::string& pub, std::string& secret, bool creating) {
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // Relative values are to be ignored, as the base directory rules say.
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      ReportError("HOME is not set; give the key files with --public and --secret", true);
      return;
    }
    folder = std::string(home) + "/.config";
  }
  if (creating) MakeFolder(folder);
  folder += "/vaultwing";
  if (creating) MakeFolder(folder);
  pub = folder + "/" + StringText(IDS_DEFAULT_PUBLIC_FILE);
  secret = folder + "/" + StringText(IDS_DEFAULT_SECRET_FILE);
}

void PrintDefaultKeyFiles(std::FILE* out) {
  std::fputs(
      "The default key files are public.vwg and secret.vwg in\n"
      "$XDG_CONFIG_HOME/vaultwing (or ~/.config/vaultwing).\n",
      out);
}
