#include "keys/key_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/file_snapshot.h"
#include "base/system_error.h"
#include "keys/formats/key_format.h"
#include "keys/formats/protected_key_file.h"
#include "resources/strings.h"
#include "tests/keys/test_keys.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The system's text for the last error, as an error reporter would show it.
std::string LastErrorText() {
  char buf[256];
  return SystemErrorText(buf, sizeof buf);
}

// Makes the next replacement of one file fail part-way: natively through a
// file size limit (a temporary file of more than 300 bytes cannot be written
// in full: a one-key ring still fits, a secret key file does not), on
// Windows by holding the file open without sharing (it cannot be replaced).
class WriteFailure {
 public:
  explicit WriteFailure(const std::string& target) {
#ifdef _WIN32
    h_ = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
    (void)target;
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = 300;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
#endif
  }
  ~WriteFailure() {
#ifdef _WIN32
    CloseHandle(h_);
#else
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
#endif
  }

 private:
#ifdef _WIN32
  HANDLE h_;
#else
  rlimit old_;
  void (*oldHandler_)(int);
#endif
};

class KeyFiles : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (KeyPair& k : keys_) MakeKeyPair(k, "friend");
    SetUserId(keys_[0].pub, "me");
  }

  // A ring of n entries: the own key, then friends' keys in turn.
  void WriteRing(int n) {
    std::vector<PublicKeyRecord> ring(n);
    for (int k = 0; k < n; ++k) ring[k] = keys_[k % 4].pub;
    ASSERT_EQ(SavePublicKeyFile(ringPath_.c_str(), n, ring.data()), KeyFileStatus::kOk);
  }

  static KeyPair keys_[4];
  TestFolder folder_{"vwg-key-files"};
  const std::string ringPath_ = folder_.File("public.vwg"), secretPath_ = folder_.File("secret.vwg");
  PublicKeyRing ring_;
};
KeyPair KeyFiles::keys_[4];

TEST_F(KeyFiles, OwnKeyRingAndSecretFileHaveTheirSizesAndReadBack) {
  WriteRing(1);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  EXPECT_EQ(fs::file_size(ringPath_), 152u);
  EXPECT_EQ(fs::file_size(secretPath_), 938u);
  EXPECT_EQ(folder_.Names().size(), 2u) << "no temporary file is left behind";

  ASSERT_EQ(LoadPublicKeyRing(ringPath_.c_str(), ring_), KeyFileStatus::kOk);
  ASSERT_EQ(ring_.count(), 1);
  EXPECT_EQ(Hex(&ring_.keys[0], 142), Hex(&keys_[0].pub, 142));
  uint16_t secret[kScalarWords];
  ASSERT_EQ(LoadSecretKeyFile(secretPath_.c_str(), secret), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(secret, keys_[0].secret, sizeof secret), 0);
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(stat(secretPath_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "the secret key is for its owner only";
#endif
}

TEST_F(KeyFiles, ARingOf1000EntriesWithStrongKeysIsReadWhole) {
  PublicKeyRing ring;
  StrongKey strong[2];
  ASSERT_TRUE(StrongKeyOf(keys_[0].secret, strong[0]));
  ASSERT_TRUE(StrongKeyOf(keys_[1].secret, strong[1]));
  for (int k = 0; k < kMaxRingKeys; ++k) AddRingEntry(ring, keys_[k % 2].pub, strong[k % 2]);
  ASSERT_EQ(SavePublicKeyFile(ringPath_.c_str(), ring), KeyFileStatus::kOk);
  EXPECT_EQ(fs::file_size(ringPath_), 264016u);
  ASSERT_EQ(LoadPublicKeyRing(ringPath_.c_str(), ring_), KeyFileStatus::kOk);
  ASSERT_EQ(ring_.count(), kMaxRingKeys);
  EXPECT_EQ(Hex(&ring_.strong[999], sizeof(StrongKey)), Hex(&strong[1], sizeof(StrongKey)));
  EXPECT_EQ(ReadBytes(ringPath_).size(), TakeFileSnapshot(ringPath_.c_str()).bytes.size());
}

TEST_F(KeyFiles, FailedWriteLeavesTheOldRingByteForByteAndTheSystemsReason) {
  WriteRing(1);
  const std::string before = ReadBytes(ringPath_);
  const PublicKeyRecord three[3] = {keys_[0].pub, keys_[1].pub, keys_[2].pub};
  std::string reason;
  {
    WriteFailure failure(ringPath_);
    EXPECT_EQ(SavePublicKeyFile(ringPath_.c_str(), 3, three), KeyFileStatus::kSystemError);
    reason = LastErrorText();
  }
  EXPECT_NE(reason, "") << "the system's own text";
  EXPECT_EQ(ReadBytes(ringPath_), before);
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"public.vwg"}) << "the temporary file is removed";
}

