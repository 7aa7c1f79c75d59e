// Fault injection into the key-file writes: every step of a write (open,
// each write, flush, close, replace) made to fail in turn, with the error a
// real system gives there. Each time the old file must stay byte for byte,
// no temporary file may be left, and the system's last error must be that
// error, for the caller's report to show its text. Then what a write does
// beside its file: the permissions a restored file gets back, and the
// temporary files of killed writers that it removes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/file_snapshot.h"
#include "base/system_error.h"
#include "keys/formats/key_format.h"
#include "keys/key_files.h"
#include "tests/keys/test_keys.h"

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// What a real system reports at each step.
#ifdef _WIN32
constexpr int kOpenError = ERROR_ACCESS_DENIED;
constexpr int kPermissionsError = ERROR_INVALID_OWNER;
constexpr int kDiskFull = ERROR_DISK_FULL;
constexpr int kFlushError = ERROR_WRITE_FAULT;
constexpr int kCloseError = ERROR_WRITE_FAULT;
constexpr int kReplaceError = ERROR_SHARING_VIOLATION;  // the target held open by another program
constexpr int kNameTaken = ERROR_FILE_EXISTS;
#else
constexpr int kOpenError = EACCES;
constexpr int kPermissionsError = EPERM;
constexpr int kDiskFull = ENOSPC;
constexpr int kFlushError = EIO;
constexpr int kCloseError = EDQUOT;  // NFS reports quotas at the close
constexpr int kReplaceError = EXDEV;
constexpr int kNameTaken = EEXIST;
#endif

int ErrorFor(FileStep step) {
  switch (step) {
    case FileStep::kOpen: return kOpenError;
    case FileStep::kPermissions: return kPermissionsError;
    case FileStep::kWrite: return kDiskFull;
    case FileStep::kFlush: return kFlushError;
    case FileStep::kClose: return kCloseError;
    case FileStep::kReplace: return kReplaceError;
  }
  return 0;
}

std::string SystemText(int error) {
#ifdef _WIN32
  SetLastError(static_cast<DWORD>(error));
#else
  errno = error;
#endif
  char buf[256];
  return SystemErrorText(buf, sizeof buf);
}

// The hook's plan: writes are cut into pieces of kPiece bytes, so that a
// file takes several writes; step number failAt (counting from 1) fails with
// the error of its kind, or when shortAt matches a write, that write is made
// short instead.
struct FaultPlan {
  static constexpr int kPiece = 256;
  int steps = 0;
  int failAt = 0;
  int shortAt = 0;
  std::vector<FileStep> seen;
};
FaultPlan Plan;

int PlannedFault(FileStep step, int* bytes) {
  ++Plan.steps;
  Plan.seen.push_back(step);
  if (step == FileStep::kWrite) {
    *bytes = std::min(*bytes, FaultPlan::kPiece);
    if (Plan.steps == Plan.shortAt) *bytes = std::max(1, *bytes / 3);
  }
  return Plan.steps == Plan.failAt ? ErrorFor(step) : 0;
}

// The key files of the running test, for the writes below, which are plain
// functions so that a test can hand them over as they are.
std::string RingPath, SecretPath;

using Write = KeyFileStatus (*)();

// A write's result and the system's text for the last error right after it.
struct Outcome {
  KeyFileStatus status;
  std::string reason;
};

