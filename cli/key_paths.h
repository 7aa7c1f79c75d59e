// Where vwg finds the key files: the paths given on the command line, or the
// tray program's (its registry values on Windows; elsewhere public.vwg and
// secret.vwg in $XDG_CONFIG_HOME/vaultwing, default ~/.config/vaultwing).
#pragma once

#include "cli/options.h"

// Fills PublicKeyPath and SecretKeyPath. With creating set (keygen), the
// default folder is created when it is missing. Returns 1, or 0 after
// reporting why (as fatal).
int ChooseKeyPaths(const Options& o, bool creating);