TEST_F(KeyFiles, FailuresSayWhatWentWrongAndLeaveTheBuffersAlone) {
  WriteRing(2);
  ASSERT_EQ(LoadPublicKeyRing(ringPath_.c_str(), ring_), KeyFileStatus::kOk);
  const std::string missing = folder_.File("missing.vwg");
  EXPECT_EQ(LoadPublicKeyRing(missing.c_str(), ring_), KeyFileStatus::kSystemError);
#ifndef _WIN32
  EXPECT_EQ(LastErrorText(), "No such file or directory");
#else
  EXPECT_NE(LastErrorText(), "");
#endif
  EXPECT_EQ(KeyFileErrorText(KeyFileStatus::kSystemError), nullptr) << "the reporter shows the system's text";
  EXPECT_EQ(ring_.count(), 2) << "a failed load keeps what the ring held";

  uint16_t secret[kScalarWords] = {7};
  EXPECT_EQ(LoadSecretKeyFile(missing.c_str(), secret), KeyFileStatus::kSystemError);
  EXPECT_EQ(secret[0], 7);
  EXPECT_EQ(SaveSecretKeyFile(folder_.File("no-folder/s.vwg").c_str(), keys_[0].secret), KeyFileStatus::kSystemError);

  // Each kind of key file offered as the other.
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  EXPECT_EQ(LoadSecretKeyFile(ringPath_.c_str(), secret), KeyFileStatus::kBadSecretKeyFile);
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kBadSecretKeyFile), "Incorrect secret key file format!");
  EXPECT_EQ(LoadPublicKeyRing(secretPath_.c_str(), ring_), KeyFileStatus::kBadPublicKeyFile);
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kBadPublicKeyFile), "Incorrect public key file format!");
  EXPECT_EQ(ring_.count(), 2);
}

TEST_F(KeyFiles, ImportChecksTheOrderOfEveryEntry) {
  const PublicKeyRecord records[2] = {keys_[1].pub, MakeRecord("mallory", SmallOrderPoint())};
  const std::string path = folder_.File("import.vwg");
  ASSERT_EQ(SavePublicKeyFile(path.c_str(), 2, records), KeyFileStatus::kOk);
  EXPECT_EQ(LoadPublicKeyRing(path.c_str(), ring_), KeyFileStatus::kOk);
  EXPECT_EQ(ring_.count(), 2);
  EXPECT_EQ(LoadImportFile(path.c_str(), ring_), KeyFileStatus::kBadPublicKeyFile);
  ASSERT_EQ(SavePublicKeyFile(path.c_str(), 1, records), KeyFileStatus::kOk);
  EXPECT_EQ(LoadImportFile(path.c_str(), ring_), KeyFileStatus::kOk);
  EXPECT_EQ(ring_.count(), 1);
}

TEST_F(KeyFiles, WritesThatCouldNotBeReadBackAreRefused) {
  CurvePoint off = keys_[1].point;
  off.y[3] ^= 0x10;
  const PublicKeyRecord bad = MakeRecord("bad", off);
  EXPECT_EQ(SavePublicKeyFile(ringPath_.c_str(), 1, &bad), KeyFileStatus::kBadKey);
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kBadKey), StringText(IDS_BAD_KEY));
  EXPECT_EQ(SavePublicKeyFile(ringPath_.c_str(), 0, &bad), KeyFileStatus::kBadPublicKeyFile);
  EXPECT_FALSE(fs::exists(ringPath_));

  uint16_t secret[kScalarWords] = {3, 1, 0, 0};  // the top bit is not set
  EXPECT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret), KeyFileStatus::kBadSecretKeyFile);
  EXPECT_FALSE(fs::exists(secretPath_));
}

// Passphrases as typed: a composed "ü" and a CJK character in UTF-8, the
// same text without them, and one that differs only at its end.
constexpr char kPassphrase[] = "Schl\xC3\xBCssel \xE2\x80\x93 \xE9\x8D\xB5";
constexpr char kAsciiLookalike[] = "Schlussel - ";
constexpr char kOneMore[] = "Schl\xC3\xBCssel \xE2\x80\x93 \xE9\x8D\xB5 ";