class FileFaults : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (KeyPair& k : keys_) MakeKeyPair(k, "friend");
  }
  void SetUp() override {
    RingPath = folder_.File("public.vwg");
    SecretPath = folder_.File("secret.vwg");
    ASSERT_EQ(SaveRing(3), KeyFileStatus::kOk);
    ASSERT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  }
  void TearDown() override { FileFault = nullptr; }

  // Runs write under the plan.
  static Outcome RunPlanned(int failAt, int shortAt, Write write) {
    Plan = FaultPlan{};
    Plan.failAt = failAt;
    Plan.shortAt = shortAt;
    FileFault = PlannedFault;
    const KeyFileStatus status = write();
    char buf[256];
    Outcome outcome{status, SystemErrorText(buf, sizeof buf)};
    FileFault = nullptr;
    return outcome;
  }

  // Every step of write failed in turn: the file at target keeps its old
  // bytes, only the two key files are in the folder, and the write fails
  // with the system's error of that step left for the report.
  void FailEveryStep(const std::string& target, Write write) {
    ASSERT_EQ(RunPlanned(0, 0, write).status, KeyFileStatus::kOk) << "a clean run under the hook";
    const std::vector<FileStep> steps = Plan.seen;
    ASSERT_GE(std::count(steps.begin(), steps.end(), FileStep::kWrite), 2) << "several writes";
    const std::string after = ReadBytes(target);
    // Back to the old bytes, so that the failures have something to keep.
    ASSERT_EQ(RunPlanned(0, 0, restore_).status, KeyFileStatus::kOk);
    const std::string before = ReadBytes(target);
    ASSERT_NE(before, after);
    const std::vector<std::string> files = folder_.Names();

    for (size_t n = 1; n <= steps.size(); ++n) {
      SCOPED_TRACE("failing step " + std::to_string(n) + " of " + std::to_string(steps.size()));
      const Outcome failed = RunPlanned(static_cast<int>(n), 0, write);
      EXPECT_EQ(failed.status, KeyFileStatus::kSystemError);
      EXPECT_EQ(failed.reason, SystemText(ErrorFor(steps[n - 1])));
      EXPECT_EQ(ReadBytes(target), before);
      EXPECT_EQ(folder_.Names(), files) << "no temporary file is left";
    }
    // A short write is no failure: the rest follows in the next write. Then
    // a full disk right after a short write.
    for (size_t n = 1; n <= steps.size(); ++n) {
      if (steps[n - 1] != FileStep::kWrite) continue;
      SCOPED_TRACE("short write at step " + std::to_string(n));
      EXPECT_EQ(RunPlanned(0, static_cast<int>(n), write).status, KeyFileStatus::kOk);
      EXPECT_EQ(ReadBytes(target), after);
      ASSERT_EQ(RunPlanned(0, 0, restore_).status, KeyFileStatus::kOk);
      const Outcome failed = RunPlanned(static_cast<int>(n) + 1, static_cast<int>(n), write);
      EXPECT_EQ(failed.status, KeyFileStatus::kSystemError);
      EXPECT_EQ(failed.reason, SystemText(kDiskFull));
      EXPECT_EQ(ReadBytes(target), before);
      EXPECT_EQ(folder_.Names(), files);
    }
  }

  // The first count keys as a ring.
  static KeyFileStatus SaveRing(int count) {
    std::vector<PublicKeyRecord> ring(count);
    for (int k = 0; k < count; ++k) ring[k] = keys_[k].pub;
    return SavePublicKeyFile(RingPath.c_str(), count, ring.data());
  }

  static KeyPair keys_[5];
  static Write restore_;
  TestFolder folder_{"vwg-file-faults"};
};
KeyPair FileFaults::keys_[5];
Write FileFaults::restore_ = nullptr;

TEST_F(FileFaults, EveryFailedStepOfARingWriteKeepsTheOldRing) {
  restore_ = [] { return SaveRing(3); };
  FailEveryStep(RingPath, [] { return SaveRing(5); });
}

TEST_F(FileFaults, EveryFailedStepOfARingWriteWithStrongKeysKeepsTheOldRing) {
  restore_ = [] { return SaveRing(3); };
  FailEveryStep(RingPath, [] {
    PublicKeyRing ring;
    for (int k = 0; k < 4; ++k) {
      StrongKey strong;
      EXPECT_TRUE(StrongKeyOf(keys_[k].secret, strong));
      AddRingEntry(ring, keys_[k].pub, strong);
    }
    return SavePublicKeyFile(RingPath.c_str(), ring);
  });
}

TEST_F(FileFaults, EveryFailedStepOfASecretKeyWriteKeepsTheOldKey) {
  restore_ = [] { return SaveSecretKeyFile(SecretPath.c_str(), keys_[0].secret); };
  FailEveryStep(SecretPath, [] { return SaveSecretKeyFile(SecretPath.c_str(), keys_[1].secret); });
}

// A restore gives the temporary file the old file's permissions before the
// bytes go in: one step more that may fail.
FileSnapshot FiveKeyRing;

