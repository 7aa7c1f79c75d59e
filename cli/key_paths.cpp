#include "cli/key_paths.h"

#include <string>

#include "cli/report_error.h"
#include "keys/key_records.h"
#include "keys/registry_names.h"
#include "resources/strings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#endif

// The tray program keeps its paths in buffers of kPathChars: a longer one
// would name a file it could never use.
static void CheckLength(const std::string& path) {
  if (path.size() >= static_cast<size_t>(kPathChars)) ReportError(("path too long: " + path).c_str(), true);
}

#ifdef _WIN32

// A REG_SZ value under the tray program's key, or "" when it is not there.
static std::string RegistryPath(const char* value) {
  char buf[kPathChars] = {};
  DWORD size = sizeof buf;
  const LONG result = RegGetValueA(HKEY_CURRENT_USER, kKeysKey, value, RRF_RT_REG_SZ, nullptr, buf, &size);
  return result == ERROR_SUCCESS ? std::string(buf) : std::string();
}

static void DefaultPaths(std::string& pub, std::string& secret, bool) {
  pub = RegistryPath(kPublicKeyValue);
  secret = RegistryPath(kSecretKeyValue);
  if (pub.empty() || secret.empty()) {
    ReportError("no key files are set up for this user; give them with --public FILE and --secret FILE", true);
  }
}

#else

static void MakeFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) ReportError(nullptr, true);
}

static void DefaultPaths(std::string& pub, std::string& secret, bool creating) {
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

#endif

static KeyPaths Choose(const Options& o, bool creating, bool needSecret) {
  KeyPaths paths{o.publicPath, o.secretPath};
  if (paths.publicPath.empty() || (needSecret && paths.secretPath.empty())) {
    std::string defaultPub, defaultSecret;
    DefaultPaths(defaultPub, defaultSecret, creating);
    if (paths.publicPath.empty()) paths.publicPath = defaultPub;
    if (paths.secretPath.empty()) paths.secretPath = defaultSecret;
  }
  CheckLength(paths.publicPath);
  CheckLength(paths.secretPath);
  return paths;
}

KeyPaths ChooseKeyPaths(const Options& o, bool creating) {
  // The secret key only for the commands that use it, so that a ring given
  // with --public needs nothing else.
  return Choose(o, creating,
                o.command == Command::kKeygen || o.command == Command::kEncrypt || o.command == Command::kDecrypt ||
                    o.command == Command::kPasswd);
}

KeyPaths ChooseKeyPathsWithSecret(const Options& o) { return Choose(o, false, true); }
