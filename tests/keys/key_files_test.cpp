#include "keys/key_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "resources/strings.h"
#include "tests/keys/test_keys.h"
#include "tests/support/report_capture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Makes the next replacement of one file fail part-way: natively through a
// file size limit (the temporary file cannot be written in full), on Windows
// by holding the file open without sharing (it cannot be replaced).
class WriteFailure {
 public:
  explicit WriteFailure(const fs::path& target) {
#ifdef _WIN32
    h_ = CreateFileA(target.string().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
#else
    (void)target;
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit small = old_;
    small.rlim_cur = 200;
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
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("vwg-key-files-" + std::to_string(TestSeed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::strcpy(PublicKeyPath, (dir_ / "public.vwg").string().c_str());
    std::strcpy(SecretKeyPath, (dir_ / "secret.vwg").string().c_str());
    ClearReportedErrors();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A ring of n entries: the own key, then friends' keys in turn.
  void WriteRing(int n) {
    std::vector<PublicKeyRecord> ring(n);
    for (int k = 0; k < n; ++k) ring[k] = keys_[k % 4].pub;
    ASSERT_EQ(SavePublicKeyFile(PublicKeyPath, n, ring.data()), 1);
  }
  std::vector<std::string> FilesInDir() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    return names;
  }

  static KeyPair keys_[4];
  fs::path dir_;
  std::vector<PublicKeyRecord> buffer_ = std::vector<PublicKeyRecord>(kMaxRingKeys);
};
KeyPair KeyFiles::keys_[4];

TEST_F(KeyFiles, OwnKeyRingAndSecretFileHaveTheirSizesAndReadBack) {
  WriteRing(1);
  ASSERT_EQ(SaveSecretKeyFile(SecretKeyPath, keys_[0].secret), 1);
  EXPECT_EQ(fs::file_size(PublicKeyPath), 152u);
  EXPECT_EQ(fs::file_size(SecretKeyPath), 938u);
  EXPECT_EQ(FilesInDir().size(), 2u) << "no temporary file is left behind";

  std::memset(&OwnPublicKey, 0, sizeof OwnPublicKey);
  ASSERT_EQ(LoadPublicKeyRing(buffer_.data()), 1);
  EXPECT_EQ(Hex(&OwnPublicKey, 142), Hex(&keys_[0].pub, 142));
  uint16_t secret[kScalarWords];
  ASSERT_EQ(LoadSecretKeyFile(SecretKeyPath, secret), 1);
  EXPECT_EQ(std::memcmp(secret, keys_[0].secret, sizeof secret), 0);
  EXPECT_EQ(Reported.count, 0);
#ifndef _WIN32
  struct stat st;
  ASSERT_EQ(stat(SecretKeyPath, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "the secret key is for its owner only";
#endif
}

TEST_F(KeyFiles, AppendKeepsTheRingInOrder) {
  WriteRing(3);
  const std::string before = ReadBytes(PublicKeyPath);
  const PublicKeyRecord added[2] = {keys_[3].pub, keys_[1].pub};
  ASSERT_EQ(AppendToPublicKeyRing(2, added), 1);
  ASSERT_EQ(LoadPublicKeyRing(buffer_.data()), 5);
  EXPECT_EQ(ReadBytes(PublicKeyPath).substr(10, 3 * 142), before.substr(10, 3 * 142));
  EXPECT_EQ(Hex(&buffer_[3], 142), Hex(&keys_[3].pub, 142));
  EXPECT_EQ(Hex(&buffer_[4], 142), Hex(&keys_[1].pub, 142));
  EXPECT_EQ(Hex(&OwnPublicKey, 142), Hex(&keys_[0].pub, 142));
}

TEST_F(KeyFiles, AppendBeyond1000IsRefusedAndTheRingUnchanged) {
  WriteRing(998);
  const std::string before = ReadBytes(PublicKeyPath);
  const PublicKeyRecord added[3] = {keys_[1].pub, keys_[2].pub, keys_[3].pub};
  EXPECT_EQ(AppendToPublicKeyRing(3, added, false), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_RING_FULL));
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_EQ(ReadBytes(PublicKeyPath), before);

  ASSERT_EQ(AppendToPublicKeyRing(2, added), 1);  // exactly full
  EXPECT_EQ(LoadPublicKeyRing(buffer_.data()), 1000);
  EXPECT_EQ(fs::file_size(PublicKeyPath), 142010u);
}

TEST_F(KeyFiles, FailedWriteLeavesTheOldRingByteForByte) {
  WriteRing(1);
  const std::string before = ReadBytes(PublicKeyPath);
  const PublicKeyRecord two[2] = {keys_[0].pub, keys_[1].pub};
  {
    WriteFailure failure(PublicKeyPath);
    EXPECT_EQ(SavePublicKeyFile(PublicKeyPath, 2, two, false), 0);
  }
  EXPECT_EQ(Reported.count, 1);
  EXPECT_NE(Reported.lastText, "");
  EXPECT_NE(Reported.lastText, StringText(IDS_UNKNOWN_ERROR)) << "the system's own text";
  EXPECT_EQ(ReadBytes(PublicKeyPath), before);
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"public.vwg"}) << "the temporary file is removed";
#ifndef _WIN32
  // The same through an append, which reads the ring first.
  {
    WriteFailure failure(PublicKeyPath);
    EXPECT_EQ(AppendToPublicKeyRing(1, two + 1, false), 0);
  }
  EXPECT_EQ(ReadBytes(PublicKeyPath), before);
  EXPECT_EQ(FilesInDir(), std::vector<std::string>{"public.vwg"});
#endif
}

TEST_F(KeyFiles, FailuresReportTheirTextWithTheFatalFlag) {
  const std::string missing = (dir_ / "missing.vwg").string();
  EXPECT_EQ(LoadPublicKeyFile(missing.c_str(), buffer_.data(), true), 0);
  EXPECT_TRUE(Reported.lastFatal);
#ifndef _WIN32
  EXPECT_EQ(Reported.lastText, "No such file or directory");
#else
  EXPECT_NE(Reported.lastText, StringText(IDS_UNKNOWN_ERROR));
#endif
  uint16_t secret[kScalarWords];
  EXPECT_EQ(LoadSecretKeyFile(missing.c_str(), secret, false), 0);
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_EQ(SaveSecretKeyFile((dir_ / "no-folder" / "s.vwg").string().c_str(), keys_[0].secret), 0);

  // Each kind of key file offered as the other.
  WriteRing(1);
  ASSERT_EQ(SaveSecretKeyFile(SecretKeyPath, keys_[0].secret), 1);
  EXPECT_EQ(LoadSecretKeyFile(PublicKeyPath, secret), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_BAD_SECRET_KEY_FILE));
  EXPECT_EQ(LoadPublicKeyFile(SecretKeyPath, buffer_.data()), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_BAD_PUBLIC_KEY_FILE));
}