TEST_F(FileFaults, EveryFailedStepOfARestoreKeepsTheFileAsItIs) {
  ASSERT_EQ(SaveRing(5), KeyFileStatus::kOk);
  FiveKeyRing = TakeFileSnapshot(RingPath.c_str());
  restore_ = [] { return SaveRing(3); };
  FailEveryStep(RingPath, [] {
    return RestoreFileSnapshot(RingPath.c_str(), FiveKeyRing) ? KeyFileStatus::kOk : KeyFileStatus::kSystemError;
  });
  EXPECT_NE(std::find(Plan.seen.begin(), Plan.seen.end(), FileStep::kPermissions), Plan.seen.end());
}

// The secret key's write fails, and so does putting the old ring back: the
// caller learns that the ring now holds a key whose secret key is nowhere,
// and the reason it reports is still the secret key's.
TEST_F(FileFaults, AKeyPairWhoseOldRingCannotBePutBackSaysSo) {
  const std::string oldRing = ReadBytes(RingPath);
  static int opens, replaces;
  for (const bool restoreFails : {false, true}) {
    SCOPED_TRACE(restoreFails ? "the restore fails" : "the restore works");
    opens = replaces = 0;
    FileFault = restoreFails ? +[](FileStep step, int*) {
      if (step == FileStep::kOpen && ++opens == 2) return kOpenError;      // the secret key's
      if (step == FileStep::kReplace && ++replaces == 2) return kReplaceError;  // the old ring's
      return 0;
    } : +[](FileStep step, int*) { return step == FileStep::kOpen && ++opens == 2 ? kOpenError : 0; };
    const KeyPairSave saved = SaveKeyPair(RingPath.c_str(), SecretPath.c_str(), keys_[4].pub, keys_[4].secret);
    char buf[256];
    const std::string reason = SystemErrorText(buf, sizeof buf);
    FileFault = nullptr;
    EXPECT_EQ(saved.status, KeyFileStatus::kSystemError);
    EXPECT_EQ(std::string(saved.failedPath), SecretPath);
    EXPECT_EQ(reason, SystemText(kOpenError));
    EXPECT_EQ(saved.ringNotRestored, restoreFails);
    uint16_t secret[kScalarWords];
    ASSERT_EQ(LoadSecretKeyFile(SecretPath.c_str(), secret), KeyFileStatus::kOk);
    EXPECT_EQ(std::memcmp(secret, keys_[0].secret, sizeof secret), 0) << "the old secret key stays";
    if (restoreFails) {
      PublicKeyRing ring;
      ASSERT_EQ(LoadPublicKeyRing(RingPath.c_str(), ring), KeyFileStatus::kOk);
      ASSERT_EQ(ring.count(), 1);
      EXPECT_EQ(Hex(&ring.keys[0], 142), Hex(&keys_[4].pub, 142));
    } else {
      EXPECT_EQ(ReadBytes(RingPath), oldRing);
    }
    EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"public.vwg", "secret.vwg"}));
    ASSERT_EQ(SaveRing(3), KeyFileStatus::kOk);
  }
  EXPECT_EQ(TextNamingFiles(IDS_RING_NOT_RESTORED, {"C:\\a %s b\\public.vwg"}),
            "The public key ring \"C:\\a %s b\\public.vwg\" could not be put back as it was either: it now holds "
            "only the new public key, whose secret key was saved nowhere.  Put back a copy of your old ring, or "
            "generate new keys again.");
  // A path beyond the text's places leaves it unfilled, not a crash.
  EXPECT_EQ(TextNamingFiles(IDS_RING_NOT_RESTORED, {"a.vwg", "b.vwg"}), StringText(IDS_RING_NOT_RESTORED));
}

TEST_F(FileFaults, ATakenTemporaryNameIsSkipped) {
  static int opens;
  opens = 0;
  FileFault = [](FileStep step, int*) {
    // The first two names are taken, as by a killed earlier run.
    return step == FileStep::kOpen && opens++ < 2 ? kNameTaken : 0;
  };
  EXPECT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[2].secret), KeyFileStatus::kOk);
  FileFault = nullptr;
  EXPECT_EQ(opens, 3);
  uint16_t secret[kScalarWords];
  ASSERT_EQ(LoadSecretKeyFile(SecretPath.c_str(), secret), KeyFileStatus::kOk);
  EXPECT_EQ(std::memcmp(secret, keys_[2].secret, sizeof secret), 0);
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"public.vwg", "secret.vwg"}));
}

