#include "keys/fingerprint.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "keys/system/sha256.h"
#include "tests/keys/test_keys.h"

namespace {

std::string Sha256Hex(const std::string& data) {
  uint8_t digest[kSha256Bytes];
  EXPECT_EQ(Sha256(reinterpret_cast<const uint8_t*>(data.data()), data.size(), digest), 1);
  return Hex(digest, sizeof digest);
}

// FIPS 180-2, appendix B: one block, two blocks, and a million bytes.
TEST(Sha256, GivesThePublishedDigests) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

PublicKeyRecord BasePointRecord(const char* id) { return MakeRecord(id, BasePoint); }

// Worked out outside our code: the 116 bytes of the base point's
// coordinates, as the curve's definition lists them, through
// `openssl dgst -sha256`.
TEST(KeyFingerprint, OfTheBasePointIsTheKnownAnswer) {
  char fingerprint[kFingerprintChars + 1];
  ASSERT_TRUE(KeyFingerprint(BasePointRecord("base"), kNoStrongKey, fingerprint));
  EXPECT_STREQ(fingerprint, "F2B3 100D 62AD E9DA 4770 EF59 0677 4D03");
  EXPECT_EQ(std::strlen(fingerprint), static_cast<size_t>(kFingerprintChars));
}

TEST(KeyFingerprint, DependsOnThePointAloneNotTheUserIdOrSpareWord) {
  KeyPair a, b;
  MakeKeyPair(a, "alice");
  MakeKeyPair(b, "alice");
  char fa[kFingerprintChars + 1], fb[kFingerprintChars + 1], renamed[kFingerprintChars + 1];
  ASSERT_TRUE(KeyFingerprint(a.pub, kNoStrongKey, fa));
  ASSERT_TRUE(KeyFingerprint(b.pub, kNoStrongKey, fb));
  EXPECT_STRNE(fa, fb) << "two keys under one ID";
  PublicKeyRecord other = a.pub;
  SetUserId(other, "mallory");
  other.spare = 0xBEEF;
  ASSERT_TRUE(KeyFingerprint(other, kNoStrongKey, renamed));
  EXPECT_STREQ(fa, renamed);
}

#ifndef _WIN32
// The openssl command line's SHA-256 of the bytes at path, as hex.
std::string OpensslSha256(const std::string& path) {
  const std::string command = "openssl dgst -sha256 -r '" + path + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return "";
  char line[256] = "";
  if (!fgets(line, sizeof line, pipe)) line[0] = '\0';
  pclose(pipe);
  return std::string(line).substr(0, 64);
}

// The fingerprint as the format says: 32 hex digits in groups of four.
std::string Grouped(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i < 32; i += 4) {
    if (i) out += ' ';
    out.append(hex, i, 4);
  }
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

TEST(KeyFingerprint, MatchesOpensslOverTheCoefficientBytesOfRandomKeys) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("vwg-fingerprint-" + std::to_string(TestSeed()) + ".bin");
  for (int round = 0; round < 8; ++round) {
    KeyPair k;
    MakeKeyPair(k, "friend");
    {
      std::ofstream out(file, std::ios::binary);
      for (const uint16_t* coordinate : {k.pub.x, k.pub.y}) {
        for (int word = 1; word <= 29; ++word) {
          out.put(static_cast<char>(coordinate[word] >> 8)).put(static_cast<char>(coordinate[word] & 0xFF));
        }
      }
    }
    const std::string hex = OpensslSha256(file.string());
    ASSERT_EQ(hex.size(), 64u) << "is the openssl command installed?";
    char fingerprint[kFingerprintChars + 1];
    ASSERT_TRUE(KeyFingerprint(k.pub, kNoStrongKey, fingerprint));
    EXPECT_EQ(fingerprint, Grouped(hex)) << Hex(&k.pub, sizeof k.pub);
  }
  std::filesystem::remove(file);
}
#endif

}  // namespace
