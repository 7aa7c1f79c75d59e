// Where vwg gets passphrases: the first line of a file named on the command
// line, or the terminal, with echo off. Never standard input, which carries
// the messages. Every failure is reported as fatal and ends vwg there.
#pragma once

#include <cstdint>
#include <string>

#include "cli/options.h"
#include "keys/passphrase.h"

// The secret key of the file at path into key: a file in the clear at once,
// a protected one with the passphrase of --passphrase-file or, without it,
// one typed on the terminal. With neither, or with a wrong passphrase, vwg
// ends with status 1.
void LoadSecretKey(const Options& o, const std::string& path, uint16_t* key);

// The passphrase of the protected file at path, as LoadSecretKey gets it.
void ReadCurrentPassphrase(const Options& o, const std::string& path, Passphrase& passphrase);

// A new passphrase, not empty: the first line of --new-passphrase-file, or
// typed twice on the terminal.
void ReadNewPassphrase(const Options& o, Passphrase& passphrase);