#ifndef _WIN32
mode_t ModeOf(const fs::path& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// The modes of the temporary files in the key files' folder, looked at
// before each write into them.
std::vector<mode_t> TempModes;

int RecordTempModes(FileStep step, int*) {
  if (step == FileStep::kWrite) {
    for (const auto& e : fs::directory_iterator(fs::path(SecretPath).parent_path())) {
      if (e.path().extension() == ".tmp") TempModes.push_back(ModeOf(e.path()));
    }
  }
  return 0;
}

// The secret key is for its owner from its first byte on disk: the temporary
// file is made 0600 (whatever the umask), the replaced file stays so, and a
// secret key file put back after a failed key generation is 0600 again.
TEST_F(FileFaults, TheSecretKeyIsNeverReadableByOthers) {
  const mode_t oldMask = umask(0);
  TempModes.clear();
  FileFault = RecordTempModes;
  EXPECT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[1].secret), KeyFileStatus::kOk);
  FileFault = nullptr;
  ASSERT_FALSE(TempModes.empty());
  for (mode_t m : TempModes) EXPECT_EQ(m, 0600u);
  EXPECT_EQ(ModeOf(SecretPath), 0600u);

  const FileSnapshot old = TakeFileSnapshot(SecretPath.c_str());
  ASSERT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[2].secret), KeyFileStatus::kOk);
  ASSERT_TRUE(RestoreFileSnapshot(SecretPath.c_str(), old));
  EXPECT_EQ(ModeOf(SecretPath), 0600u);
  EXPECT_EQ(ReadBytes(SecretPath), std::string(old.bytes.begin(), old.bytes.end()));
  umask(oldMask);
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"public.vwg", "secret.vwg"})) << "no copy anywhere";
}

// A file put back gets exactly the mode it had, whatever the umask, and
// allows nobody more than that while it is being put back.
TEST_F(FileFaults, ARestoredFileGetsItsOwnModeBackAndNeverMoreOnTheWay) {
  const mode_t oldMask = umask(0);
  for (const mode_t mode : {0640, 0604, 0600, 0444, 0664}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    ASSERT_EQ(chmod(RingPath.c_str(), mode), 0);
    const FileSnapshot old = TakeFileSnapshot(RingPath.c_str());
    ASSERT_EQ(SaveRing(5), KeyFileStatus::kOk);
    ASSERT_EQ(chmod(RingPath.c_str(), 0666), 0);
    TempModes.clear();
    FileFault = RecordTempModes;
    EXPECT_TRUE(RestoreFileSnapshot(RingPath.c_str(), old));
    FileFault = nullptr;
    EXPECT_EQ(ModeOf(RingPath), mode);
    ASSERT_FALSE(TempModes.empty());
    for (mode_t m : TempModes) EXPECT_EQ(m & ~mode, 0u) << "the temporary file allowed " << m;
    EXPECT_EQ(ReadBytes(RingPath), std::string(old.bytes.begin(), old.bytes.end()));
    ASSERT_EQ(SaveRing(3), KeyFileStatus::kOk);
  }
  umask(oldMask);
}

// A process that has ended, reaped: nothing runs under its number.
uint32_t EndedProcess() {
  const pid_t pid = fork();
  if (pid == 0) _exit(0);
  waitpid(pid, nullptr, 0);
  return static_cast<uint32_t>(pid);
}

