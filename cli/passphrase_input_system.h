// The terminal's half of vwg's passphrase input, once for POSIX systems
// (cli/passphrase_input_posix.cpp) and once for Windows
// (cli/passphrase_input_win.cpp), with IsStandardInput and
// KeepSecretsInProcess; CMake builds the one for the target. Private to
// cli/passphrase_input*.cpp.
#pragma once

#include "keys/passphrase.h"

// Ends vwg for a passphrase that breaks the rule (fault: its text's id; 0
// lets it pass).
void RefuseFault(int fault);

// A line typed on the terminal after prompt, with echo off, into
// passphrase; one that breaks the rule ends vwg (RefuseFault). False when
// there is no terminal to ask.
bool AskTerminal(const char* prompt, Passphrase& passphrase);
