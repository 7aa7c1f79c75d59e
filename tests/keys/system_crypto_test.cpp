// The system's HMAC, HKDF on it, AES-GCM and PBKDF2, against the published
// test vectors of each.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "keys/system/aes_gcm.h"
#include "keys/system/hkdf.h"
#include "keys/system/hmac_sha256.h"
#include "tests/keys/hex_bytes.h"
#include "tests/keys/test_keys.h"

namespace {

std::string HmacHex(const std::vector<uint8_t>& key, std::string_view data) {
  uint8_t mac[kSha256Bytes];
  EXPECT_EQ(HmacSha256(key.data(), key.size(),
                       {{reinterpret_cast<const uint8_t*>(data.data()), data.size()}}, mac),
            1);
  return Hex(mac, sizeof mac);
}

// RFC 4231 test cases 1, 2, 6 and 7 (a key longer than a block is hashed
// first); the empty key and message from the HMAC article's examples.
TEST(HmacSha256, GivesThePublishedMacs) {
  EXPECT_EQ(HmacHex(std::vector<uint8_t>(20, 0x0b), "Hi There"),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(HmacHex(BytesOf("Jefe"), "what do ya want for nothing?"),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  EXPECT_EQ(HmacHex(std::vector<uint8_t>(131, 0xaa), "Test Using Larger Than Block-Size Key - Hash Key First"),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
  EXPECT_EQ(HmacHex(std::vector<uint8_t>(131, 0xaa),
                    "This is a test using a larger than block-size key and a larger than block-size data. "
                    "The key needs to be hashed before being used by the HMAC algorithm."),
            "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
  EXPECT_EQ(HmacHex({}, ""), "b613679a0814d9ec772f95d778c35fc5ff1697c493715653c6c712144292c5ad");
}

// RFC 5869 test cases 1 (with the PRK) and 3 (no salt, no info).
TEST(Hkdf, GivesThePublishedKeys) {
  const std::vector<uint8_t> ikm(22, 0x0b), salt = FromHex("000102030405060708090a0b0c"),
                             info = FromHex("f0f1f2f3f4f5f6f7f8f9");
  uint8_t prk[kSha256Bytes], okm[42];
  ASSERT_TRUE(HkdfExtract(salt.data(), salt.size(), ikm.data(), ikm.size(), prk));
  EXPECT_EQ(Hex(prk, sizeof prk), "077709362c2e32df0ddc3f0dc47bba6390b6c73bb50f9c3122ec844ad7c2b3e5");
  ASSERT_TRUE(Hkdf(salt.data(), salt.size(), ikm.data(), ikm.size(), info.data(), info.size(), okm, sizeof okm));
  EXPECT_EQ(Hex(okm, sizeof okm),
            "3cb25f25faacd57a90434f64d0362f2a2d2d0a90cf1a5a4c5db02d56ecc4c5bf34007208d5b887185865");

  ASSERT_TRUE(HkdfExtract(nullptr, 0, ikm.data(), ikm.size(), prk));
  EXPECT_EQ(Hex(prk, sizeof prk), "19ef24a32c717b167f33a91d6f648bdf96596776afdb6377ac434c1c293ccb04");
  ASSERT_TRUE(Hkdf(nullptr, 0, ikm.data(), ikm.size(), nullptr, 0, okm, sizeof okm));
  EXPECT_EQ(Hex(okm, sizeof okm),
            "8da4e775a563c18f715f802a063c5a31b8a11f5c5ee1879ec3454e5f3c738d2d9d201395faa4b61a96c8");
}

// Shorter outputs are prefixes of longer ones, up to the 255 blocks the
// counter byte allows; one byte more is refused and leaves zeros.
TEST(Hkdf, ExpandIsOneStreamUpToItsLimit) {
  const uint8_t prk[kSha256Bytes] = {1, 2, 3};
  const uint8_t info[] = {'x'};
  std::vector<uint8_t> longest(kHkdfMaxBytes), shorter(kHkdfMaxBytes);
  ASSERT_TRUE(HkdfExpand(prk, info, sizeof info, longest.data(), longest.size()));
  for (size_t n : {size_t{1}, size_t{31}, size_t{32}, size_t{33}, size_t{64}, kHkdfMaxBytes - 1}) {
    ASSERT_TRUE(HkdfExpand(prk, info, sizeof info, shorter.data(), n));
    EXPECT_EQ(std::memcmp(shorter.data(), longest.data(), n), 0) << n;
  }
  std::vector<uint8_t> over(kHkdfMaxBytes + 1, 0xAA);
  EXPECT_FALSE(HkdfExpand(prk, info, sizeof info, over.data(), over.size()));
  EXPECT_EQ(over, std::vector<uint8_t>(over.size(), 0));
}

struct GcmCase {
  const char* name;
  const char *key, *nonce, *aad, *plain, *cipher, *tag;
};

// The AES-256 test cases McGrew and Viega published with GCM: 13 (nothing to
// encrypt), 14 (one zero block) and 16 (associated data, a partial block).
const GcmCase kGcmCases[] = {
    {"case 13", "0000000000000000000000000000000000000000000000000000000000000000",
     "000000000000000000000000", "", "", "", "530f8afbc74536b9a963b4f1c4cb738b"},
    {"case 14", "0000000000000000000000000000000000000000000000000000000000000000",
     "000000000000000000000000", "", "00000000000000000000000000000000", "cea7403d4d606b6e074ec5d3baf39d18",
     "d0d1c8a799996bf0265b98b5d48ab919"},
    {"case 16", "feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308",
     "cafebabefacedbaddecaf888", "feedfacedeadbeeffeedfacedeadbeefabaddad2",
     "d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a721c3c0c95956809532fcf0e2449a6b525b1"
     "6aedf5aa0de657ba637b39",
     "522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa8cb08e48590dbb3da7b08b1056828838c5"
     "f61e6393ba7a0abcc9f662",
     "76fc6ece0f4e1768cddf8853bb2d551b"},
};

TEST(AesGcm, SealsAndOpensThePublishedCases) {
  for (const GcmCase& c : kGcmCases) {
    const auto key = FromHex(c.key), nonce = FromHex(c.nonce), aad = FromHex(c.aad), plain = FromHex(c.plain);
    std::vector<uint8_t> cipher(plain.size() + 1), back(plain.size() + 1);
    uint8_t tag[kGcmTagBytes];
    ASSERT_EQ(AesGcmSeal(key.data(), nonce.data(), aad.data(), aad.size(), plain.data(), plain.size(),
                         cipher.data(), tag),
              1)
        << c.name;
    EXPECT_EQ(Hex(cipher.data(), plain.size()), c.cipher) << c.name;
    EXPECT_EQ(Hex(tag, sizeof tag), c.tag) << c.name;
    ASSERT_EQ(AesGcmOpen(key.data(), nonce.data(), aad.data(), aad.size(), cipher.data(), plain.size(), tag,
                         back.data()),
              1)
        << c.name;
    EXPECT_EQ(Hex(back.data(), plain.size()), c.plain) << c.name;
  }
}

// Any changed bit of the associated data, the cipher text or the tag is
// refused, and the output holds zeros, not the decrypted bytes.
TEST(AesGcm, ChangedBitsAreRefusedAndLeaveNoPlainText) {
  const GcmCase& c = kGcmCases[2];
  const auto key = FromHex(c.key), nonce = FromHex(c.nonce);
  std::mt19937 rng(TestSeed());
  for (int round = 0; round < 60; ++round) {
    auto aad = FromHex(c.aad), cipher = FromHex(c.cipher), tag = FromHex(c.tag);
    std::vector<uint8_t>& target = round % 3 == 0 ? aad : round % 3 == 1 ? cipher : tag;
    target[rng() % target.size()] ^= static_cast<uint8_t>(1u << rng() % 8);
    std::vector<uint8_t> plain(cipher.size(), 0xAA);
    EXPECT_EQ(AesGcmOpen(key.data(), nonce.data(), aad.data(), aad.size(), cipher.data(), cipher.size(),
                         tag.data(), plain.data()),
              0)
        << round;
    EXPECT_EQ(plain, std::vector<uint8_t>(cipher.size(), 0)) << round;
  }
}

std::string Pbkdf2Hex(std::string_view password, std::string_view salt, uint32_t iterations, size_t size) {
  std::vector<uint8_t> out(size);
  EXPECT_EQ(Pbkdf2Sha256(reinterpret_cast<const uint8_t*>(password.data()), password.size(),
                         reinterpret_cast<const uint8_t*>(salt.data()), salt.size(), iterations, out.data(),
                         size),
            1);
  return Hex(out.data(), out.size());
}

// RFC 7914 section 11; RFC 6070's first inputs with SHA-256 instead of
// SHA-1, and an empty password, as Python's hashlib.pbkdf2_hmac gives them.
TEST(Pbkdf2Sha256, GivesThePublishedKeys) {
  EXPECT_EQ(Pbkdf2Hex("passwd", "salt", 1, 64),
            "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
            "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
  EXPECT_EQ(Pbkdf2Hex("Password", "NaCl", 80000, 64),
            "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
            "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d");
  EXPECT_EQ(Pbkdf2Hex("password", "salt", 1, 32),
            "120fb6cffcf8b32c43e7225256c4f837a86548c92ccc35480805987cb70be17b");
  EXPECT_EQ(Pbkdf2Hex("password", "salt", 4096, 32),
            "c5e478d59288c841aa530db6845c4c8d962893a001ce4e11a4963873aa98134a");
  EXPECT_EQ(Pbkdf2Hex("", "salt", 2, 32), "62384466264daadc4144018c6bd864648272b34da8980d31521ffcce92ae003b");
}

TEST(Pbkdf2Sha256, RefusesIterationCountsOutsideItsRange) {
  const uint8_t password[] = {'p'}, salt[] = {'s'};
  uint8_t out[32];
  EXPECT_FALSE(Pbkdf2Sha256(password, 1, salt, 1, 0, out, sizeof out));
  EXPECT_FALSE(Pbkdf2Sha256(password, 1, salt, 1, 0x80000000u, out, sizeof out));
}

}  // namespace
