// The commands of vwg. Each returns the exit status of a success (0), or of
// a usage error that only the input shows (2: a message in the old format
// to decrypt without a key); every other failure is reported through
// ReportError as fatal, which ends the command (and vwg, with status 1)
// before anything is written to standard output or a file.
#pragma once

#include "cli/options.h"

int RunKeygen(const Options& o);
int RunList(const Options& o);
int RunImport(const Options& o);
int RunExport(const Options& o);
int RunEncrypt(const Options& o);
int RunDecrypt(const Options& o);
int RunRemove(const Options& o);
int RunRename(const Options& o);
int RunPasswd(const Options& o);
