#include "keys/formats/message_search.h"

#include "keys/formats/cipher.h"
#include "keys/formats/message_text.h"
#include "keys/formats/strong_armour.h"
#include "keys/formats/v3_message.h"

namespace {

bool IsBase64(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' ||
         c == '=';
}

bool IsBlockChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 0x21 && u <= 0xA0;
}

// The text seen without its blanks: the places of its other characters, so
// that a message is measured in characters that count and reported in
// places of the text.
class Characters {
 public:
  explicit Characters(std::string_view text) : text_(text) {
    for (size_t i = 0; i < text.size(); ++i)
      if (!IsArmourBlank(text[i])) at_.push_back(i);
  }
  size_t count() const { return at_.size(); }
  char operator[](size_t k) const { return text_[at_[k]]; }
  size_t place(size_t k) const { return at_[k]; }
  std::string_view from(size_t k) const { return text_.substr(at_[k]); }

 private:
  std::string_view text_;
  std::vector<size_t> at_;
};

constexpr size_t kPrefixChars = sizeof kV3Prefix - 1;
static_assert(sizeof kStrongPrefix - 1 == kPrefixChars);

// The strong format whose prefix starts at character k.
bool StrongPrefixAt(const Characters& chars, size_t k, MessageKind& kind) {
  if (chars[k] != '?') return false;
  if (HasArmourPrefix(chars.from(k), kV3Prefix)) {
    kind = MessageKind::kV3;
    return true;
  }
  if (HasArmourPrefix(chars.from(k), kStrongPrefix)) {
    kind = MessageKind::kV2;
    return true;
  }
  return false;
}

// The character after a strong message whose prefix starts at character k:
// past its Base64 and its '.', or where a character of neither comes first.
size_t StrongEnd(const Characters& chars, size_t k) {
  size_t end = k + kPrefixChars;
  while (end < chars.count() && IsBase64(chars[end])) ++end;
  if (end < chars.count() && chars[end] == kStrongEnd) ++end;
  return end;
}

// True when the kCipherBlockChars characters from k are an old-format
// block. The tail is looked at first: it rules out nearly every place.
bool BlockAt(const Characters& chars, size_t k) {
  if (k + kCipherBlockChars > chars.count()) return false;
  const size_t tail = k + kCipherBlockChars - kBlockTailBytes;
  for (size_t i = 0; i < static_cast<size_t>(kBlockTailBytes); ++i)
    if (chars[tail + i] != kBlockTail[i]) return false;
  for (size_t i = k; i < tail; ++i)
    if (!IsBlockChar(chars[i])) return false;
  return true;
}

}  // namespace

std::vector<FoundMessage> FindMessages(std::string_view text) {
  const Characters chars(text);
  std::vector<FoundMessage> found;
  size_t oldEnd = 0;  // the character after the last old-format block found, 0 for none
  for (size_t k = 0; k < chars.count();) {
    MessageKind kind;
    size_t end;
    if (StrongPrefixAt(chars, k, kind)) {
      end = StrongEnd(chars, k);
      found.push_back({kind, chars.place(k), chars.place(end - 1) + 1});
    } else if (BlockAt(chars, k)) {
      end = k + kCipherBlockChars;
      // A block right after another, blanks aside, continues its message.
      if (oldEnd == k && !found.empty() && found.back().kind == MessageKind::kOld)
        found.back().end = chars.place(end - 1) + 1;
      else
        found.push_back({MessageKind::kOld, chars.place(k), chars.place(end - 1) + 1});
      oldEnd = end;
    } else {
      end = k + 1;
    }
    k = end;
  }
  return found;
}
