// The text form of strong messages: prefix, Base64 and the final '.'.
#include "keys/formats/strong_armour.h"

#include <cstring>

#include "keys/formats/base64.h"

namespace {

// WithoutBlanks, copying the runs between blanks whole: blanks are few
// (line breaks every few dozen characters, if any), and a string grown one
// character at a time made blank removal most of the cost of reading a long
// message.
std::string Compact(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsArmourBlank(text[i])) {
      out.append(text, start, i - start);
      start = i + 1;
    }
  }
  out.append(text, start);
  return out;
}

}  // namespace

bool HasArmourPrefix(std::string_view text, std::string_view prefix) {
  size_t matched = 0;
  for (char c : text) {
    if (IsArmourBlank(c)) continue;
    if (c != prefix[matched]) return false;
    if (++matched == prefix.size()) return true;
  }
  return false;
}

std::string ArmourBytes(std::string_view prefix, const std::vector<uint8_t>& bytes) {
  std::string text(prefix.size() + Base64Chars(bytes.size()) + 1, kStrongEnd);
  std::memcpy(text.data(), prefix.data(), prefix.size());
  Base64Encode(bytes.data(), bytes.size(), text.data() + prefix.size());
  return text;
}

StrongStatus ReadArmourBytes(std::string_view text, std::string_view prefix, bool (*isSize)(size_t), uint8_t version,
                             std::vector<uint8_t>& bytes) {
  if (!HasArmourPrefix(text, prefix)) return StrongStatus::kNotStrong;
  const std::string compact = Compact(text);
  if (compact.back() != kStrongEnd) return StrongStatus::kMalformed;
  const std::string_view body = std::string_view(compact).substr(prefix.size(), compact.size() - prefix.size() - 1);
  std::vector<uint8_t> decoded(Base64MaxBytes(body.size()));
  size_t size = 0;
  if (!Base64Decode(body.data(), body.size(), decoded.data(), size)) return StrongStatus::kMalformed;
  decoded.resize(size);
  if (!isSize(decoded.size()) || decoded[0] != version) return StrongStatus::kMalformed;
  bytes.swap(decoded);
  return StrongStatus::kOk;
}

bool LooksLikeStrongMessage(std::string_view text) { return HasArmourPrefix(text, kStrongPrefix); }

std::string ArmourStrongMessage(const std::vector<uint8_t>& bytes) { return ArmourBytes(kStrongPrefix, bytes); }

StrongStatus ReadStrongArmour(std::string_view text, std::vector<uint8_t>& bytes) {
  return ReadArmourBytes(text, kStrongPrefix, IsStrongMessageSize, kStrongVersion, bytes);
}
