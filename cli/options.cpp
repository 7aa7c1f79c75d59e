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

// Options that take no value: the one command that accepts each, and the
// flag it sets.
struct FlagOption {
  const char* name;
  Command command;
  bool Options::*flag;
};

constexpr FlagOption kFlagOptions[] = {
    {"--force", Command::kKeygen, &Options::force},
    {"--trim", Command::kDecrypt, &Options::trim},
    {"--accept-old", Command::kDecrypt, &Options::acceptOld},
    {"--legacy", Command::kEncrypt, &Options::legacy},
    {"--fingerprints", Command::kList, &Options::fingerprints},
    {"--replace-changed", Command::kImport, &Options::replaceChanged},
    {"--protect", Command::kKeygen, &Options::protect},
    {"--remove", Command::kPasswd, &Options::removePassphrase},
};

// Options that take a value, what the value is, and the commands that accept
// them (a null command list: every command). A kText value is kept as given,
// in text; the others are checked first.
enum class Opt { kId, kIndex, kKeyId, kText };

struct ValueOption {
  const char* name;
  Opt opt;
  Command only[4];
  std::string Options::*text = nullptr;
};

constexpr ValueOption kValueOptions[] = {
    {"--id", Opt::kId, {Command::kKeygen, Command::kExport, Command::kRename}},
    {"--index", Opt::kIndex, {Command::kExport, Command::kRemove, Command::kRename}},
    {"-o", Opt::kText, {Command::kExport}, &Options::output},
    {"--to", Opt::kKeyId, {Command::kEncrypt}},
    {"--to-index", Opt::kIndex, {Command::kEncrypt}},
    {"--from", Opt::kKeyId, {Command::kDecrypt}},
    {"--from-index", Opt::kIndex, {Command::kDecrypt}},
    {"--public", Opt::kText, {Command::kNone}, &Options::publicPath},
    {"--secret", Opt::kText, {Command::kNone}, &Options::secretPath},
    {"--passphrase-file", Opt::kText, {Command::kEncrypt, Command::kDecrypt, Command::kPasswd, Command::kExport},
     &Options::passphraseFile},
    {"--new-passphrase-file", Opt::kText, {Command::kKeygen, Command::kPasswd}, &Options::newPassphraseFile},
};

const FlagOption* MatchFlag(const std::string& arg, Command c) {
  for (const FlagOption& f : kFlagOptions) {
    if (arg == f.name && c == f.command) return &f;
  }
  return nullptr;
}

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

bool Store(Options& o, const ValueOption& v, const std::string& value, std::string& error) {
  const bool choosesKey = v.opt == Opt::kIndex || v.opt == Opt::kKeyId;
  if (choosesKey && (o.hasKeyId || o.keyIndex >= 0)) {
    error = "give the key once";
    return false;
  }
  switch (v.opt) {
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
      if (!ParseIndex(value, o.keyIndex)) {
        error = "not a ring index: " + value;
        return false;
      }
      return true;
    case Opt::kKeyId:
      o.keyId = value;
      o.hasKeyId = true;
      return true;
    case Opt::kText:
      o.*v.text = value;
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
    } else if (const FlagOption* flag = MatchFlag(arg, o.command)) {
      o.*flag->flag = true;
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
      if (!Store(o, *match, eq == std::string::npos ? argv[++i] : arg.substr(eq + 1), error)) {
        return false;
      }
    }
  }
  return Complete(o, error);
}
