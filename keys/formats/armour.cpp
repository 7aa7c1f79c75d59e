#include "keys/formats/armour.h"

void ArmourEncodeGroup(const uint8_t b[kGroupBytes], char c[kGroupChars]) {
  const uint8_t v[kGroupChars] = {
      static_cast<uint8_t>(b[0] >> 1),
      static_cast<uint8_t>((b[0] & 0x01) << 6 | b[1] >> 2),
      static_cast<uint8_t>((b[1] & 0x03) << 5 | b[2] >> 3),
      static_cast<uint8_t>((b[2] & 0x07) << 4 | b[3] >> 4),
      static_cast<uint8_t>((b[3] & 0x0F) << 3 | b[4] >> 5),
      static_cast<uint8_t>((b[4] & 0x1F) << 2 | b[5] >> 6),
      static_cast<uint8_t>((b[5] & 0x3F) << 1 | b[6] >> 7),
      static_cast<uint8_t>(b[6] & 0x7F),
  };
  for (int i = 0; i < kGroupChars; ++i) c[i] = static_cast<char>(v[i] + kArmourBias);
}

void ArmourDecodeGroup(const char c[kGroupChars], uint8_t b[kGroupBytes]) {
  uint8_t p[kGroupChars];
  for (int i = 0; i < kGroupChars; ++i) {
    p[i] = static_cast<uint8_t>(static_cast<uint8_t>(c[i]) - kArmourBias);
  }
  // Every shift is taken in 8 bits: the bits shifted out of a byte are lost.
  b[0] = static_cast<uint8_t>(p[0] << 1 | p[1] >> 6);
  b[1] = static_cast<uint8_t>(p[1] << 2 | p[2] >> 5);
  b[2] = static_cast<uint8_t>(p[2] << 3 | p[3] >> 4);
  b[3] = static_cast<uint8_t>(p[3] << 4 | p[4] >> 3);
  b[4] = static_cast<uint8_t>(p[4] << 5 | p[5] >> 2);
  b[5] = static_cast<uint8_t>(p[5] << 6 | p[6] >> 1);
  b[6] = static_cast<uint8_t>(p[6] << 7 | p[7]);
}
