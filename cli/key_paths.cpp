#include "cli/key_paths.h"

#include <cstring>
#include <string>

#include "keys/key_files.h"
#include "keys/report_error.h"
#include "resources/strings.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#endif

static int SetPath(char* dst, const std::string& path) {
  if (path.size() >= static_cast<size_t>(kPathChars)) {
    ReportError(("path too long: " + path).c_str(), true);
    return 0;
  }
  std::strcpy(dst, path.c_str());
  return 1;
}

#ifdef _WIN32

constexpr char kKeysRegistryKey[] = "Software\\Corvandel\\Keys";

// A REG_SZ value under the tray program's key, or "" when it is not there.
static std::string RegistryPath(const char* value) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeysRegistryKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return "";
  }
  char buf[kPathChars] = {};
  DWORD type = 0, size = sizeof buf - 1;
  const LONG result =
      RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_SZ ? std::string(buf) : std::string();
}

static int DefaultPaths(std::string& pub, std::string& secret, bool) {
  pub = RegistryPath("Public Key");
  secret = RegistryPath("Secret Key");
  if (pub.empty() || secret.empty()) {
    ReportError(
        "no key files are set up for this user; give them with --public FILE and --secret FILE",
        true);
    return 0;
  }
  return 1;
}

#else

static int MakeFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return 1;
  ReportError(nullptr, true);
  return 0;
}

static int DefaultPaths(std::string& pub, std::string& secret, bool creating) {
  std::string folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // Relative values are to be ignored, as the base directory rules say.
  if (config && config[0] == '/') {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      ReportError("HOME is not set; give the key files with --public and --secret", true);
      return 0;
    }
    folder = std::string(home) + "/.config";
  }
  if (creating && !MakeFolder(folder)) return 0;
  folder += "/vaultwing";
  if (creating && !MakeFolder(folder)) return 0;
  pub = folder + "/" + StringText(IDS_DEFAULT_PUBLIC_FILE);
  secret = folder + "/" + StringText(IDS_DEFAULT_SECRET_FILE);
  return 1;
}

#endif

int ChooseKeyPaths(const Options& o, bool creating) {
  // The secret key only for the commands that use it, so that a ring given
  // with --public needs nothing else.
  const bool needSecret = o.command == Command::kKeygen || o.command == Command::kEncrypt ||
                          o.command == Command::kDecrypt;
  std::string pub = o.publicPath, secret = o.secretPath;
  if (pub.empty() || (needSecret && secret.empty())) {
    std::string defaultPub, defaultSecret;
    if (!DefaultPaths(defaultPub, defaultSecret, creating)) return 0;
    if (pub.empty()) pub = defaultPub;
    if (secret.empty()) secret = defaultSecret;
  }
  return SetPath(PublicKeyPath, pub) && SetPath(SecretKeyPath, secret);
}