TEST_F(KeyFiles, ImportChecksTheOrderOfEveryEntry) {
  const PublicKeyRecord records[2] = {keys_[1].pub, MakeRecord("mallory", SmallOrderPoint())};
  const std::string path = (dir_ / "import.vwg").string();
  ASSERT_EQ(SavePublicKeyFile(path.c_str(), 2, records), 1);
  EXPECT_EQ(LoadPublicKeyFile(path.c_str(), buffer_.data()), 2);
  EXPECT_EQ(LoadImportFile(path.c_str(), buffer_.data()), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_BAD_PUBLIC_KEY_FILE));
  ASSERT_EQ(SavePublicKeyFile(path.c_str(), 1, records), 1);
  EXPECT_EQ(LoadImportFile(path.c_str(), buffer_.data()), 1);
}

TEST_F(KeyFiles, WritesThatCouldNotBeReadBackAreRefused) {
  CurvePoint off = keys_[1].point;
  off.y[3] ^= 0x10;
  const PublicKeyRecord bad = MakeRecord("bad", off);
  EXPECT_EQ(SavePublicKeyFile(PublicKeyPath, 1, &bad), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_BAD_KEY));
  EXPECT_FALSE(fs::exists(PublicKeyPath));

  uint16_t secret[kScalarWords] = {3, 1, 0, 0};  // the top bit is not set
  EXPECT_EQ(SaveSecretKeyFile(SecretKeyPath, secret), 0);
  EXPECT_EQ(Reported.lastText, StringText(IDS_BAD_SECRET_KEY_FILE));
  EXPECT_FALSE(fs::exists(SecretKeyPath));
}

}  // namespace
