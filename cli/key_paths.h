// Where vwg finds the key files: the paths given on the command line, or the
// tray program's (its registry values on Windows; elsewhere public.vwg and
// secret.vwg in $XDG_CONFIG_HOME/vaultwing, default ~/.config/vaultwing).
#pragma once

#include <string>

#include "cli/options.h"

struct KeyPaths {
  std::string publicPath;
  std::string secretPath;
};

// The key files of this command. With creating set (keygen), the default
// folder is created when it is missing. A failure is reported as fatal: vwg
// ends there.
KeyPaths ChooseKeyPaths(const Options& o, bool creating);

// The same with the secret key file, for a command that opens it only now
// and then (export).
KeyPaths ChooseKeyPathsWithSecret(const Options& o);
