// The old format's message transformation: static Diffie-Hellman between the
// owner's secret scalar and a correspondent's public point gives a field
// element k (SharedElement, keys/shared_element.h); each 58-byte block, read
// as a field element, is multiplied by k to encrypt and by k^-1 to decrypt,
// and armoured as 72 characters.
//
// Encrypted text has no header, marker or checksum: decrypting with the wrong
// key, or decrypting text that was never encrypted, gives meaningless bytes
// of the stated length, and nothing here can tell.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "crypto/curve.h"
#include "keys/formats/armour.h"

constexpr int kPlainBlockBytes = 58;
constexpr int kCipherBlockChars = 72;
// Bytes after the 58 product bytes that fill the ninth armour group.
constexpr int kBlockTailBytes = 5;

// The message key: k when sending, k^-1 when receiving. True, or false as
// SharedElement; key is then zero and must not be used. Constant-time in s
// as SharedElement. The block functions below are constant-time in the key
// and the plain bytes, and wipe their copies of them.
bool DeriveMessageKey(const uint16_t* s, const CurvePoint& q, bool sending, uint16_t* key);

// out = the 58 bytes of f * (in read as a field element: 29 big-endian
// 16-bit coefficients, constant term first). in and out may be the same.
void BlockMultiply(const uint8_t in[kPlainBlockBytes], const uint16_t* f,
                   uint8_t out[kPlainBlockBytes]);

// One block with the sending key: the 58 product bytes and 5 spaces,
// armoured as 9 groups.
void EncryptBlock(const uint8_t in[kPlainBlockBytes], const uint16_t* key,
                  char out[kCipherBlockChars]);

// One block with the receiving key; the 5 tail bytes are ignored.
void DecryptBlock(const char in[kCipherBlockChars], const uint16_t* key,
                  uint8_t out[kPlainBlockBytes]);

// The whole text, padded with spaces to whole blocks of 58 bytes, encrypted
// for the recipient q: 72 * ceil(n / 58) characters. True, or false (out
// left empty) when no message key can be derived (see SharedElement).
bool EncryptText(std::string_view text, const uint16_t* s, const CurvePoint& q, std::string& out);

// The inverse, from the sender q: the text padded with spaces to whole blocks
// of 72 characters gives 58 * ceil(n / 72) bytes, padding included. True,
// or false (out left empty) when no message key can be derived.
bool DecryptText(std::string_view text, const uint16_t* s, const CurvePoint& q, std::string& out);
