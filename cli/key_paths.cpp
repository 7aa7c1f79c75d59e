#include "cli/key_paths.h"

#include <string>

#include "cli/default_key_paths.h"
#include "cli/report_error.h"
#include "keys/key_records.h"

// The tray program keeps its paths in buffers of kPathChars: a longer one
// would name a file it could never use.
static void CheckLength(const std::string& path) {
  if (path.size() >= static_cast<size_t>(kPathChars)) ReportError(("path too long: " + path).c_str(), true);
}

static KeyPaths Choose(const Options& o, bool creating, bool needSecret) {
  KeyPaths paths{o.publicPath, o.secretPath};
  if (paths.publicPath.empty() || (needSecret && paths.secretPath.empty())) {
    std::string defaultPub, defaultSecret;
    DefaultKeyPaths(defaultPub, defaultSecret, creating);
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
