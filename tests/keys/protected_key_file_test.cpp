// The passphrase-protected secret key file: a known answer written by the
// Python reference (protected_key_file_reference.py), random files checked
// against that reference, and every way a file can be wrong.
#include "keys/formats/protected_key_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "keys/system/hmac_sha256.h"
#include "tests/keys/hex_bytes.h"
#include "tests/keys/test_keys.h"

namespace {

using Status = ProtectedKeyStatus;

// Written once by the reference with no arguments: the scalar (hex, most
// significant digit first), "Schlüssel – 鍵 🔑" in UTF-8, count 1000, and
// the 996-byte file.
constexpr char kKeyHex[] =
    "23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef23456789abcdef2345"
    "6789abcdef0123";
constexpr char kPassphraseHex[] = "5363686cc3bc7373656c20e2809320e98db520f09f9491";
constexpr uint32_t kCount = 1000;
constexpr char kSaltHex[] = "000102030405060708090a0b0c0d0e0f";
constexpr char kNonceHex[] = "a0a1a2a3a4a5a6a7a8a9aaab";
constexpr char kFileHex[] =
    "5657472e020002000100e8030000000102030405060708090a0b0c0d0e0fa0a1a2a3a4a5a6a7a8a9aaab449346c4d9081367"
    "315ad9ca016bea455f5ffcdd319bc64dd5121b577a2dd57232a1736cda72bbddbd5e2f99e2717b3fdf752435939b04d5107e"
    "66a6e12fea2387e251a50137b3ab1c581667da45261f3f9f9af634c723000b7d4ca3a4f01817144e2b7b5b5a756336760a58"
    "82a737012c1fd6481ea69b79237686635e534d49acf3c4a9ed27bfcd0c516bb55b34ca01f22de831993c6d5e4d3c1fd938ff"
    "f0a5cf801d134a173770e02de3ca834d35314e5634b5278ce36eba3be2d8748b5a380176d791194614d5c1bacc18f085127c"
    "7537f3bf5f9f6acfc7f01e13106196b0aa9977a636b62a4ab5b493032f9bc7e369ebecddefa3aadeec328e509886d8503909"
    "ee5c43fafb5912cc0fee58e847fcfdfcca09e04dcf5b6eece518d749f4680b9abad133bccbfae22cb1db4513d3350ced3f7b"
    "a2c13e86de127225546f1e5e050c357e367f2a9a94d2a4b2512ddb0ef37e9e01571d6e96402678e6b98daa14d998d93371d0"
    "958c65a251d3cfea6cd4ff4b5b2557c1639a94cca73d5de28ccdc60d6f260cdd0deedb5b2f9021e4c43bdfbbb300cd0a4ccd"
    "2f5054dcc109738277974e9c36633e81033edbb18266873069c46e8b629b7b1fb72627a6f0b0df3a100a25563c2203c291f4"
    "14ec55fbd663a5bc9777bfaafcb4f29cc672ded8daede0852eb94f0362bedafaa28b4799f140bbaa575c359e87f4d48f2e8f"
    "daeb58f10d637ac16a9313004a629ea4d9536a77be0477bc2284c969d3f96a78134dcdb1b3187e9ac263b7074ca1da50bc05"
    "50b44eb160bcec5d7e6d6b99e05dc08d227ccadcb1f27d6734703a04094aafbe403b9430896aac333cb702d9f18d291cd951"
    "84513597ba70a6e05deecc9cc708cb486260ad76c6d05345c6acb8a16ed71ea4b261db08df0cde97f997c0e0d0f9bb61b119"
    "9c2455b238cdc405d0c107788a312e8943b1924f7e82fdffcd3c28780a6df2616c3d654f35e4b993b55c9468965beeca0007"
    "a09dd5057dd53135c56b58767a467362ccd736f4eebb0b3ee8789bdd80798dbf98728bf42468e3c820aaa6ebf871e3c4f465"
    "cdd9bdf541ca96bd3f7015757ecc673e188fac92cad4290cb83bf83ee0f6c0f13624479d67fa0fe305547d61ee307a9c6cf2"
    "1f4fc7a46f9e96cdafdd793a1b0c5c92ba748fe67f68b6e0f559f38de48051b4473692410c59a24774fb9387df3ce25b508e"
    "fac443d11dd9c32ded994ca510feba2aa3de6696cef12a163b29069689dac91202d83567b749ac2c8f43c27e2cd426c0d17a"
    "69a95437cc095e3fcd2192f2bfe7af0c053c8a9c5aef54168b9f69ed69d9b0ca4074ee18765c03f3f061c54881d6";

constexpr uint16_t kUntouchedWord = 0x7777;

using Bytes = std::vector<uint8_t>;

struct Key {
  uint16_t words[kScalarWords];
  Key() { std::fill(words, words + kScalarWords, kUntouchedWord); }
  bool Untouched() const {
    return std::all_of(words, words + kScalarWords, [](uint16_t w) { return w == kUntouchedWord; });
  }
};

Status Parse(const Bytes& file, const Bytes& passphrase, Key& key) {
  return ParseProtectedKeyFile(file.data(), static_cast<int>(file.size()), passphrase.data(), passphrase.size(),
                               key.words);
}

Bytes Format(const uint16_t* key, const Bytes& passphrase, uint32_t count, const Bytes& salt,
             const Bytes& nonce) {
  Bytes out(kProtectedFileBytes);
  EXPECT_EQ(FormatProtectedKeyFileWith(key, passphrase.data(), passphrase.size(), count, salt.data(),
                                       nonce.data(), out.data()),
            Status::kOk);
  return out;
}

// The scalar as the reference takes it: hex, most significant digit first.
std::string ScalarHex(const uint16_t* key) {
  std::string hex;
  for (int digit = kMaxScalarBits / 4 - 1; digit >= 0; --digit) {
    int v = 0;
    for (int bit = 3; bit >= 0; --bit) v = v << 1 | key[1 + 4 * digit + bit];
    hex += "0123456789abcdef"[v];
  }
  return hex;
}

Bytes RandomBytesOf(std::mt19937& rng, size_t n) {
  Bytes b(n);
  for (uint8_t& v : b) v = static_cast<uint8_t>(rng());
  return b;
}

// A count-1 file of a fresh key, for the tests that spoil files.
struct Sample {
  KeyPair keys;
  Bytes passphrase = BytesOf("correct horse");
  Bytes file;
  Sample() {
    MakeKeyPair(keys);
    file = Format(keys.secret, passphrase, 1, Bytes(kProtectedSaltBytes, 0x5A), Bytes(kGcmNonceBytes, 0xC3));
  }
};

TEST(ProtectedKeyFile, OpensAndReproducesTheReferenceFile) {
  const Bytes file = FromHex(kFileHex), passphrase = FromHex(kPassphraseHex);
  ASSERT_EQ(file.size(), 996u);
  Key key;
  ASSERT_EQ(Parse(file, passphrase, key), Status::kOk);
  EXPECT_EQ(ScalarHex(key.words), kKeyHex);
  EXPECT_EQ(key.words[0], 462);  // the top hex digit is 2
  EXPECT_EQ(Hex(Format(key.words, passphrase, kCount, FromHex(kSaltHex), FromHex(kNonceHex)).data(), 996),
            kFileHex);
}

#ifndef _WIN32
// The five arguments by which the reference writes one file.
void AddReferenceFile(std::string& command, const std::string& keyHex, const std::string& passphraseHex,
                      uint32_t count, const std::string& saltHex, const std::string& nonceHex) {
  command += ' ' + keyHex + ' ' + passphraseHex + ' ' + std::to_string(count) + ' ' + saltHex + ' ' + nonceHex;
}

// Both directions against the reference: random keys, passphrases of random
// bytes and lengths, salts, nonces and small counts; the reference's files
// open with our reader and ours are byte for byte the reference's.
TEST(ProtectedKeyFile, MatchesThePythonReferenceOnRandomFiles) {
  std::mt19937 rng(TestSeed() + 41);
  constexpr int kFiles = 6;
  KeyPair keys[kFiles];
  Bytes passphrases[kFiles], salts[kFiles], nonces[kFiles];
  uint32_t counts[kFiles];
  std::string command = std::string(VWG_PYTHON3 " '") + VWG_PROTECTED_REFERENCE + "'";
  AddReferenceFile(command, kKeyHex, kPassphraseHex, kCount, kSaltHex, kNonceHex);
  for (int i = 0; i < kFiles; ++i) {
    MakeKeyPair(keys[i]);
    passphrases[i] = RandomBytesOf(rng, 1 + rng() % 64);
    salts[i] = RandomBytesOf(rng, kProtectedSaltBytes);
    nonces[i] = RandomBytesOf(rng, kGcmNonceBytes);
    counts[i] = 1 + rng() % 3;
    AddReferenceFile(command, ScalarHex(keys[i].secret), Hex(passphrases[i].data(), passphrases[i].size()),
                     counts[i], Hex(salts[i].data(), salts[i].size()), Hex(nonces[i].data(), nonces[i].size()));
  }
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> lines;
  char line[2 * kProtectedFileBytes + 2];
  while (std::fgets(line, sizeof line, pipe)) lines.emplace_back(line, std::strcspn(line, "\n"));
  ASSERT_EQ(pclose(pipe), 0) << "is python3-cryptography installed? " << command;
  ASSERT_EQ(lines.size(), kFiles + 1u);
  EXPECT_EQ(lines[0], kFileHex) << "the reference no longer writes the known answer";
  for (int i = 0; i < kFiles; ++i) {
    const std::string& theirs = lines[i + 1];
    Key key;
    ASSERT_EQ(Parse(FromHex(theirs), passphrases[i], key), Status::kOk) << theirs;
    EXPECT_EQ(std::memcmp(key.words, keys[i].secret, sizeof key.words), 0) << theirs;
    const Bytes ours = Format(keys[i].secret, passphrases[i], counts[i], salts[i], nonces[i]);
    EXPECT_EQ(Hex(ours.data(), ours.size()), theirs);
  }
}
#endif

// Passphrases are bytes: any other byte string is wrong, including one that
// shows as the same text (a composed "é" against "e" and a combining accent).
TEST(ProtectedKeyFile, RoundTripsRandomKeysAndRefusesEveryOtherPassphrase) {
  std::mt19937 rng(TestSeed() + 42);
  for (int round = 0; round < 8; ++round) {
    KeyPair keys;
    MakeKeyPair(keys);
    Bytes passphrase = RandomBytesOf(rng, 1 + rng() % 100);
    passphrase.back() |= 1;  // a zero at the end would not count (see the header)
    Bytes file(kProtectedFileBytes), again(kProtectedFileBytes);
    ASSERT_EQ(FormatProtectedKeyFile(keys.secret, passphrase.data(), passphrase.size(), 1, file.data()),
              Status::kOk);
    ASSERT_EQ(FormatProtectedKeyFile(keys.secret, passphrase.data(), passphrase.size(), 1, again.data()),
              Status::kOk);
    EXPECT_NE(file, again) << "a fresh salt and nonce for every file";
    Key key;
    ASSERT_EQ(Parse(file, passphrase, key), Status::kOk) << round;
    EXPECT_EQ(std::memcmp(key.words, keys.secret, sizeof key.words), 0) << round;

    Bytes changed = passphrase, longer = passphrase;
    changed[rng() % changed.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
    longer.push_back(static_cast<uint8_t>(1 + rng() % 255));  // not 0: see the header
    const Bytes wrong[] = {changed, longer, Bytes(passphrase.begin(), passphrase.end() - 1)};
    for (const Bytes& w : wrong) {
      Key untouched;
      EXPECT_EQ(Parse(file, w, untouched), Status::kWrongPassphrase) << Hex(w.data(), w.size());
      EXPECT_TRUE(untouched.Untouched());
    }
  }
  Sample s;
  s.file = Format(s.keys.secret, BytesOf("caf\xC3\xA9"), 1, Bytes(kProtectedSaltBytes, 1),
                  Bytes(kGcmNonceBytes, 2));
  Key key;
  EXPECT_EQ(Parse(s.file, BytesOf("cafe\xCC\x81"), key), Status::kWrongPassphrase);
  EXPECT_EQ(Parse(s.file, Bytes(), key), Status::kWrongPassphrase);
  EXPECT_EQ(Parse(s.file, BytesOf("caf\xC3\xA9"), key), Status::kOk);
}

// One changed byte anywhere is refused: in the first 8 as not protected, in
// the KDF field as malformed, in the count as malformed or by the tag (the
// header is associated data), everywhere after it by the tag. Two masks per
// byte, the low bit and all bits; neither turns a count of 1 into more than
// 65,537 rounds.
TEST(ProtectedKeyFile, EveryChangedByteIsRefused) {
  const Sample s;
  int byTag = 0;
  for (int at = 0; at < kProtectedFileBytes; ++at) {
    for (uint8_t mask : {0x01, 0xFF}) {
      Bytes file = s.file;
      file[at] ^= mask;
      Key key;
      const Status status = Parse(file, s.passphrase, key);
      ASSERT_TRUE(key.Untouched()) << at;
      if (at < kProtectedKdfAt) {
        EXPECT_EQ(status, Status::kNotProtected) << at;
      } else if (at < kProtectedIterationsAt) {
        EXPECT_EQ(status, Status::kMalformed) << at;
      } else if (at < kProtectedSaltAt) {
        EXPECT_TRUE(status == Status::kMalformed || status == Status::kWrongPassphrase) << at;
        byTag += status == Status::kWrongPassphrase;
      } else {
        EXPECT_EQ(status, Status::kWrongPassphrase) << at;
      }
    }
  }
  EXPECT_EQ(byTag, 4) << "counts 257, 65,537, 254 and 65,281 reach the tag";
}

TEST(ProtectedKeyFile, SizesKdfsAndCountsOutsideTheFormatAreMalformed) {
  const Sample s;
  auto withCount = [&](uint32_t count) {
    Bytes file = s.file;
    for (int i = 0; i < 4; ++i) file[kProtectedIterationsAt + i] = static_cast<uint8_t>(count >> 8 * i);
    return file;
  };
  Bytes longer = s.file, kdf2 = s.file;
  longer.push_back(0);
  kdf2[kProtectedKdfAt] = 2;
  struct Case {
    const char* name;
    Bytes file;
  } cases[] = {
      {"header only", Bytes(s.file.begin(), s.file.begin() + 8)},
      {"associated data only", Bytes(s.file.begin(), s.file.begin() + kProtectedHeaderBytes)},
      {"one byte short", Bytes(s.file.begin(), s.file.end() - 1)},
      {"one byte over", longer},
      {"KDF 2", kdf2},
      {"count 0", withCount(0)},
      {"count 10,000,001", withCount(10000001)},
      {"count 2^32 - 1", withCount(0xFFFFFFFF)},
  };
  for (const Case& c : cases) {
    Key key;
    EXPECT_EQ(Parse(c.file, s.passphrase, key), Status::kMalformed) << c.name;
    EXPECT_TRUE(key.Untouched()) << c.name;
  }
  // The bounds themselves pass the checks (10,000,000 rounds are not run here).
  for (uint32_t count : {1u, 10000000u}) {
    const Bytes file = withCount(count);
    EXPECT_EQ(CheckProtectedKeyFile(file.data(), kProtectedFileBytes), Status::kOk) << count;
  }
  EXPECT_EQ(CheckProtectedKeyFile(s.file.data(), 7), Status::kNotProtected);
}

// A version-1 reader and this one never take each other's files.
TEST(ProtectedKeyFile, VersionOneAndVersionTwoAreNeverMisread) {
  const Sample s;
  uint16_t key[kScalarWords];
  std::fill(key, key + kScalarWords, kUntouchedWord);
  EXPECT_FALSE(ParseSecretKeyFile(s.file.data(), kProtectedFileBytes, key));
  EXPECT_FALSE(ParseSecretKeyFile(s.file.data(), kSecretFileBytes, key)) << "the 938 bytes a loader reads";
  EXPECT_EQ(key[0], kUntouchedWord);

  Bytes plain(kSecretFileBytes);
  FormatSecretKeyFile(s.keys.secret, plain.data());
  Bytes publicFile(PublicFileBytes(1));
  FormatPublicKeyFile(1, &s.keys.pub, &kNoStrongKey, publicFile.data());
  Bytes publicVersion2 = publicFile;
  publicVersion2[6] = 2;
  for (const Bytes& other : {plain, publicFile, publicVersion2}) {
    Key k;
    EXPECT_FALSE(IsProtectedKeyFile(other.data(), static_cast<int>(other.size())));
    EXPECT_EQ(Parse(other, s.passphrase, k), Status::kNotProtected);
    EXPECT_TRUE(k.Untouched());
  }
  EXPECT_TRUE(IsProtectedKeyFile(s.file.data(), kProtectedFileBytes));
}

// Files whose tag is genuine but whose inner file is not a valid secret key
// file: sealed here with the system primitives, as no writer of ours makes
// them.
TEST(ProtectedKeyFile, AnAuthenticInnerFileIsStillChecked) {
  const Sample s;
  auto sealed = [&](const Bytes& inner) {
    Bytes file = s.file;
    uint8_t fileKey[kAesKeyBytes];
    EXPECT_EQ(Pbkdf2Sha256(s.passphrase.data(), s.passphrase.size(), file.data() + kProtectedSaltAt,
                           kProtectedSaltBytes, 1, fileKey, sizeof fileKey),
              1);
    EXPECT_EQ(AesGcmSeal(fileKey, file.data() + kProtectedNonceAt, file.data(), kProtectedHeaderBytes,
                         inner.data(), inner.size(), file.data() + kProtectedHeaderBytes,
                         file.data() + kProtectedTagAt),
              1);
    return file;
  };
  Bytes inner(kSecretFileBytes);
  FormatSecretKeyFile(s.keys.secret, inner.data());
  Key key;
  ASSERT_EQ(Parse(sealed(inner), s.passphrase, key), Status::kOk) << "the sealing matches the reader's";

  Bytes zeroCount = inner, nested = inner;
  zeroCount[8] = zeroCount[9] = 0;
  nested[6] = 2;  // a protected file's header inside
  for (const Bytes& bad : {zeroCount, nested}) {
    Key k;
    EXPECT_EQ(Parse(sealed(bad), s.passphrase, k), Status::kInvalidInnerFile) << Hex(bad.data(), 12);
    EXPECT_TRUE(k.Untouched());
  }
}

TEST(ProtectedKeyFile, WriterRefusesWhatNoReaderWouldOpen) {
  const Sample s;
  const uint16_t invalid[kScalarWords] = {3, 1, 1, 0};  // the top bit is 0
  struct Case {
    const uint16_t* key;
    size_t passphraseSize;
    uint32_t count;
    Status expected;
  } cases[] = {
      {s.keys.secret, 0, 1, Status::kEmptyPassphrase},
      {s.keys.secret, 4, 0, Status::kMalformed},
      {s.keys.secret, 4, 10000001, Status::kMalformed},
      {invalid, 4, 1, Status::kInvalidInnerFile},
  };
  for (const Case& c : cases) {
    Bytes out(kProtectedFileBytes, 0xEE);
    EXPECT_EQ(FormatProtectedKeyFile(c.key, s.passphrase.data(), c.passphraseSize, c.count, out.data()),
              c.expected);
    EXPECT_EQ(out, Bytes(kProtectedFileBytes, 0xEE));
  }
}

// The count we write, the only test at its full cost.
TEST(ProtectedKeyFile, UnlocksAtTheWrittenCount) {
  const Sample s;
  Bytes file(kProtectedFileBytes);
  ASSERT_EQ(FormatProtectedKeyFile(s.keys.secret, s.passphrase.data(), s.passphrase.size(), kProtectedIterations,
                                   file.data()),
            Status::kOk);
  EXPECT_EQ(Hex(file.data(), kProtectedSaltAt), "5657472e020002000100c0270900")
      << "magic, type 2, version 2, KDF 1, 600,000 = 0x000927C0";
  Key key;
  ASSERT_EQ(Parse(file, s.passphrase, key), Status::kOk);
  EXPECT_EQ(std::memcmp(key.words, s.keys.secret, sizeof key.words), 0);
}

}  // namespace
