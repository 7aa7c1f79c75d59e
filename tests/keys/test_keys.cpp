#include "tests/keys/test_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "tests/crypto/gf16.h"

void SetPassphrase(Passphrase& p, std::string_view text) {
  ASSERT_LE(text.size(), kMaxPassphraseBytes);
  std::memcpy(p.buffer(), text.data(), text.size());
  p.SetSize(text.size());
}

void MakeKeyPair(KeyPair& k, const char* id) {
  GenerateKeyPair(k.secret, k.pub, id);
  RecordPoint(k.pub, k.point);
}

// The curve's constant b lies in GF(2^16), so the curve over GF(2^16) is a
// subgroup of ours; its points are found by trying every y for small x.
CurvePoint SmallOrderPoint(uint32_t fromX) {
  const uint16_t b = CurveB[1];
  for (uint32_t x = fromX;; ++x) {
    const uint16_t x3 = Gf16Mul(Gf16Mul(static_cast<uint16_t>(x), static_cast<uint16_t>(x)),
                                static_cast<uint16_t>(x));
    for (uint32_t y = 0; y < 65536; ++y) {
      const uint16_t yy = static_cast<uint16_t>(y);
      if ((Gf16Mul(yy, yy) ^ Gf16Mul(static_cast<uint16_t>(x), yy) ^ x3 ^ b) == 0) {
        CurvePoint p = {};
        p.x[0] = kFieldDegree;
        p.x[1] = static_cast<uint16_t>(x);
        p.y[0] = y ? kFieldDegree : 0;
        p.y[1] = yy;
        return p;
      }
    }
  }
}

CurvePoint OrderTwoPoint() {
  CurvePoint p = {};
  for (uint32_t y = 1; y < 65536; ++y) {
    if (Gf16Mul(static_cast<uint16_t>(y), static_cast<uint16_t>(y)) == CurveB[1]) {
      p.y[0] = kFieldDegree;
      p.y[1] = static_cast<uint16_t>(y);
    }
  }
  return p;
}

void ScalarFromHex(std::string_view hex, uint16_t* s) {
  std::fill(s, s + kScalarWords, uint16_t{0});
  for (size_t bit = 0; bit < 4 * hex.size(); ++bit) {
    const char c = hex[hex.size() - 1 - bit / 4];
    s[bit + 1] = static_cast<uint16_t>(((c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10) >> (bit % 4)) & 1);
    if (s[bit + 1]) s[0] = static_cast<uint16_t>(bit + 1);
  }
}

std::string RandomMessage(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = rng() % 4 == 0 ? '\0' : static_cast<char>(rng());
  return s;
}

void ForEachChangedCharacter(const std::string& text,
                             const std::function<void(const std::string& changed, size_t at, char to)>& changed) {
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (size_t i = 0; i < text.size(); ++i) {
    const size_t at = alphabet.find(text[i]);
    const char next = at == std::string::npos ? 'A' : alphabet[(at + 1) % 64];
    const char opposite = at == std::string::npos ? 'g' : alphabet[(at + 32) % 64];
    for (char c : {next, opposite, '=', '-', ' '}) {
      if (c == text[i]) continue;
      std::string copy = text;
      copy[i] = c;
      changed(copy, i, c);
    }
  }
}

PublicKeyRecord MakeRecord(const char* id, const CurvePoint& p) {
  PublicKeyRecord r = {};
  SetRecordPoint(r, p);
  SetUserId(r, id);
  return r;
}

std::string Hex(const void* data, size_t n) {
  std::string s;
  char buf[4];
  for (size_t i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<const uint8_t*>(data)[i]);
    s += buf;
  }
  return s;
}

TestFolder::TestFolder(const char* prefix)
    : path_(std::filesystem::temp_directory_path() /
            (std::string(prefix) + "-" + std::to_string(TestSeed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TestFolder::~TestFolder() { std::filesystem::remove_all(path_); }

std::vector<std::string> TestFolder::Names() const {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}
