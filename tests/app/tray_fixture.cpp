#include "tests/app/tray_fixture.h"

#include <cstdlib>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/key_files.h"

namespace tray {

void MakeParty(Party& party, const char* id) {
  MakeKeyPair(party, id);
  ASSERT_TRUE(StrongKeyOf(party.secret, party.strong));
}

PublicKeyRing RingOf(const std::vector<RingEntry>& entries) {
  PublicKeyRing ring;
  for (const RingEntry& entry : entries) AddRingEntry(ring, entry.key, entry.strong);
  return ring;
}

std::string WindowsPath(const char* unixPath) {
  std::string path = std::string("Z:") + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string ProgramPath() { return WindowsPath(VWG_PROGRAM_UNIX_PATH); }

TrayProgram::TrayProgram() {
  for (const char* key : {"Software\\Corvandel", "Software\\Mirabilis", "Software\\Classes\\.vwg",
                          "Software\\Classes\\VWG.KeyFile"})
    driver::DeleteRegTree(key);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kRunValue);
  publicPath_ = folder_.File("public.vwg");
  secretPath_ = folder_.File("secret.vwg");
}

TrayProgram::~TrayProgram() {
  driver::DeleteRegTree("Software\\Corvandel");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kRunValue);
}

namespace {

// count new keys named prefix and their number from first on, with strong
// keys or without, added to ring.
void AddNewKeys(PublicKeyRing& ring, int count, const std::string& prefix, int first, FriendKeys keys) {
  for (int i = 0; i < count; ++i) {
    uint16_t secret[kScalarWords];
    PublicKeyRecord key;
    StrongKey strong = kNoStrongKey;
    ASSERT_TRUE(GenerateKeyPair(secret, key, (prefix + std::to_string(first + i)).c_str()));
    if (keys == FriendKeys::kStrong) {
      ASSERT_TRUE(StrongKeyOf(secret, strong));
    }
    AddRingEntry(ring, key, strong);
  }
}

}  // namespace

void TrayProgram::MakeKeys(int ringCount, FriendKeys friends) {
  ring_ = {};
  PublicKeyRecord own;
  StrongKey strong;
  ASSERT_TRUE(GenerateKeyPair(secret_, own, "Me"));
  ASSERT_TRUE(StrongKeyOf(secret_, strong));
  AddRingEntry(ring_, own, strong);
  AddNewKeys(ring_, ringCount - 1, "Friend ", 1, friends);
  SaveKeys(ring_, secret_);
}

void TrayProgram::SaveKeys(const std::vector<RingEntry>& entries, const uint16_t* secret, OwnStrongKey own) {
  PublicKeyRing ring = RingOf(entries);
  if (own == OwnStrongKey::kStored && !ring.strong[0].present) {
    ASSERT_TRUE(StrongKeyOf(secret, ring.strong[0]));
  }
  SaveKeys(ring, secret);
}

void TrayProgram::SaveKeys(const PublicKeyRing& ring, const uint16_t* secret) {
  ASSERT_EQ(SavePublicKeyFile(publicPath_.c_str(), ring), KeyFileStatus::kOk);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret), KeyFileStatus::kOk);
  ASSERT_TRUE(driver::WriteRegString(kKeysKey, "Public Key", publicPath_));
  ASSERT_TRUE(driver::WriteRegString(kKeysKey, "Secret Key", secretPath_));
}

std::string TrayProgram::MakeKeyFile(const char* name, int count, FriendKeys keys) {
  PublicKeyRing file;
  AddNewKeys(file, count, "Import ", 0, keys);
  const std::string path = folder_.File(name);
  EXPECT_EQ(SavePublicKeyFile(path.c_str(), file), KeyFileStatus::kOk);
  return path;
}

driver::Program TrayProgram::Start(const std::string& args) {
  driver::Program program = driver::StartProgram(ProgramPath(), args, folder_.path());
  const DWORD error = GetLastError();
  EXPECT_TRUE(program) << "could not start " << ProgramPath() << ": system error " << error;
  return program;
}

void TrayProgram::ExpectRunning(const driver::Program& program) {
  ASSERT_TRUE(driver::EndSplash(program.pid())) << "no splash: " << driver::Describe(program);
  ASSERT_NE(driver::WaitForMainWindow(program.pid()), nullptr);
}

bool TrayProgram::WaitForRegistrations() {
  return driver::PollUntil(driver::kDefaultTimeoutMs,
                           [] { return driver::ReadRegString(kAddOnKey, "Startup").has_value(); });
}

void TrayProgram::KeepScreenshot(const char* name) {
  if (const char* dir = getenv("VWG_SCREENSHOT_DIR")) driver::TakeScreenshot(std::string(dir) + "\\" + name);
}

HWND TrayProgram::OpenTrayMenu(const driver::Program& program) {
  EXPECT_TRUE(driver::PostTrayCallback(program.pid(), WM_RBUTTONDOWN));
  return driver::WaitForMenu(program.pid());
}

void TrayProgram::ExitThroughMenu(driver::Program& program) {
  const std::string before = driver::DescribeWindows(program.pid());
  EXPECT_EQ(driver::ExitThroughTrayMenu(program), std::optional<uint32_t>(0))
      << "its windows before: " << before << "after: " << driver::DescribeWindows(program.pid()) << "running "
      << program.Running() << "; the balloon says: \"" << driver::ShownBalloon().text << "\"";
}

std::string TrayProgram::KeyIdName(const PublicKeyRecord& key) { return ShownKeyId(key, kNoStrongKey); }

std::string TrayProgram::ShownKeyId(const PublicKeyRecord& key, const StrongKey& strong) {
  std::string id;
  for (char c : ShownFingerprint(key, strong))
    if (c != ' ' && id.size() < 16) id += c;
  return id;
}

std::string TrayProgram::ShownFingerprint(const PublicKeyRecord& key, const StrongKey& strong) {
  char fingerprint[kFingerprintChars + 1];
  EXPECT_TRUE(KeyFingerprint(key, strong, fingerprint));
  return fingerprint;
}

}  // namespace tray
