// Decrypting text: any characters, any length, as the messenger or the
// clipboard may hand them over.
//
// Every input goes through the armour and the block loop with a message key
// derived once: each 72-character block (the last one padded with spaces)
// is decrypted, and where the block is one that encryption can produce (all
// characters in 0x21..0xA0, the five tail bytes spaces) encrypting the
// result must give the block back. DecryptText itself derives its key afresh
// on every call, a few milliseconds of scalar multiplication, so it runs on
// a sample of the inputs; there only the absence of crashes, leaks and
// undefined behaviour is checked, since how it treats blanks and text that
// was never encrypted is its own business.
#include <cstring>
#include <string>
#include <string_view>

#include "crypto/curve.h"
#include "fuzz/fuzz_support.h"
#include "keys/formats/armour.h"
#include "keys/formats/cipher.h"

namespace {

struct Keys {
  uint16_t secret[kScalarWords] = {};
  CurvePoint own;
  uint16_t sending[kElementWords];
  uint16_t receiving[kElementWords];
  Keys() {
    // A fixed scalar of 464 bits: any valid one will do, and a fixed one
    // makes every crash reproducible.
    secret[0] = kMaxScalarBits;
    uint32_t x = 12345;
    for (int i = 1; i <= kMaxScalarBits; ++i) {
      x = x * 1103515245u + 12345u;
      secret[i] = (x >> 16) & 1;
    }
    secret[kMaxScalarBits] = 1;
    PointMultiply(secret, BasePoint, own);
    if (!DeriveMessageKey(secret, own, true, sending) ||
        !DeriveMessageKey(secret, own, false, receiving)) {
      std::abort();
    }
  }
};

bool EncryptionCanProduce(const char* block) {
  for (int i = 0; i < kCipherBlockChars; ++i) {
    const auto c = static_cast<unsigned char>(block[i]);
    if (c < 0x21 || c > 0xA0) return false;
  }
  // The last group carries the final product byte and the five spaces.
  uint8_t last[kGroupBytes];
  ArmourDecodeGroup(block + kCipherBlockChars - kGroupChars, last);
  return std::memcmp(last + kGroupBytes - kBlockTailBytes, "     ", kBlockTailBytes) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  static const Keys keys;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (size_t start = 0; start < size; start += kCipherBlockChars) {
    char block[kCipherBlockChars];
    const size_t n = std::min<size_t>(kCipherBlockChars, size - start);
    std::memcpy(block, text.data() + start, n);
    std::memset(block + n, ' ', kCipherBlockChars - n);
    uint8_t plain[kPlainBlockBytes];
    DecryptBlock(block, keys.receiving, plain);
    if (EncryptionCanProduce(block)) {
      char again[kCipherBlockChars];
      EncryptBlock(plain, keys.sending, again);
      FUZZ_CHECK(std::memcmp(again, block, kCipherBlockChars) == 0);
    }
  }

  if (Sampled(data, size)) {
    std::string out;
    FUZZ_CHECK(DecryptText(text, keys.secret, keys.own, out) == 1);
  }
  return 0;
}
