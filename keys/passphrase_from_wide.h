// A passphrase typed on Windows (a dialog's field, a line of the console),
// held there as UTF-16, under the rule of keys/passphrase_rule.h. Windows
// only: built for the Windows targets alone.
#pragma once

#include <cstddef>

#include "keys/passphrase.h"

// The passphrase of units UTF-16 units at text, as UTF-8 into passphrase.
// Returns 0, or PassphraseFault's id with passphrase empty; an unpaired
// surrogate is not text.
int PassphraseFromWide(const wchar_t* text, size_t units, Passphrase& passphrase);
