// The key files vwg uses when none are given: the tray program's (its
// registry values) on Windows; elsewhere public.vwg and secret.vwg in
// $XDG_CONFIG_HOME/vaultwing, default ~/.config/vaultwing. One file per
// system (default_key_paths_posix.cpp, default_key_paths_win.cpp).
#pragma once

#include <cstdio>
#include <string>

// The default paths. With creating set (keygen), the folders are created
// when they are missing. A failure is reported as fatal: vwg ends there.
void DefaultKeyPaths(std::string& pub, std::string& secret, bool creating);

// The help's sentence that says where those files are.
void PrintDefaultKeyFiles(std::FILE* out);
