// Base64 as RFC 4648 defines it (section 4: the alphabet A-Z a-z 0-9 + /,
// '=' padding to whole groups of four characters), with a strict decoder:
// every text that it accepts is the encoding of exactly one byte string, so
// that a message cannot be altered in its armour without being refused.
#pragma once

#include <cstddef>
#include <cstdint>

// Characters of the encoding of n bytes, padding included.
constexpr size_t Base64Chars(size_t n) { return (n + 2) / 3 * 4; }

// The most bytes that n characters can decode to.
constexpr size_t Base64MaxBytes(size_t n) { return n / 4 * 3; }

// Writes the Base64Chars(n) characters of in's encoding to out, without a
// terminating NUL.
void Base64Encode(const uint8_t* in, size_t n, char* out);

// Decodes n characters into out, which holds Base64MaxBytes(n) bytes, and
// sets size to the number of bytes. Refuses (returns false, size 0, out
// unspecified) any character outside the alphabet, line breaks and blanks
// included; a length that is not a multiple of 4; '=' anywhere but as one
// or two final characters; and set bits that the padding would drop
// (a final "QR==" for "QQ=="). True otherwise; n = 0 gives 0 bytes.
bool Base64Decode(const char* in, size_t n, uint8_t* out, size_t& size);