// A key buffer that shows whether a refused load touched it.
struct KeyBuffer {
  uint16_t words[kScalarWords];
  KeyBuffer() { std::fill(words, words + kScalarWords, 0x7777); }
  bool Untouched() const {
    return std::all_of(words, words + kScalarWords, [](uint16_t w) { return w == 0x7777; });
  }
};

TEST_F(KeyFiles, AProtectedSecretKeyOpensWithItsPassphraseOnly) {
  Passphrase right, none;
  SetPassphrase(right, kPassphrase);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[0].secret, right), KeyFileStatus::kOk);
  EXPECT_EQ(fs::file_size(secretPath_), 996u);
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"secret.vwg"}) << "no temporary file is left behind";
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(stat(secretPath_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
  bool isProtected = false;
  ASSERT_EQ(InspectSecretKeyFile(secretPath_.c_str(), &isProtected), KeyFileStatus::kOk);
  EXPECT_TRUE(isProtected);

  KeyBuffer key;
  EXPECT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words), KeyFileStatus::kPassphraseNeeded);
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kPassphraseNeeded), StringText(IDS_PASSPHRASE_NEEDED));
  for (const char* wrong : {kAsciiLookalike, kOneMore}) {
    Passphrase p;
    SetPassphrase(p, wrong);
    EXPECT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words, p), KeyFileStatus::kWrongPassphrase) << wrong;
  }
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kWrongPassphrase),
               "Wrong passphrase, or the secret key file is damaged.");
  EXPECT_TRUE(key.Untouched());
  ASSERT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words, right), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(key.words, keys_[0].secret, sizeof key.words), 0);

  // Back in the clear, where a passphrase is not needed and not looked at.
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[1].secret, none), KeyFileStatus::kOk);
  EXPECT_EQ(fs::file_size(secretPath_), 938u);
  ASSERT_EQ(InspectSecretKeyFile(secretPath_.c_str(), &isProtected), KeyFileStatus::kOk);
  EXPECT_FALSE(isProtected);
  ASSERT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words, right), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(key.words, keys_[1].secret, sizeof key.words), 0);
}

// Set, change and remove: each step rewrites the whole file, a refused one
// writes nothing, and the way back gives the very bytes of the file in the
// clear.
TEST_F(KeyFiles, APassphraseIsSetChangedAndRemovedOrNothingIsWritten) {
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[2].secret), KeyFileStatus::kOk);
  const std::string clear = ReadBytes(secretPath_);
  Passphrase none, first, second;
  SetPassphrase(first, kPassphrase);
  SetPassphrase(second, kAsciiLookalike);

  ASSERT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), none, first), KeyFileStatus::kOk);
  ASSERT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), first, second), KeyFileStatus::kOk);
  const std::string sealed = ReadBytes(secretPath_);
  EXPECT_EQ(sealed.size(), 996u);
  EXPECT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), first, none), KeyFileStatus::kWrongPassphrase);
  EXPECT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), none, first), KeyFileStatus::kPassphraseNeeded);
  EXPECT_EQ(ReadBytes(secretPath_), sealed);

  ASSERT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), second, none), KeyFileStatus::kOk);
  EXPECT_EQ(ReadBytes(secretPath_), clear);
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"secret.vwg"});
}

