#include "tests/app/tray_fixture.h"

#include <cstdlib>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/key_files.h"

namespace tray {

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
  publicPath_ = folder_.File("public.vwg");
  secretPath_ = folder_.File("secret.vwg");
}

TrayProgram::~TrayProgram() { driver::DeleteRegTree("Software\\Corvandel"); }

void TrayProgram::MakeKeys(int ringCount) {
  ring_.assign(ringCount, PublicKeyRecord{});
  uint16_t other[kScalarWords];
  ASSERT_TRUE(GenerateKeyPair(secret_, ring_[0], "Me"));
  for (int i = 1; i < ringCount; ++i)
    ASSERT_TRUE(GenerateKeyPair(other, ring_[i], ("Friend " + std::to_string(i)).c_str()));
  SaveKeys(ring_, secret_);
}

void TrayProgram::SaveKeys(const std::vector<PublicKeyRecord>& ring, const uint16_t* secret) {
  ASSERT_EQ(SavePublicKeyFile(publicPath_.c_str(), static_cast<int>(ring.size()), ring.data()), KeyFileStatus::kOk);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret), KeyFileStatus::kOk);
  ASSERT_TRUE(driver::WriteRegString(kKeysKey, "Public Key", publicPath_));
  ASSERT_TRUE(driver::WriteRegString(kKeysKey, "Secret Key", secretPath_));
}

std::string TrayProgram::MakeKeyFile(const char* name, int count) {
  std::vector<PublicKeyRecord> keys(count);
  uint16_t secret[kScalarWords];
  for (int i = 0; i < count; ++i) GenerateKeyPair(secret, keys[i], ("Import " + std::to_string(i)).c_str());
  const std::string path = folder_.File(name);
  EXPECT_EQ(SavePublicKeyFile(path.c_str(), count, keys.data()), KeyFileStatus::kOk);
  return path;
}

driver::Program TrayProgram::Start(const std::string& args) {
  driver::Program program = driver::StartProgram(ProgramPath(), args, folder_.path());
  EXPECT_TRUE(program) << "could not start " << ProgramPath();
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
  EXPECT_EQ(driver::ExitThroughTrayMenu(program), std::optional<uint32_t>(0));
}

std::string TrayProgram::KeyIdName(const PublicKeyRecord& key) {
  char fingerprint[kFingerprintChars + 1];
  EXPECT_EQ(KeyFingerprint(key, kNoStrongKey, fingerprint), 1);
  std::string id;
  for (const char* c = fingerprint; *c && id.size() < 16; ++c)
    if (*c != ' ') id += *c;
  return id;
}

}  // namespace tray
