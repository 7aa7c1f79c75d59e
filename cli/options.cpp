#include "cli/options.h"

#include <cstring>

#include "keys/key_records.h"
#include "keys/user_id_text.h"

namespace {

struct CommandName {
  const char* name;
  Command command;
};

constexpr CommandName kCommands[] = {
    {"keygen", Command::kKeygen},   {"list", Command::kList},
    {"import", Command::kImport},   {"export", Command::kExport},
    {"encrypt", Command::kEncrypt}, {"decrypt", Command::kDecrypt},
    {"remove", Command::kRemove},   {"rename", Command::kRename},
    {"passwd", Command::kPasswd},
};

// Options that take a value, and the commands that accept them (a null
// command list: every command).
enum class Opt { kId, kIndex, kOutput, kTo, kToIndex, kFrom, kFromIndex, kPublic, kSecret, kPassphraseFile,
                 kNewPassphraseFile };

struct ValueOption {
  const char* name;
  Opt opt;
  Command only[4];
};

constexpr ValueOption kValueOptions[] = {
    {"--id", Opt::kId, {Command::kKeygen, Command::kExport, Command::kRename}},
    {"--index", Opt::kIndex, {Command::kExport, Command::kRemove, Command::kRename}},
    {"-o", Opt::kOutput, {Command::kExport}},
    {"--to", Opt::kTo, {Command::kEncrypt}},
    {"--to-index", Opt::kToIndex, {Command::kEncrypt}},
    {"--from", Opt::kFrom, {Command::kDecrypt}},
    {"--from-index", Opt::kFromIndex, {Command::kDecrypt}},
    {"--public", Opt::kPublic, {Command::kNone}},
    {"--secret", Opt::kSecret, {Command::kNone}},
    {"--passphrase-file", Opt::kPassphraseFile,
     {Command::kEncrypt, Command::kDecrypt, Command::kPasswd, Command::kExport}},
    {"--new-passphrase-file", Opt::kNewPassphraseFile, {Command::kKeygen, Command::kPasswd}},
};

bool Allowed(const ValueOption& v, Command c) {
  if (v.only[0] == Command::kNone) return true;
  for (Command allowed : v.only) {
    if (allowed == c && c != Command::kNone) return true;
  }
  return false;
}

// A ring index: decimal digits only, so that an ID is never taken for one.
bool ParseIndex(const std::string& s, int& index) {
  if (s.empty() || s.size() > 4) return false;
  int value = 0;
  for (char ch : s) {
    if (ch < '0' || ch > '9') return false;
    value = value * 10 + (ch - '0');
  }
  index = value;
  return true;
}

bool Store(Options& o, Opt opt, const std::string& value, std::string& error) {
  const bool choosesKey = opt == Opt::kIndex || opt == Opt::kToIndex ||
                          opt == Opt::kFromIndex || opt == Opt::kTo || opt == Opt::kFrom;
  if (choosesKey && (o.hasKeyId || o.keyIndex >= 0)) {
    error = "give the key once";
    return false;
  }
  switch (opt) {
    case Opt::kId:
      if (value.empty() || value.size() > kUserIdBytes) {
        error = "a user ID has 1 to 20 characters";
        return false;
      }
      if (!IsPrintableUserId(value.c_str())) {
        error = "a user ID may not hold control characters";
        return false;
      }
      o.newId = value;
      o.hasNewId = true;
      return true;
    case Opt::kIndex:
    case Opt::kToIndex:
    case Opt::kFromIndex:
      if (!ParseIndex(value, o.keyIndex)) {
        error = "not a ring index: " + value;
        return false;
      }
      return true;
    case Opt::kTo:
    case Opt::kFrom:
      o.keyId = value;
      o.hasKeyId = true;
      return true;
    case Opt::kOutput:
      o.output = value;
      return true;
    case Opt::kPublic:
      o.publicPath = value;
      return true;
    case Opt::kSecret:
      o.secretPath = value;
      return true;
    case Opt::kPassphraseFile:
      o.passphraseFile = value;
      return true;
    case Opt::kNewPassphraseFile:
      o.newPassphraseFile = value;
      return true;
  }
  return false;
}

bool MatchCommand(const char* arg, Command& c) {
  for (const CommandName& n : kCommands) {
    if (std::strcmp(arg, n.name) == 0) {
      c = n.command;
      return true;
    }
  }
  return false;
}

// Checks that concern the whole command line once it has been read.
bool Complete(const Options& o, std::string& error) {
  if (o.help) return true;
  const size_t files = o.files.size();
  switch (o.command) {
    case Command::kNone:
      error = "no command given";
      return false;
    case Command::kKeygen:
    case Command::kList:
    case Command::kExport:
      if (files > 0) error = "unexpected argument: " + o.files[0];
      else if (o.command == Command::kExport && o.output.empty()) error = "-o FILE is needed";
      break;
    case Command::kImport:
      if (files == 0) error = "no file to import";
      break;
    case Command::kRemove:
    case Command::kRename:
      if (files > 0) error = "unexpected argument: " + o.files[0];
      else if (o.keyIndex < 0) error = "--index N is needed";
      else if (o.command == Command::kRename && !o.hasNewId) error = "--id ID is needed";
      break;
    case Command::kEncrypt:
    case Command::kDecrypt:
      if (files > 1) error = "unexpected argument: " + o.files[1];
      // A strong message names its sender; whether decrypt needs a key is
      // known once its input has been read.
      else if (o.command == Command::kEncrypt && !o.hasKeyId && o.keyIndex < 0) error = "no key chosen";
      break;
    case Command::kPasswd:
      if (files > 0) error = "unexpected argument: " + o.files[0];
      else if (o.removePassphrase && !o.newPassphraseFile.empty()) error = "--remove takes no new passphrase";
      break;
  }
  return error.empty();
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& o, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!isOption) {
      if (o.command == Command::kNone && MatchCommand(argv[i], o.command)) continue;
      if (o.command == Command::kNone) {
        error = "unknown command: " + arg;
        return false;
      }
      o.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "--help" || arg == "-h") {
      o.help = true;
    } else if (arg == "--force" && o.command == Command::kKeygen) {
      o.force = true;
    } else if (arg == "--trim" && o.command == Command::kDecrypt) {
      o.trim = true;
    } else if (arg == "--accept-old" && o.command == Command::kDecrypt) {
      o.acceptOld = true;
    } else if (arg == "--legacy" && o.command == Command::kEncrypt) {
      o.legacy = true;
    } else if (arg == "--fingerprints" && o.command == Command::kList) {
      o.fingerprints = true;
    } else if (arg == "--replace-changed" && o.command == Command::kImport) {
      o.replaceChanged = true;
    } else if (arg == "--protect" && o.command == Command::kKeygen) {
      o.protect = true;
    } else if (arg == "--remove" && o.command == Command::kPasswd) {
      o.removePassphrase = true;
    } else {
      // --name VALUE or --name=VALUE
      const size_t eq = arg.find('=');
      const std::string name = arg.substr(0, eq);
      const ValueOption* match = nullptr;
      for (const ValueOption& v : kValueOptions) {
        if (name == v.name && Allowed(v, o.command)) match = &v;
      }
      if (!match) {
        error = "unknown option: " + arg;
        return false;
      }
      if (eq == std::string::npos && i + 1 >= argc) {
        error = "a value is needed after " + name;
        return false;
      }
      if (!Store(o, match->opt, eq == std::string::npos ? argv[++i] : arg.substr(eq + 1), error)) {
        return false;
      }
    }
  }
  return Complete(o, error);
}