// A protected file of key under p with count rounds, as another program (or
// a damaged disk) could leave it.
std::string ProtectedFile(const uint16_t* key, const Passphrase& p, uint32_t count) {
  std::string file(kProtectedFileBytes, '\0');
  const uint8_t salt[kProtectedSaltBytes] = {1}, nonce[kGcmNonceBytes] = {2};
  EXPECT_EQ(FormatProtectedKeyFileWith(key, p.data(), p.size(), count, salt, nonce,
                                       reinterpret_cast<uint8_t*>(file.data())),
            ProtectedKeyStatus::kOk);
  return file;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A protected file that is malformed is refused before its passphrase is
// tried, whatever the passphrase; a changed byte under the tag cannot be
// told from a wrong passphrase. The files have the fewest rounds that are
// opened, to be quick.
TEST_F(KeyFiles, ADamagedProtectedFileIsRefusedAndNeverTakenForVersionOne) {
  Passphrase right;
  SetPassphrase(right, kPassphrase);
  const std::string file = ProtectedFile(keys_[3].secret, right, kMinUnlockIterations);
  auto load = [&](const std::string& bytes, const Passphrase& p) {
    WriteBytes(secretPath_, bytes);
    KeyBuffer key;
    const KeyFileStatus status = LoadSecretKeyFile(secretPath_.c_str(), key.words, p);
    EXPECT_EQ(key.Untouched(), status != KeyFileStatus::kOk);
    return status;
  };
  ASSERT_EQ(load(file, right), KeyFileStatus::kOk);

  std::string changed = file;
  changed[500] ^= 0x20;
  EXPECT_EQ(load(changed, right), KeyFileStatus::kWrongPassphrase);
  const Passphrase none;
  for (const std::string& bad :
       {file + '\0', file.substr(0, kProtectedFileBytes - 1), file.substr(0, kSecretFileBytes)}) {
    EXPECT_EQ(load(bad, right), KeyFileStatus::kBadSecretKeyFile) << bad.size();
    EXPECT_EQ(load(bad, none), KeyFileStatus::kBadSecretKeyFile) << bad.size();
    bool isProtected;
    EXPECT_EQ(InspectSecretKeyFile(secretPath_.c_str(), &isProtected), KeyFileStatus::kBadSecretKeyFile);
  }
  // A version-1 file may still carry bytes after its 938.
  std::string clear(kSecretFileBytes, '\0');
  FormatSecretKeyFile(keys_[3].secret, reinterpret_cast<uint8_t*>(clear.data()));
  EXPECT_EQ(load(clear + std::string(100, 'x'), none), KeyFileStatus::kOk);
}

// The format takes counts from 1, an unlock none below 100,000: such a file
// is damaged, or was put there to make the passphrase typed into it cheap
// to guess. Every way of opening it refuses it before the passphrase is
// tried, and it stays as it is.
TEST_F(KeyFiles, AProtectedFileBelow100000RoundsIsRefusedBeforeItsPassphrase) {
  Passphrase right;
  const Passphrase none;
  SetPassphrase(right, kPassphrase);
  for (const uint32_t count : {1u, kMinUnlockIterations - 1}) {
    SCOPED_TRACE(count);
    const std::string file = ProtectedFile(keys_[2].secret, right, count);
    WriteBytes(secretPath_, file);
    KeyBuffer key;
    KeyFileRewrite rewrite;
    EXPECT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words), KeyFileStatus::kTooFewIterations);
    EXPECT_EQ(LoadSecretKeyFile(secretPath_.c_str(), key.words, right), KeyFileStatus::kTooFewIterations);
    EXPECT_EQ(UnlockSecretKeyFile(secretPath_.c_str(), key.words, right, rewrite), KeyFileStatus::kTooFewIterations);
    EXPECT_EQ(rewrite.oldIterations, 0u);
    bool isProtected;
    EXPECT_EQ(InspectSecretKeyFile(secretPath_.c_str(), &isProtected), KeyFileStatus::kTooFewIterations);
    EXPECT_EQ(ChangeSecretKeyPassphrase(secretPath_.c_str(), right, none), KeyFileStatus::kTooFewIterations);
    EXPECT_TRUE(key.Untouched());
    EXPECT_EQ(ReadBytes(secretPath_), file);
    // The format itself still reads it.
    EXPECT_EQ(ParseProtectedKeyFile(reinterpret_cast<const uint8_t*>(file.data()), kProtectedFileBytes, right.data(),
                                    right.size(), key.words),
              ProtectedKeyStatus::kOk);
  }
  EXPECT_STREQ(KeyFileErrorText(KeyFileStatus::kTooFewIterations),
               "The secret key file is damaged: its passphrase protection has fewer than 100,000 iterations, which "
               "no copy of Vaultwing writes.  It has been left as it is.");
}

