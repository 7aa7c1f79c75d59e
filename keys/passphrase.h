// A passphrase on its way from the user to the secret key file: the UTF-8
// bytes of what was typed, in a buffer of fixed size that never moves, is
// never copied, stays in RAM (keys/locked_memory.h) and is wiped when its
// holder goes. Empty means no protection. What a passphrase may be is the
// rule of keys/passphrase_rule.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "crypto/wipe.h"
#include "keys/locked_memory.h"

// 1024 characters of ASCII, 256 of any script.
constexpr size_t kMaxPassphraseBytes = 1024;

class Passphrase {
 public:
  Passphrase() = default;
  Passphrase(const Passphrase&) = delete;
  Passphrase& operator=(const Passphrase&) = delete;

  const uint8_t* data() const { return bytes_.data(); }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // For a reader that fills the buffer in place (a conversion, a file's
  // line) and then says how much it holds; false, and empty, above the limit.
  uint8_t* buffer() { return bytes_.data(); }
  bool SetSize(size_t n) {
    if (n > kMaxPassphraseBytes) {
      Clear();
      return false;
    }
    size_ = n;
    return true;
  }

  void Clear() {
    SecureWipe(bytes_.data(), kMaxPassphraseBytes);
    size_ = 0;
  }

 private:
  LockedMemory bytes_{kMaxPassphraseBytes};
  size_t size_ = 0;
};

// For the second entry of a new passphrase.
inline bool SamePassphrase(const Passphrase& a, const Passphrase& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0;
}
