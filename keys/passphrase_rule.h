// What a passphrase may be, one rule for the tray program and vwg, so that
// a key protected by one opens in the other: text in UTF-8 of at most 1024
// bytes (kMaxPassphraseBytes) without a NUL character; empty means none. A
// passphrase file holds it as its first line. Whatever breaks the rule is
// refused where it comes in, before any file is written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "keys/passphrase.h"

// 0 when the size bytes at text pass the rule, else the string-table id of
// the text that says why not: IDS_PASSPHRASE_TOO_LONG (more than 1024
// bytes) or IDS_PASSPHRASE_NOT_TEXT (not UTF-8, or a NUL among them).
// Overlong forms, surrogates and code points above U+10FFFF are not UTF-8.
int PassphraseFault(const uint8_t* text, size_t size);

// How much of a passphrase file is read: its first line at its longest,
// with a UTF-8 byte order mark before it and CR LF after it.
constexpr size_t kPassphraseFileBytes = 3 + kMaxPassphraseBytes + 2;

// The passphrase of a passphrase file whose first size bytes (at most
// kPassphraseFileBytes; fewer only when the file is shorter) are at bytes:
// its first line, without a byte order mark before it (which some editors
// write) and without its line end, LF or CR LF. Returns 0 with passphrase
// filled (empty for an empty line), or PassphraseFault's id with it empty.
int PassphraseFromFile(const uint8_t* bytes, size_t size, Passphrase& passphrase);
