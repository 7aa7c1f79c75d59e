// The text armour of encrypted messages: 7 bytes <-> 8 characters, each
// character a 7-bit slice of the 56 bits (most significant first) plus 33,
// so that encrypted text uses only the characters 0x21..0xA0 and passes
// through the messenger as ordinary text.
#pragma once

#include <cstdint>

constexpr int kGroupBytes = 7;
constexpr int kGroupChars = 8;
constexpr int kArmourBias = 33;

void ArmourEncodeGroup(const uint8_t b[kGroupBytes], char c[kGroupChars]);

// The exact inverse for characters in 0x21..0xA0. Any other character is
// decoded too: its value (c - 33) mod 256 has bit 7 set, and the 8-bit shifts
// carry that bit into the neighbouring byte (a space gives 0xFF). The input
// is left as it is.
void ArmourDecodeGroup(const char c[kGroupChars], uint8_t b[kGroupBytes]);
