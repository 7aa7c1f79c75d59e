#include "keys/formats/cipher.h"

#include <algorithm>
#include <cstring>

#include "crypto/field.h"
#include "crypto/wipe.h"
#include "keys/formats/armour.h"
#include "keys/shared_element.h"

constexpr int kArmouredBytes = kPlainBlockBytes + kBlockTailBytes;  // 63 = 9 groups
constexpr int kGroups = kArmouredBytes / kGroupBytes;
static_assert(kGroups * kGroupChars == kCipherBlockChars);

// Without a usable key the element is zero, whose "inverse" is zero too:
// the direction is the only thing branched on.
bool DeriveMessageKey(const uint16_t* s, const CurvePoint& q, bool sending, uint16_t* key) {
  const bool usable = SharedElement(s, q, key);
  if (!sending) FieldInverse(key, key);
  return usable;
}

void BlockMultiply(const uint8_t in[kPlainBlockBytes], const uint16_t* f,
                   uint8_t out[kPlainBlockBytes]) {
  uint16_t m[kElementWords], z[kTempWords];
  m[0] = kFieldDegree;  // whatever the bytes are, zero coefficients included
  for (int i = 1; i <= kFieldDegree; ++i) {
    m[i] = static_cast<uint16_t>(in[2 * (i - 1)] << 8 | in[2 * (i - 1) + 1]);
  }
  FieldMul(f, m, z);
  // A zero product has length 0 but all its coefficient words are 0 too.
  for (int i = 1; i <= kFieldDegree; ++i) {
    out[2 * (i - 1)] = static_cast<uint8_t>(z[i] >> 8);
    out[2 * (i - 1) + 1] = static_cast<uint8_t>(z[i]);
  }
  SecureWipe(m, sizeof m);
  SecureWipe(z, sizeof z);
}

void EncryptBlock(const uint8_t in[kPlainBlockBytes], const uint16_t* key,
                  char out[kCipherBlockChars]) {
  uint8_t bytes[kArmouredBytes];
  BlockMultiply(in, key, bytes);
  std::memset(bytes + kPlainBlockBytes, ' ', kBlockTailBytes);
  for (int g = 0; g < kGroups; ++g) {
    ArmourEncodeGroup(bytes + g * kGroupBytes, out + g * kGroupChars);
  }
  SecureWipe(bytes, sizeof bytes);
}

void DecryptBlock(const char in[kCipherBlockChars], const uint16_t* key,
                  uint8_t out[kPlainBlockBytes]) {
  uint8_t bytes[kArmouredBytes];
  for (int g = 0; g < kGroups; ++g) {
    ArmourDecodeGroup(in + g * kGroupChars, bytes + g * kGroupBytes);
  }
  BlockMultiply(bytes, key, out);
  SecureWipe(bytes, sizeof bytes);
}

// Pads text with spaces to whole blocks of kIn bytes and hands each block
// with its kOut bytes of out to block.
template <int kIn, int kOut, typename Block>
static void TransformBlocks(std::string_view text, std::string& out, Block block) {
  const size_t blocks = (text.size() + kIn - 1) / kIn;
  out.resize(blocks * kOut);
  char padded[kIn];
  for (size_t j = 0; j < blocks; ++j) {
    const size_t start = j * kIn;
    const size_t n = std::min<size_t>(kIn, text.size() - start);
    std::memcpy(padded, text.data() + start, n);
    std::memset(padded + n, ' ', kIn - n);
    block(padded, out.data() + j * kOut);
  }
  SecureWipe(padded, sizeof padded);
}

bool EncryptText(std::string_view text, const uint16_t* s, const CurvePoint& q, std::string& out) {
  out.clear();
  uint16_t key[kElementWords];
  if (!DeriveMessageKey(s, q, true, key)) return false;
  TransformBlocks<kPlainBlockBytes, kCipherBlockChars>(text, out, [&](const char* in, char* o) {
    EncryptBlock(reinterpret_cast<const uint8_t*>(in), key, o);
  });
  SecureWipe(key, sizeof key);
  return true;
}

bool DecryptText(std::string_view text, const uint16_t* s, const CurvePoint& q, std::string& out) {
  out.clear();
  uint16_t key[kElementWords];
  if (!DeriveMessageKey(s, q, false, key)) return false;
  TransformBlocks<kCipherBlockChars, kPlainBlockBytes>(text, out, [&](const char* in, char* o) {
    DecryptBlock(in, key, reinterpret_cast<uint8_t*>(o));
  });
  SecureWipe(key, sizeof key);
  return true;
}
