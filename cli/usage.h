// The help texts of vwg.
#pragma once

#include <cstdio>

#include "cli/options.h"

// The exit status of wrong usage; the help for the command goes to standard
// error with it.
constexpr int kUsageStatus = 2;

// The help for one command, or the overview for Command::kNone, followed by
// the options that every command takes.
void PrintUsage(std::FILE* out, Command c);
