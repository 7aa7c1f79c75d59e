// The text form that both strong formats share: a prefix naming the format
// ("?VW2:", "?VW3:"), the standard Base64 of the message's bytes, and a
// final '.', on one line of ASCII. Readers first remove every space, tab, CR
// and LF, since channels wrap long lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/formats/strong_message.h"

// The blanks that readers remove: space, tab, CR, LF.
inline bool IsArmourBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Blanks aside, text starts with prefix. Cheap and allocation-free.
bool HasArmourPrefix(std::string_view text, std::string_view prefix);

// prefix, the Base64 of bytes, '.'.
std::string ArmourBytes(std::string_view prefix, const std::vector<uint8_t>& bytes);

// The bytes of a message in the armour of prefix, blanks removed: kOk, or
// kNotStrong (no prefix) or kMalformed (no final '.', Base64 that is not
// strict, a size that isSize refuses, or a first byte other than version),
// leaving bytes as they were. The IDs are not looked at.
StrongStatus ReadArmourBytes(std::string_view text, std::string_view prefix, bool (*isSize)(size_t), uint8_t version,
                             std::vector<uint8_t>& bytes);
