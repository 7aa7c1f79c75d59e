// Plaintext held in std::string or std::wstring: its buffer is zeroed
// before it goes back to the heap. Only the buffer a string holds now can be
// wiped; one it outgrew is gone already, so texts that hold plaintext are
// sized once (or grown through the helpers here), never appended to freely.
#pragma once

#include <string>
#include <algorithm>

#include "crypto/wipe.h"

// Zeroes the whole buffer of text, up to its capacity, and empties it.
template <typename Text>
void WipeText(Text& text) {
  text.resize(text.capacity());
  SecureWipe(text.data(), text.size() * sizeof text[0]);
  text.clear();
}

// Wipes the text it names when the scope ends, on every way out.
template <typename Text>
class WipeOnExit {
 public:
  explicit WipeOnExit(Text& text) : text_(text) {}
  ~WipeOnExit() { WipeText(text_); }
  WipeOnExit(const WipeOnExit&) = delete;
  WipeOnExit& operator=(const WipeOnExit&) = delete;

 private:
  Text& text_;
};

// Appends size bytes at data to text. When text must grow, its bytes move
// into a buffer twice as large and the old one is wiped, so that no copy of
// them is left behind in freed memory.
inline void AppendWiping(std::string& text, const char* data, size_t size) {
  if (text.size() + size > text.capacity()) {
    std::string larger;
    larger.reserve(std::max(2 * text.capacity(), text.size() + size));
    larger.assign(text);
    WipeText(text);
    text.swap(larger);
  }
  text.append(data, size);
}
