// Keys and points for the key tests: random key pairs, points that a public
// key file could carry but that no key generation produces, and a folder of
// its own for each test's key files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/curve.h"
#include "keys/key_files.h"
#include "keys/key_records.h"
#include "keys/passphrase.h"
#include "tests/support/test_seed.h"

struct KeyPair {
  uint16_t secret[kScalarWords];
  PublicKeyRecord pub;
  CurvePoint point;
};

// A new key pair from the system's random source.
void MakeKeyPair(KeyPair& k, const char* id = "test");

// A point with coordinates in the subfield GF(2^16): on the curve, x != 0,
// so it passes the cheap check, but its order divides 65272. The first one
// whose x is at least fromX.
CurvePoint SmallOrderPoint(uint32_t fromX = 1);

// (0, sqrt b), the point of order 2.
CurvePoint OrderTwoPoint();

// A record of the given ID and point, spare word 0.
PublicKeyRecord MakeRecord(const char* id, const CurvePoint& p);

// Hex, most significant digit first (an odd count reads as with a leading
// zero), as a scalar: the bit count, then one bit per word, least
// significant first.
void ScalarFromHex(std::string_view hex, uint16_t* s);

// n bytes of every value, with runs of zeros (which padding is made of).
std::string RandomMessage(std::mt19937& rng, size_t n);

// Calls changed with each text that is text with one character changed: at
// every position, into its neighbour in the Base64 alphabet, the one 32
// places away (the top bit of its 6), '=', a character outside the alphabet
// and a blank, each that differs from the one there.
void ForEachChangedCharacter(const std::string& text,
                             const std::function<void(const std::string& changed, size_t at, char to)>& changed);

// Sets p to the bytes of text (UTF-8, as the programs hand passphrases over).
void SetPassphrase(Passphrase& p, std::string_view text);

// Hex of bytes, for readable failures.
std::string Hex(const void* data, size_t n);

// An empty folder named after the running test, removed with everything in
// it at the end.
class TestFolder {
 public:
  explicit TestFolder(const char* prefix);
  ~TestFolder();
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  std::string File(const char* name) const { return (path_ / name).string(); }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

// The whole file; "" when it cannot be read.
std::string ReadBytes(const std::string& path);

// Failures name their status and its text.
inline void PrintTo(KeyFileStatus status, std::ostream* out) {
  const char* text = KeyFileErrorText(status);
  *out << static_cast<int>(status) << " (" << (text ? text : "system error") << ")";
}
