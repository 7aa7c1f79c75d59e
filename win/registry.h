// The registry helpers. Each opens root\subkey with KEY_ALL_ACCESS, creating
// it when asked to; a key that can be neither opened nor created is reported
// as a warning with the system's text. Each returns 1 on success, 0 on failure.
#pragma once

#include <windows.h>

// Reads a string value into buf (size bytes); the result is always
// NUL-terminated, also when it was stored without a terminator or did not fit.
int RegReadString(HKEY root, const char* subkey, const char* name, char* buf, DWORD size, bool create);
// Writes length bytes of text as REG_SZ, followed by a terminating NUL.
int RegWriteString(HKEY root, const char* subkey, const char* name, const char* text, DWORD length, bool create);
int RegReadDword(HKEY root, const char* subkey, const char* name, DWORD* value, bool create);
int RegWriteDword(HKEY root, const char* subkey, const char* name, DWORD value, bool create);

// Removes one value, or a whole key with everything below it; 1 when it is
// gone afterwards (also when it was not there).
int RegDeleteValueAt(HKEY root, const char* subkey, const char* name);
int RegDeleteKeyTree(HKEY root, const char* subkey);