// A child that runs until the test kills it.
struct RunningProcess {
  RunningProcess() : pid(fork()) {
    if (pid == 0) {
      pause();
      _exit(0);
    }
  }
  ~RunningProcess() {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  uint32_t id() const { return static_cast<uint32_t>(pid); }
  pid_t pid;
};

// Beyond any pid_max Linux allows (2^22), still a positive pid_t.
constexpr uint32_t kNobodysProcess = 0x7fffffff;

// A key file reached through symbolic links is replaced where it is: every
// link stays a link, the file at its end gets the new bytes (a secret key
// its owner's only) in its own folder, where the temporary files of ended
// writers are looked for too. A link to no file yet makes that file; links
// in a loop write nothing. (Wine cannot make links from a Windows program:
// vwg_cli_passphrases_test.sh checks vwg.exe through a link made outside.)
TEST_F(FileFaults, AWriteThroughSymbolicLinksReplacesTheFileAtTheirEnd) {
  const fs::path top = fs::path(SecretPath).parent_path(), keys = top / "keys", target = keys / "secret.vwg";
  fs::create_directory(keys);
  ASSERT_EQ(SaveSecretKeyFile(target.c_str(), keys_[0].secret), KeyFileStatus::kOk);
  ASSERT_EQ(chmod(target.c_str(), 0644), 0);
  fs::create_symlink("keys/secret.vwg", top / "linked.vwg");
  fs::create_symlink(top / "linked.vwg", top / "chain.vwg");
  fs::create_directory_symlink("keys", top / "folder");
  fs::create_symlink("keys/new.vwg", top / "to-new.vwg");
  fs::create_symlink("loop-b.vwg", top / "loop-a.vwg");
  fs::create_symlink("loop-a.vwg", top / "loop-b.vwg");
  const std::string stale = (keys / ("secret.vwg." + std::to_string(EndedProcess()) + "-0.tmp")).string();
  ASSERT_TRUE(WriteFileAtomic(stale.c_str(), reinterpret_cast<const uint8_t*>("k"), 1, {}));

  const fs::path paths[] = {top / "linked.vwg", top / "chain.vwg", top / "folder" / "secret.vwg"};
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(paths[k]);
    ASSERT_EQ(SaveSecretKeyFile(paths[k].c_str(), keys_[k + 1].secret), KeyFileStatus::kOk);
    uint16_t secret[kScalarWords];
    ASSERT_EQ(LoadSecretKeyFile(target.c_str(), secret), KeyFileStatus::kOk);
    EXPECT_EQ(std::memcmp(secret, keys_[k + 1].secret, sizeof secret), 0);
    EXPECT_EQ(ModeOf(target), 0600u);
  }
  EXPECT_EQ(fs::read_symlink(top / "linked.vwg"), "keys/secret.vwg");
  EXPECT_EQ(fs::read_symlink(top / "chain.vwg"), top / "linked.vwg");
  EXPECT_TRUE(fs::is_symlink(top / "folder"));

  ASSERT_EQ(SaveSecretKeyFile((top / "to-new.vwg").c_str(), keys_[4].secret), KeyFileStatus::kOk);
  EXPECT_TRUE(fs::is_symlink(top / "to-new.vwg"));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(keys / "new.vwg")));

  EXPECT_EQ(SaveSecretKeyFile((top / "loop-a.vwg").c_str(), keys_[4].secret), KeyFileStatus::kSystemError);
  EXPECT_EQ(errno, ELOOP);
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"chain.vwg", "folder", "keys", "linked.vwg", "loop-a.vwg",
                                                        "loop-b.vwg", "public.vwg", "secret.vwg", "to-new.vwg"}));
  std::vector<std::string> inKeys;
  for (const auto& e : fs::directory_iterator(keys)) inKeys.push_back(e.path().filename().string());
  std::sort(inKeys.begin(), inKeys.end());
  EXPECT_EQ(inKeys, (std::vector<std::string>{"new.vwg", "secret.vwg"})) << "the ended writer's file is gone";
}
#else
// The user this process runs as, in a TOKEN_USER.
std::vector<uint8_t> TokenUser() {
  HANDLE token = nullptr;
  OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
  DWORD size = 0;
  GetTokenInformation(token, ::TokenUser, nullptr, 0, &size);
  std::vector<uint8_t> user(size);
  GetTokenInformation(token, ::TokenUser, user.data(), size, &size);
  CloseHandle(token);
  return user;
}

PSID UserSid(std::vector<uint8_t>& user) { return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid; }

// What the DACL of a file allows, as the system reports it.
struct Dacl {
  bool read = false;
  bool isProtected = false;    // the folder's inheritable entries were kept out
  DWORD entries = 0;
  bool userHasAll = false;     // an entry allows the user every right
  bool othersAllowed = false;  // an entry allows anyone but the user and the system anything
};

