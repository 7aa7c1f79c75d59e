// Reading what a process's access token says about it, for the rule on
// writing into its dialog unasked (icq/write_trust.h).
#pragma once

#include <windows.h>

#include "icq/write_trust.h"

// The facts of process id, read through a query-only handle. Not known when
// the process cannot be opened or its token not read: one that has ended,
// or one that runs as an administrator while we do not.
TokenFacts ProcessTokenFacts(DWORD processId);

// True when the process of dialog may be given a plain text unasked: its
// facts against our own process's (MayWriteUnasked).
bool MayWriteUnaskedInto(HWND dialog);

// A test seam. Wine gives every process the same token, so there a test
// names, in this environment variable of the program, the process id
// (decimal, as GetWindowThreadProcessId gives it) of a process to be taken
// as a low-integrity one in an AppContainer. The programs never set it, and
// it can only make a process count as less trusted, never as more.
constexpr char kSandboxedProcessVariable[] = "VWG_TEST_SANDBOXED_PROCESS";
