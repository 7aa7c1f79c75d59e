// Opening the owner's secret key beside the ring. The ring's entry 0 holds
// the owner's strong key, so that listing and exporting need no secret key;
// a ring from before strong keys, or one an older program rewrote, lacks it,
// and every command that opens the secret key puts it back.
#pragma once

#include <cstdint>
#include <string>

#include "cli/key_paths.h"
#include "cli/options.h"
#include "keys/key_files.h"

// The secret key of paths.secretPath into secret (asking for its passphrase
// as LoadSecretKey does), which must be the pair of ring's entry 0, point and
// strong key: another pair's ring ends vwg with status 1, naming both files.
// When entry 0 lacks the strong key, it is added to the ring file in a write
// of its own (a failed write is a warning: the command goes on) and to ring.
void OpenSecretKey(const Options& o, const KeyPaths& paths, PublicKeyRing& ring, uint16_t* secret);

// For a command that has opened secret without needing the ring (passwd):
// the owner's strong key added to the ring at ringPath when that can be
// read, is secret's pair and lacks it. Anything else leaves the ring alone.
void AddOwnStrongKeyIfPair(const std::string& ringPath, const uint16_t* secret);
