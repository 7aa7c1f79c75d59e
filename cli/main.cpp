// vwg: the command-line companion of the tray program. It reads and writes
// the same key files and the same encrypted text.
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string>

#include "cli/commands.h"
#include "cli/options.h"
#include "cli/process_start.h"
#include "cli/report_error.h"
#include "cli/secrets_left.h"
#include "cli/usage.h"

static int Run(const Options& o) {
  switch (o.command) {
    case Command::kKeygen: return RunKeygen(o);
    case Command::kList: return RunList(o);
    case Command::kImport: return RunImport(o);
    case Command::kExport: return RunExport(o);
    case Command::kEncrypt: return RunEncrypt(o);
    case Command::kDecrypt: return RunDecrypt(o);
    case Command::kRemove: return RunRemove(o);
    case Command::kRename: return RunRename(o);
    case Command::kPasswd: return RunPasswd(o);
    case Command::kNone: break;
  }
  return kUsageStatus;
}

static int ParseAndRun(int argc, char** argv) {
  Options o;
  std::string error;
  if (!ParseOptions(argc, argv, o, error)) {
    std::fprintf(stderr, "vwg: %s\n\n", error.c_str());
    PrintUsage(stderr, o.command);
    return kUsageStatus;
  }
  if (o.help) {
    PrintUsage(stdout, o.command);
    return 0;
  }
  return Run(o);
}

// Every way out of the command comes back here, a fatal error too, with the
// holders on the way unwound and what they held wiped.
static int RunCommand(int argc, char** argv) {
  // An input too large for the memory at hand ends the command like any
  // other failure; every file is written whole or not at all, so nothing
  // is left half done.
  try {
    return ParseAndRun(argc, argv);
  } catch (const FatalError& error) {
    return error.status;
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  std::fputs("vwg: not enough memory\n", stderr);
  return 1;
}

int main(int argc, char** argv) {
  PrepareProcess();
  return CheckSecretsLeft(RunCommand(argc, argv));
}