Dacl DaclOf(const std::string& path) {
  Dacl d;
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &acl,
                            nullptr, &descriptor) != ERROR_SUCCESS) {
    return d;
  }
  d.read = true;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  d.isProtected = (control & SE_DACL_PROTECTED) != 0;
  std::vector<uint8_t> user = TokenUser();
  for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    GetAce(acl, i, reinterpret_cast<void**>(&ace));
    ++d.entries;
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    PSID sid = &allowed->SidStart;
    if (EqualSid(sid, UserSid(user))) {
      d.userHasAll = d.userHasAll || (allowed->Mask & FILE_ALL_ACCESS) == FILE_ALL_ACCESS;
    } else if (!IsWellKnownSid(sid, WinLocalSystemSid)) {
      d.othersAllowed = true;
    }
  }
  LocalFree(descriptor);
  return d;
}

// The DACLs of the temporary files in the key files' folder, looked at
// before each write into them.
std::vector<Dacl> TempDacls;

int RecordTempDacls(FileStep step, int*) {
  if (step == FileStep::kWrite) {
    for (const auto& e : fs::directory_iterator(fs::path(SecretPath).parent_path())) {
      if (e.path().extension() == ".tmp") TempDacls.push_back(DaclOf(e.path().string()));
    }
  }
  return 0;
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// The secret key file and its temporary file are their owner's only, also
// in a folder whose inheritable entries give everybody everything (a shared
// drive, say), where a public key file gets those entries. Wine keeps no
// security descriptor of a file: it answers with one made from the file's
// Unix mode (entries for the system and the owner, and for Everyone when
// others have rights), so there the test sees whether others may touch the
// file; the protection from the folder's entries and the single entry only
// on Windows.
TEST_F(FileFaults, TheSecretKeyIsForItsOwnerOnly) {
  std::vector<uint8_t> user = TokenUser();
  char* userText = nullptr;
  ASSERT_TRUE(ConvertSidToStringSidA(UserSid(user), &userText));
  const std::string sddl = std::string("D:(A;OICI;FA;;;WD)(A;OICI;FA;;;") + userText + ")";
  LocalFree(userText);
  PSECURITY_DESCRIPTOR open = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &open, nullptr));
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, open, FALSE};
  const std::string shared = folder_.File("shared");
  ASSERT_TRUE(CreateDirectoryA(shared.c_str(), &attributes));
  LocalFree(open);
  SecretPath = shared + "\\secret.vwg";
  RingPath = shared + "\\public.vwg";

  TempDacls.clear();
  FileFault = RecordTempDacls;
  Passphrase passphrase;
  SetPassphrase(passphrase, "owner only");
  EXPECT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[1].secret), KeyFileStatus::kOk);
  EXPECT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[2].secret, passphrase), KeyFileStatus::kOk);
  FileFault = nullptr;
  std::vector<Dacl> dacls = TempDacls;
  ASSERT_EQ(dacls.size(), 2u) << "one temporary file each";
  dacls.push_back(DaclOf(SecretPath));
  ASSERT_EQ(SaveRing(1), KeyFileStatus::kOk);

  for (const Dacl& d : dacls) {
    EXPECT_TRUE(d.read);
    EXPECT_TRUE(d.userHasAll);
    EXPECT_FALSE(d.othersAllowed);
    if (!UnderWine()) {
      EXPECT_TRUE(d.isProtected);
      EXPECT_EQ(d.entries, 1u);
    }
  }
  EXPECT_TRUE(DaclOf(RingPath).othersAllowed) << "the public key file takes what its folder gives";
}

