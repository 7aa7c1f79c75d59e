#include "keys/passphrase_rule.h"

#include <cstring>

#include "resources/strings.h"

namespace {

// The length of the UTF-8 sequence at text (which has left bytes), or 0
// when none starts there. The second byte's range excludes the overlong
// forms (E0, F0), the surrogates (ED) and what lies above U+10FFFF (F4).
size_t SequenceLength(const uint8_t* text, size_t left) {
  const uint8_t lead = text[0];
  if (lead >= 0x01 && lead <= 0x7F) return 1;  // NUL is refused as well
  size_t length;
  uint8_t low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (left < length || text[1] < low || text[1] > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (text[i] < 0x80 || text[i] > 0xBF) return 0;
  }
  return length;
}

}  // namespace

int PassphraseFault(const uint8_t* text, size_t size) {
  if (size > kMaxPassphraseBytes) return IDS_PASSPHRASE_TOO_LONG;
  for (size_t at = 0; at < size;) {
    const size_t length = SequenceLength(text + at, size - at);
    if (length == 0) return IDS_PASSPHRASE_NOT_TEXT;
    at += length;
  }
  return 0;
}

int PassphraseFromFile(const uint8_t* bytes, size_t size, Passphrase& passphrase) {
  passphrase.Clear();
  const size_t start = size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(bytes + start, '\n', size - start));
  size_t length = (end ? end : bytes + size) - (bytes + start);
  if (end && length > 0 && end[-1] == '\r') --length;
  if (const int fault = PassphraseFault(bytes + start, length)) return fault;
  std::memcpy(passphrase.buffer(), bytes + start, length);
  passphrase.SetSize(length);
  return 0;
}