// An unlock of a file with fewer rounds than ours writes it again with ours
// (a new salt and nonce, the same passphrase, its owner's only) and says so;
// after that, and for a wrong passphrase, there is nothing to write.
TEST_F(KeyFiles, AnUnlockWritesAWeakerFileAgainWithOurCount) {
  Passphrase right, wrong;
  SetPassphrase(right, kPassphrase);
  SetPassphrase(wrong, kAsciiLookalike);
  const std::string weak = ProtectedFile(keys_[1].secret, right, kMinUnlockIterations);
  WriteBytes(secretPath_, weak);
  KeyBuffer key;
  KeyFileRewrite rewrite;
  EXPECT_EQ(UnlockSecretKeyFile(secretPath_.c_str(), key.words, wrong, rewrite), KeyFileStatus::kWrongPassphrase);
  EXPECT_EQ(rewrite.oldIterations, 0u);
  EXPECT_EQ(ReadBytes(secretPath_), weak);

  ASSERT_EQ(UnlockSecretKeyFile(secretPath_.c_str(), key.words, right, rewrite), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(key.words, keys_[1].secret, sizeof key.words), 0);
  EXPECT_EQ(rewrite.oldIterations, kMinUnlockIterations);
  EXPECT_EQ(rewrite.status, KeyFileStatus::kOk);
  EXPECT_EQ(KeyFileRewriteText("C:\\keys\\secret.vwg", rewrite),
            "The secret key file \"C:\\keys\\secret.vwg\" was protected with only 100,000 iterations, which makes a "
            "passphrase cheap to guess.  It has been written again with 600,000, under the same passphrase.");
  const std::string strong = ReadBytes(secretPath_);
  ASSERT_EQ(strong.size(), 996u);
  EXPECT_EQ(Hex(strong.data() + kProtectedIterationsAt, 4), "c0270900") << "600,000";
  EXPECT_NE(strong.substr(kProtectedSaltAt, 28), weak.substr(kProtectedSaltAt, 28)) << "a new salt and nonce";
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"secret.vwg"});
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(stat(secretPath_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif

  KeyBuffer again;
  ASSERT_EQ(UnlockSecretKeyFile(secretPath_.c_str(), again.words, right, rewrite), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(again.words, keys_[1].secret, sizeof again.words), 0) << "the same passphrase opens it";
  EXPECT_EQ(rewrite.oldIterations, 0u);
  EXPECT_EQ(KeyFileRewriteText(secretPath_.c_str(), rewrite), "");
  EXPECT_EQ(ReadBytes(secretPath_), strong);
}

// A rewrite that fails leaves the file as it was and the key open, and the
// text says why, in the system's words.
TEST_F(KeyFiles, AFailedRewriteLeavesTheFileAndTheKeyOpen) {
  Passphrase right;
  SetPassphrase(right, kPassphrase);
  const std::string weak = ProtectedFile(keys_[2].secret, right, kMinUnlockIterations + 1);
  WriteBytes(secretPath_, weak);
#ifdef _WIN32
  constexpr int kDiskFull = ERROR_DISK_FULL;
#else
  constexpr int kDiskFull = ENOSPC;
#endif
  FileFault = [](FileStep step, int*) { return step == FileStep::kWrite ? kDiskFull : 0; };
  KeyBuffer key;
  KeyFileRewrite rewrite;
  const KeyFileStatus status = UnlockSecretKeyFile(secretPath_.c_str(), key.words, right, rewrite);
  const std::string text = KeyFileRewriteText("secret.vwg", rewrite);
  FileFault = nullptr;
  EXPECT_EQ(status, KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(key.words, keys_[2].secret, sizeof key.words), 0);
  EXPECT_EQ(rewrite.oldIterations, kMinUnlockIterations + 1);
  EXPECT_EQ(rewrite.status, KeyFileStatus::kSystemError);
  EXPECT_EQ(ReadBytes(secretPath_), weak);
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"secret.vwg"});
#ifdef _WIN32
  SetLastError(kDiskFull);
#else
  errno = kDiskFull;
#endif
  EXPECT_EQ(text, "The secret key file \"secret.vwg\" is protected with only 100,001 iterations.  It could not be "
                  "written again with 600,000, so it stays as it was; the key is in use all the same.  The system "
                  "says: " + LastErrorText());
}

