// The command line of vwg: one command and its options.
#pragma once

#include <string>
#include <vector>

enum class Command { kNone, kKeygen, kList, kImport, kExport, kEncrypt, kDecrypt, kRemove, kRename, kPasswd };

struct Options {
  Command command = Command::kNone;
  bool help = false;
  bool force = false;       // keygen
  bool trim = false;        // decrypt
  bool acceptOld = false;   // decrypt: the older formats also from a key with a strong key
  bool legacy = false;      // encrypt: the old block format
  bool fingerprints = false;  // list
  bool replaceChanged = false;  // import: a changed key replaces the one under its user ID
  std::string newId;        // keygen, export, rename: --id
  bool hasNewId = false;
  std::string keyId;        // encrypt --to, decrypt --from
  bool hasKeyId = false;
  int keyIndex = -1;        // export, remove, rename --index; encrypt --to-index; decrypt --from-index
  std::string output;       // export -o
  std::string publicPath;   // --public; empty for the default
  std::string secretPath;   // --secret
  std::string passphraseFile;     // encrypt, decrypt, passwd, export: --passphrase-file
  std::string newPassphraseFile;  // keygen, passwd: --new-passphrase-file
  bool protect = false;           // keygen
  bool removePassphrase = false;  // passwd: --remove
  std::vector<std::string> files;
};

// Fills o from argv[1..argc-1]. Returns true, or false with a one-line
// reason in error (a usage error: exit status 2).
bool ParseOptions(int argc, char** argv, Options& o, std::string& error);
