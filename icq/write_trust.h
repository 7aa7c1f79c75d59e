// Whether a message decrypted without the user's press may be written into
// a dialog. A window is taken for ICQ's by its caption and controls alone,
// which any program can copy: a sandboxed or low-integrity program could
// open a fake "Incoming Message" dialog holding a captured message and read
// the plain text that Auto-Decrypt writes into it. Such a program runs with
// fewer rights than ours, so the automatic decryption writes only into the
// dialogs of programs at our integrity level or above and outside an
// AppContainer (a sandbox). A press of Decrypt is the user's own choice and
// is not asked about. This is the rule on the facts alone, kept apart from
// the system calls that read them (icq/token_facts.h), so that it builds and
// is tested natively.
#pragma once

#include <cstdint>

// Mandatory integrity levels as their labels' last sub-authority carries
// them (the system's SECURITY_MANDATORY_*_RID): untrusted is 0, and a level
// may fall between these (medium-plus is 0x2100).
constexpr uint32_t kLowIntegrity = 0x1000;
constexpr uint32_t kMediumIntegrity = 0x2000;
constexpr uint32_t kHighIntegrity = 0x3000;
constexpr uint32_t kSystemIntegrity = 0x4000;

// What a process's access token says about it.
struct TokenFacts {
  bool known = false;       // both facts below could be read
  uint32_t integrity = 0;   // its integrity level
  bool appContainer = false;
};

// True when a process with the facts dialog may be given a plain text
// unasked by ours, with own: both known, dialog's level at least ours, and
// dialog outside an AppContainer. Facts that could not be read count as
// untrusted.
bool MayWriteUnasked(const TokenFacts& own, const TokenFacts& dialog);