// A new key pair replaces both files or neither; when the secret key cannot
// be written the old ring comes back byte for byte, or goes when there was
// none, and the reason is still the system's.
TEST_F(KeyFiles, KeyPairIsSavedWholeOrNotAtAll) {
  WriteRing(3);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  KeyPairSave saved = SaveKeyPair(ringPath_.c_str(), secretPath_.c_str(), keys_[1].pub, keys_[1].secret);
  ASSERT_EQ(saved.status, KeyFileStatus::kOk);
  EXPECT_EQ(saved.failedPath, nullptr);
  ASSERT_EQ(LoadPublicKeyRing(ringPath_.c_str(), ring_), KeyFileStatus::kOk);
  ASSERT_EQ(ring_.count(), 1) << "the old correspondents are gone from the new ring";
  EXPECT_EQ(Hex(&ring_.keys[0], 142), Hex(&keys_[1].pub, 142));
  uint16_t secret[kScalarWords];
  ASSERT_EQ(LoadSecretKeyFile(secretPath_.c_str(), secret), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(secret, keys_[1].secret, sizeof secret), 0);
  Passphrase passphrase;
  SetPassphrase(passphrase, kPassphrase);
  ASSERT_EQ(SaveKeyPair(ringPath_.c_str(), secretPath_.c_str(), keys_[1].pub, keys_[1].secret, passphrase).status,
            KeyFileStatus::kOk);
  ASSERT_EQ(LoadSecretKeyFile(secretPath_.c_str(), secret, passphrase), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(secret, keys_[1].secret, sizeof secret), 0);

  // The one-key ring (280 bytes with its strong key) goes through; the secret
  // key file does not.
  const std::string ring = ReadBytes(ringPath_), key = ReadBytes(secretPath_);
  std::string reason;
  {
    WriteFailure failure(secretPath_);
    saved = SaveKeyPair(ringPath_.c_str(), secretPath_.c_str(), keys_[2].pub, keys_[2].secret);
    reason = LastErrorText();
  }
  EXPECT_EQ(saved.status, KeyFileStatus::kSystemError);
  EXPECT_EQ(std::string(saved.failedPath), secretPath_);
  EXPECT_NE(reason, "");
  EXPECT_EQ(ReadBytes(ringPath_), ring);
  EXPECT_EQ(ReadBytes(secretPath_), key);

  const std::string newRing = folder_.File("new public.vwg");
  {
    WriteFailure failure(secretPath_);
    saved = SaveKeyPair(newRing.c_str(), secretPath_.c_str(), keys_[2].pub, keys_[2].secret);
  }
  EXPECT_EQ(saved.status, KeyFileStatus::kSystemError);
  EXPECT_FALSE(fs::exists(newRing));
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"public.vwg", "secret.vwg"}));

  CurvePoint off = keys_[3].point;
  off.x[2] ^= 1;
  saved = SaveKeyPair(ringPath_.c_str(), secretPath_.c_str(), MakeRecord("bad", off), keys_[3].secret);
  EXPECT_EQ(saved.status, KeyFileStatus::kBadKey);
  EXPECT_EQ(std::string(saved.failedPath), ringPath_);
  EXPECT_EQ(ReadBytes(ringPath_), ring);
  EXPECT_EQ(ReadBytes(secretPath_), key) << "a refused ring writes no secret key";
}

}  // namespace

namespace {

// One file chosen for both keys would end up holding only the secret key:
// the ring, written first, would be gone, and a reported success would hide
// it. Every spelling of one file is refused before anything is written.
TEST_F(KeyFiles, KeyPairForOneFileIsRefusedBeforeAnythingIsWritten) {
  WriteRing(2);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  const std::string ring = ReadBytes(ringPath_), key = ReadBytes(secretPath_);
  const std::string fresh = folder_.File("fresh.vwg");
  std::vector<std::pair<std::string, std::string>> pairs = {
      {ringPath_, ringPath_},
      {secretPath_, folder_.File(".") + "/secret.vwg"},
      {fresh, fresh},
  };
#ifdef _WIN32
  std::string upper = secretPath_;
  upper.replace(upper.size() - 10, 10, "SECRET.VWG");
  pairs.push_back({upper, secretPath_});
#else
  const std::string link = folder_.File("link.vwg");
  ASSERT_EQ(::link(secretPath_.c_str(), link.c_str()), 0);
  pairs.push_back({link, secretPath_});
#endif
  for (const auto& [publicPath, secretPath] : pairs) {
    SCOPED_TRACE(publicPath + " and " + secretPath);
    const KeyPairSave saved = SaveKeyPair(publicPath.c_str(), secretPath.c_str(), keys_[1].pub, keys_[1].secret);
    EXPECT_EQ(saved.status, KeyFileStatus::kSameFile);
    EXPECT_EQ(std::string(KeyFileErrorText(saved.status)),
              "The public key file and the secret key file must be two different files.  Nothing has been written.");
    EXPECT_EQ(ReadBytes(ringPath_), ring);
    EXPECT_EQ(ReadBytes(secretPath_), key);
    EXPECT_FALSE(fs::exists(fresh));
  }
  // Two files of one name in two folders are two files.
  fs::create_directory(folder_.File("other"));
  const std::string other = folder_.File("other") + "/fresh.vwg";
  EXPECT_EQ(SaveKeyPair(other.c_str(), fresh.c_str(), keys_[1].pub, keys_[1].secret).status, KeyFileStatus::kOk);
}

}  // namespace
