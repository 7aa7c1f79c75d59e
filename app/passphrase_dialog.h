// The passphrase dialog (template 1200): the passphrase of an existing
// secret key file, or a new one typed twice. It runs as a Unicode dialog,
// so that its edit fields keep every character typed, and hands the text
// over as UTF-8, never through the ANSI code page.
#pragma once

#include <windows.h>

#include "keys/passphrase.h"

enum class PassphraseEntry {
  kCurrent,    // one field, which must not be empty
  kNew,        // two fields that must agree and not be empty
  kNewOrNone,  // two fields that must agree; both empty means no passphrase
};

struct PassphraseRequest {
  PassphraseEntry entry;
  UINT captionId;
  UINT promptId;
  const char* path;   // the secret key file, shown under the prompt
  UINT noticeId = 0;  // a first notice (a wrong passphrase before), 0 for none
};

// Shows the dialog, owned by owner (null: none). True on OK, with the entry
// in passphrase; false on Cancel or when the dialog could not be shown. The
// dialog refuses an entry that does not suit the request or breaks the
// passphrase rule (keys/passphrase_rule.h: a field takes what fits in 1024
// bytes of UTF-8), saying why, and stays open; what the fields held is
// overwritten before they go.
bool AskPassphrase(HWND owner, const PassphraseRequest& request, Passphrase& passphrase);
