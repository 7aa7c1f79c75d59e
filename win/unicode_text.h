// Text between a code page and UTF-16, for the places where the program
// leaves its ANSI world: strong messages carry UTF-8, and Unicode controls
// and the clipboard's CF_UNICODETEXT keep every character. The results are
// sized once, so that a caller holding plaintext has one buffer to wipe.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// bytes (ANSI for CP_ACP, UTF-8 for CP_UTF8) as UTF-16 into out. Bytes that
// are not valid in the code page become U+FFFD; NULs are kept. False, out
// empty, for a text too long for the system's conversion (2^31 units).
bool WideFromCodePage(UINT codePage, std::string_view bytes, std::wstring& out);

// text in the code page into out; characters it cannot hold become its
// default character ("?" in the ANSI code pages). False, out empty, as
// above.
bool CodePageFromWide(UINT codePage, std::wstring_view text, std::string& out);

// text as one byte of the ANSI code page per UTF-16 unit, places kept, for
// looking for encrypted messages in it (keys/formats/message_search.h): a
// character the code page holds as one byte becomes that byte, any other (a
// surrogate, a character it lacks or writes with two bytes) the byte 0,
// which no message holds. Nothing is guessed: no best-fit letter stands in
// for another.
std::string AnsiBytePerUnit(std::wstring_view text);
