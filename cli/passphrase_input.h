// Where vwg gets passphrases: the first line of a file named on the command
// line, or the terminal, with echo off. Never standard input, which carries
// the messages. Every passphrase follows the rule of keys/passphrase_rule.h,
// or vwg ends before it writes anything. Every failure is reported as fatal
// and ends vwg there.
#pragma once

#include <cstdint>
#include <string>

#include "cli/options.h"
#include "keys/passphrase.h"

// What a command does with the secret key file once it has opened it.
enum class SecretKeyFileUse {
  kKeep,     // leaves it: one protected with fewer rounds than ours is written again with ours
  kReplace,  // writes it anew (passwd), with our count anyway
};

// The secret key of the file at path into key: a file in the clear at once,
// a protected one with the passphrase of --passphrase-file or, without it,
// one typed on the terminal. With neither, or with a wrong passphrase, vwg
// ends with status 1. From here on vwg holds secrets (KeepSecretsInProcess).
// With kKeep a file protected with fewer rounds than ours is written again
// with ours, which vwg says on standard error (a failure as a warning).
void LoadSecretKey(const Options& o, const std::string& path, uint16_t* key, SecretKeyFileUse use);

// A new passphrase, not empty: the first line of --new-passphrase-file, or
// typed twice on the terminal.
void ReadNewPassphrase(const Options& o, Passphrase& passphrase);

// True when the file at path is vwg's standard input under another name
// (/dev/stdin, /proc/self/fd/0, the file or terminal it was redirected
// from): a passphrase read from it would take the message's bytes, or the
// message the passphrase's.
bool IsStandardInput(const std::string& path);

// Keeps vwg's secrets (the secret key, passphrases, plain texts) to its own
// process from here on: natively no core file, and no other process of the
// user may read its memory or attach to it (prctl PR_SET_DUMPABLE 0). On
// Windows, which has no such switch, crash reports leave out the heap.
void KeepSecretsInProcess();
