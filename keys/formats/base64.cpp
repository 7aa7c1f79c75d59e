#include "keys/formats/base64.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint8_t kNotInAlphabet = 0xFF;

constexpr std::array<uint8_t, 256> MakeValues() {
  std::array<uint8_t, 256> values{};
  for (uint8_t& v : values) v = kNotInAlphabet;
  for (int i = 0; i < 64; ++i) values[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
  return values;
}
constexpr std::array<uint8_t, 256> kValues = MakeValues();

uint8_t Value(char c) { return kValues[static_cast<uint8_t>(c)]; }

}  // namespace

void Base64Encode(const uint8_t* in, size_t n, char* out) {
  for (size_t i = 0; i < n; i += 3) {
    const size_t left = n - i;
    const uint32_t group = static_cast<uint32_t>(in[i]) << 16 | (left > 1 ? in[i + 1] << 8 : 0) |
                           (left > 2 ? in[i + 2] : 0);
    *out++ = kAlphabet[group >> 18];
    *out++ = kAlphabet[group >> 12 & 63];
    *out++ = left > 1 ? kAlphabet[group >> 6 & 63] : '=';
    *out++ = left > 2 ? kAlphabet[group & 63] : '=';
  }
}

// A group of four characters ends in "==" (one byte) or "=" (two bytes)
// only when it is the last one; the bits below the last byte must be zero.
// Values outside the alphabet have their top bits set, so one test per
// group finds them.
bool Base64Decode(const char* in, size_t n, uint8_t* out, size_t& size) {
  size = 0;
  if (n % 4 != 0) return false;
  size_t written = 0;
  for (size_t i = 0; i < n; i += 4) {
    const int padding = i + 4 == n ? (in[i + 3] == '=') + (in[i + 3] == '=' && in[i + 2] == '=') : 0;
    uint32_t group = 0, seen = 0;
    for (int j = 0; j < 4; ++j) {
      const uint8_t v = j < 4 - padding ? Value(in[i + j]) : 0;
      seen |= v;
      group = group << 6 | (v & 63);
    }
    if ((seen & ~63u) != 0 || (group & ((1u << (8 * padding)) - 1)) != 0) return false;
    for (int j = 0; j < 3 - padding; ++j) out[written++] = static_cast<uint8_t>(group >> (16 - 8 * j));
  }
  size = written;
  return true;
}
