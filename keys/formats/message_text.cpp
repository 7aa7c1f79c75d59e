#include "keys/formats/message_text.h"

#include "keys/formats/cipher.h"

// The last five characters of the ninth armour group carry bits of the five
// tail spaces only.
const char kBlockTail[] = "\x23\x22\x21\x61\x41";
static_assert(sizeof kBlockTail - 1 == kBlockTailBytes);

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') out += c;
  }
  return out;
}

bool IsEncryptedText(std::string_view cipher) {
  const std::string_view tail(kBlockTail, kBlockTailBytes);
  for (size_t end = kCipherBlockChars; end <= cipher.size(); end += kCipherBlockChars) {
    if (cipher.substr(end - kBlockTailBytes, kBlockTailBytes) == tail) return true;
  }
  return false;
}

size_t IncompleteTailChars(std::string_view cipher) { return cipher.size() % kCipherBlockChars; }

bool DecryptWholeBlocks(std::string_view cipher, const uint16_t* s, const CurvePoint& q, std::string& out) {
  return DecryptText(cipher.substr(0, cipher.size() - IncompleteTailChars(cipher)), s, q, out);
}

void TrimPadding(std::string& text) { text.erase(text.find_last_not_of(' ') + 1); }
