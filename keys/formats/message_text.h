// Received text on its way to DecryptText. Encrypted text never holds a
// space, tab or line break, but messengers and mail programs wrap long lines
// and add line breaks, so these are removed first. Every encrypted block ends
// with the same five characters (the armour of its five tail spaces), so a
// text none of whose whole blocks ends so was never encrypted, and
// decrypting it would only put garbage in its place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/curve.h"

// The five characters at the end of every encrypted block.
extern const char kBlockTail[];

// text without its spaces, tabs, CRs and LFs.
std::string WithoutBlanks(std::string_view text);

// True when some whole 72-character block of the blank-free text ends with
// kBlockTail. An empty text holds no block and is not encrypted either.
bool IsEncryptedText(std::string_view cipher);

// Characters after the last whole block: a text cut on its way, which
// decrypting would turn into meaningless bytes.
size_t IncompleteTailChars(std::string_view cipher);

// DecryptText of the whole blocks of the blank-free text, without the
// incomplete tail. A damaged block spoils only itself. True, or false (out
// empty) when no message key can be derived.
bool DecryptWholeBlocks(std::string_view cipher, const uint16_t* s, const CurvePoint& q, std::string& out);

// Removes the spaces at the end of a decrypted text: the padding of its last
// block (and any the writer typed there, which cannot be told apart).
void TrimPadding(std::string& text);
