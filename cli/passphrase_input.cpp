#include "cli/passphrase_input.h"

#include <cstdio>

#include "base/file_io.h"
#include "cli/command_support.h"
#include "cli/passphrase_input_system.h"
#include "cli/report_error.h"
#include "keys/key_files.h"
#include "keys/locked_memory.h"
#include "keys/passphrase_rule.h"
#include "resources/strings.h"

void RefuseFault(int fault) {
  if (fault) ReportError(StringText(fault), true);
}

namespace {

// The passphrase in the first line of the file at path, by the rule. Read
// straight into locked memory that is wiped, with no stream buffer in
// between.
void ReadFirstLine(const std::string& path, Passphrase& passphrase) {
  const LockedMemory bytes(kPassphraseFileBytes);
  int size = 0;
  SetErrorFile(path.c_str());
  if (!ReadFilePrefix(path.c_str(), bytes.data(), static_cast<int>(kPassphraseFileBytes), &size))
    ReportError(nullptr, true);
  RefuseFault(PassphraseFromFile(bytes.data(), static_cast<size_t>(size), passphrase));
  if (passphrase.empty()) ReportError("the first line is empty: it must hold the passphrase", true);
  SetErrorFile(nullptr);
}

// The passphrase of the protected file at path, from --passphrase-file or
// the terminal.
void ReadCurrentPassphrase(const Options& o, const std::string& path, Passphrase& passphrase) {
  if (!o.passphraseFile.empty()) return ReadFirstLine(o.passphraseFile, passphrase);
  const std::string prompt = "Passphrase for " + path + ": ";
  SetErrorFile(path.c_str());
  if (!AskTerminal(prompt.c_str(), passphrase)) {
    ReportError("the secret key file is protected by a passphrase: type it on a terminal, or give it with "
                "--passphrase-file FILE (its first line)",
                true);
  }
  if (passphrase.empty()) ReportError("no passphrase typed", true);
  SetErrorFile(nullptr);
}

// Said after the unlock, so that a system error is still the rewrite's.
void SayRewrite(const std::string& path, const KeyFileRewrite& rewrite) {
  const std::string text = KeyFileRewriteText(path.c_str(), rewrite);
  if (text.empty()) return;
  std::fprintf(stderr, "vwg: %s%s\n", rewrite.status == KeyFileStatus::kOk ? "" : "warning: ", text.c_str());
}

}  // namespace

void LoadSecretKey(const Options& o, const std::string& path, uint16_t* key, SecretKeyFileUse use) {
  KeepSecretsInProcess();
  KeyFileStatus status = LoadSecretKeyFile(path.c_str(), key);
  if (status == KeyFileStatus::kPassphraseNeeded) {
    Passphrase passphrase;
    ReadCurrentPassphrase(o, path, passphrase);
    KeyFileRewrite rewrite;
    status = use == SecretKeyFileUse::kKeep ? UnlockSecretKeyFile(path.c_str(), key, passphrase, rewrite)
                                            : LoadSecretKeyFile(path.c_str(), key, passphrase);
    if (status == KeyFileStatus::kOk) SayRewrite(path, rewrite);
  }
  ExitOnFailure(status, path);
}

void ReadNewPassphrase(const Options& o, Passphrase& passphrase) {
  KeepSecretsInProcess();
  if (!o.newPassphraseFile.empty()) return ReadFirstLine(o.newPassphraseFile, passphrase);
  if (!AskTerminal("New passphrase: ", passphrase)) {
    ReportError("no terminal to type the new passphrase on: give it with --new-passphrase-file FILE (its first "
                "line)",
                true);
  }
  if (passphrase.empty()) ReportError("an empty passphrase protects nothing", true);
  Passphrase again;
  AskTerminal("Repeat the new passphrase: ", again);
  if (!SamePassphrase(passphrase, again)) ReportError("the two passphrases differ", true);
}
