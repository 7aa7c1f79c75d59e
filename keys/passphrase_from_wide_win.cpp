#include "keys/passphrase_from_wide.h"

#include <windows.h>

#include "keys/passphrase_rule.h"
#include "resources/strings.h"

// Converted straight into the passphrase's buffer: a text too long for it
// fails for want of room, and one that is no valid UTF-16 for want of a
// translation.
int PassphraseFromWide(const wchar_t* text, size_t units, Passphrase& passphrase) {
  passphrase.Clear();
  if (units == 0) return 0;
  if (units > kMaxPassphraseBytes) return IDS_PASSPHRASE_TOO_LONG;  // each unit takes a byte at least
  const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, static_cast<int>(units),
                                        reinterpret_cast<char*>(passphrase.buffer()),
                                        static_cast<int>(kMaxPassphraseBytes), nullptr, nullptr);
  if (bytes == 0) {
    const bool tooLong = GetLastError() == ERROR_INSUFFICIENT_BUFFER;
    passphrase.Clear();
    return tooLong ? IDS_PASSPHRASE_TOO_LONG : IDS_PASSPHRASE_NOT_TEXT;
  }
  if (const int fault = PassphraseFault(passphrase.data(), static_cast<size_t>(bytes))) {
    passphrase.Clear();
    return fault;
  }
  passphrase.SetSize(static_cast<size_t>(bytes));
  return 0;
}