// A file put back gets the DACL it had: a secret key file its owner-only
// one, a ring the folder's entries for everybody; and while it is put back
// it allows nobody more than it is to allow.
TEST_F(FileFaults, ARestoredFileGetsItsOwnDaclBackAndNeverMoreOnTheWay) {
  for (const bool secretFile : {true, false}) {
    SCOPED_TRACE(secretFile ? "the secret key file" : "the ring");
    const std::string& path = secretFile ? SecretPath : RingPath;
    const Dacl before = DaclOf(path);
    ASSERT_EQ(before.othersAllowed, !secretFile);
    const FileSnapshot old = TakeFileSnapshot(path.c_str());
    // Overwritten with the opposite permissions.
    FilePermissions opposite;
    opposite.access = secretFile ? FileAccess::kDefault : FileAccess::kOwnerOnly;
    ASSERT_TRUE(WriteFileAtomic(path.c_str(), reinterpret_cast<const uint8_t*>("x"), 1, opposite));
    ASSERT_NE(DaclOf(path).othersAllowed, before.othersAllowed);

    TempDacls.clear();
    FileFault = RecordTempDacls;
    EXPECT_TRUE(RestoreFileSnapshot(path.c_str(), old));
    FileFault = nullptr;
    ASSERT_FALSE(TempDacls.empty());
    for (const Dacl& d : TempDacls) EXPECT_TRUE(!d.othersAllowed || before.othersAllowed);
    const Dacl after = DaclOf(path);
    EXPECT_EQ(after.othersAllowed, before.othersAllowed);
    EXPECT_EQ(after.userHasAll, before.userHasAll);
    EXPECT_EQ(after.isProtected, before.isProtected);
    EXPECT_EQ(after.entries, before.entries);
    EXPECT_EQ(ReadBytes(path), std::string(old.bytes.begin(), old.bytes.end()));
  }
}

// A process that has ended; its handle is kept open, so that its number
// cannot go to another process (the object remains, signalled).
uint32_t EndedProcess() {
  static HANDLE kept = nullptr;
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string command = std::string("\"") + self + "\" --gtest_filter=-*";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                      &process)) {
    return 0;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  if (kept) CloseHandle(kept);
  kept = process.hProcess;
  return process.dwProcessId;
}

// The test's own process runs.
struct RunningProcess {
  uint32_t id() const { return GetCurrentProcessId(); }
};

// Process numbers are multiples of 4, and none is this large.
constexpr uint32_t kNobodysProcess = 0x7ffffffc;
#endif

// A write removes what killed writers of the same file left: temporary
// files of exactly the names it makes itself for that file, whose process
// has ended. A running process's file, another file's, and every name it
// would not have made stay.
TEST_F(FileFaults, AWriteRemovesOnlyTheTemporaryFilesOfEndedWritersOfItsFile) {
  const uint32_t ended = EndedProcess();
  ASSERT_NE(ended, 0u);
  const RunningProcess running;
  const std::string e = std::to_string(ended), r = std::to_string(running.id());
  const std::vector<std::string> stale = {
      "secret.vwg." + e + "-0.tmp",
      "secret.vwg." + e + "-99.tmp",
      "secret.vwg." + std::to_string(kNobodysProcess) + "-7.tmp",
  };
  std::vector<std::string> kept = {
      "secret.vwg." + r + "-0.tmp",    // its writer runs
      "public.vwg." + e + "-0.tmp",    // another file's
      "xsecret.vwg." + e + "-0.tmp",
      "secret.vwg." + e + "-100.tmp",  // never made: the attempts end at 99
      "secret.vwg.0" + e + "-0.tmp",   // leading zeros
      "secret.vwg." + e + "-00.tmp",
      "secret.vwg." + e + "-01.tmp",
      "secret.vwg." + e + "-0.tmp.old",
      "secret.vwg." + e + "-0.tmpx",
      "secret.vwg." + e + ".tmp",
      "secret.vwg." + e + "-0-1.tmp",
      "secret.vwg." + e + "--0.tmp",
      "secret.vwg.-0.tmp",
      "secret.vwg.0-0.tmp",
      "secret.vwg.4294967296-0.tmp",  // beyond a 32-bit number
      "secret.vwg.x" + e + "-0.tmp",
  };
#ifndef _WIN32
  kept.push_back("secret.vwg.4294967295-0.tmp");  // kill would take it for -1, every process
  kept.push_back("secret.vwg." + std::to_string(getpid()) + "-1.tmp");
#endif
  for (const auto& names : {stale, kept}) {
    for (const std::string& name : names) {
      ASSERT_EQ(WriteFileAtomic(folder_.File(name.c_str()).c_str(), reinterpret_cast<const uint8_t*>("k"), 1, {}),
                1);
    }
  }
  ASSERT_EQ(SaveSecretKeyFile(SecretPath.c_str(), keys_[1].secret), KeyFileStatus::kOk);
  kept.push_back("public.vwg");
  kept.push_back("secret.vwg");
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(folder_.Names(), kept);
}

}  // namespace
