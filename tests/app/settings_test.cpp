// The settings and the system registrations against Wine's real registry,
// and the version check of the common controls.
#include "app/settings.h"

#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/common_controls.h"
#include "app/process_state.h"
#include "keys/registry_names.h"
#include "tests/support/report_capture.h"
#include "tests/wine/system.h"
#include "win/registry.h"

namespace {

class Settings : public ::testing::Test {
 protected:
  void SetUp() override { ClearReportedErrors(); }
};

using driver::ReadRegDword;
using driver::ReadRegString;

}  // namespace

TEST_F(Settings, GetTheirDefaultsWrittenAndKeepStoredValues) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  DWORD* const messages[] = {&AutoEncrypt, &AutoDecrypt, &NoEncryptWarning, &NoInsecureWarning, &DecryptCopied};
  const char* const messageNames[] = {"AutoEncrypt", "AutoDecrypt", "NoEncryptWarning", "NoInsecureWarning",
                                      "DecryptCopied"};
  LaunchOnStartup = 7;
  Skins = 7;
  for (DWORD* flag : messages) *flag = 7;
  LoadSettings();
  EXPECT_EQ(LaunchOnStartup, 1u);
  EXPECT_EQ(Skins, 0u);
  for (DWORD* flag : messages) EXPECT_EQ(*flag, 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "LaunchOnStartup"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "Skins"), 0u);
  for (const char* name : messageNames) EXPECT_EQ(ReadRegDword(kSettingsKey, name), 0u) << name;

  RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "Skins", 2, true);  // any nonzero value is on
  RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "NoInsecureWarning", 2, true);
  LoadSettings();
  EXPECT_EQ(Skins, 2u);
  EXPECT_EQ(NoInsecureWarning, 2u);
  EXPECT_EQ(AutoDecrypt, 0u);
  LaunchOnStartup = 0;
  Skins = 1;
  AutoEncrypt = 1;
  NoInsecureWarning = 0;
  DecryptCopied = 1;
  SaveSettings();
  EXPECT_EQ(ReadRegDword(kSettingsKey, "LaunchOnStartup"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "Skins"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "AutoEncrypt"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "AutoDecrypt"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "NoInsecureWarning"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "DecryptCopied"), 1u);
  for (DWORD* flag : messages) *flag = 0;
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

TEST_F(Settings, RegistrationsNameTheProgramAndFollowLaunchOnStartup) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kAddOnKey);
  LaunchOnStartup = 0;
  WriteRegistrations("C:\\Program Files\\VWG\\vaultwing.exe", "C:\\work");
  EXPECT_EQ(ReadRegString("Software\\Classes\\.vwg", ""), "VWG.KeyFile");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile", ""), "Vaultwing Key File");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile\\DefaultIcon", ""),
            "\"C:\\Program Files\\VWG\\vaultwing.exe\",1");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile\\shell\\open\\command", ""),
            "\"C:\\Program Files\\VWG\\vaultwing.exe\" \"%1\"");
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kAddOnKey, 0, KEY_READ, &key), ERROR_SUCCESS);

  LaunchOnStartup = 1;
  WriteRegistrations("C:\\vwg.exe", "D:\\start here");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Enable"), "Yes");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Parameters"), "");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Path"), "C:\\vwg.exe");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Startup"), "D:\\start here");
  EXPECT_EQ(Reported.count, 0);
  RegDeleteTreeA(HKEY_CURRENT_USER, kAddOnKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.vwg");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VWG.KeyFile");
}

TEST_F(Settings, HotkeysDefaultToCtrlShiftEAndDAndKeepStoredValuesIncludingNone) {
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  HotkeyEncrypt = HotkeyDecrypt = 7;
  LoadSettings();
  EXPECT_EQ(HotkeyEncrypt, static_cast<DWORD>(MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT)));
  EXPECT_EQ(HotkeyDecrypt, static_cast<DWORD>(MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_SHIFT)));
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyEncrypt"), HotkeyEncrypt);

  // 0 is none, not missing: it stays.
  RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, "HotkeyEncrypt", 0, true);
  RegDeleteValueAt(HKEY_CURRENT_USER, kSettingsKey, "HotkeyDecrypt");
  LoadSettings();
  EXPECT_EQ(HotkeyEncrypt, 0u);
  EXPECT_EQ(HotkeyDecrypt, static_cast<DWORD>(MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_SHIFT))) << "absent: the default";
  HotkeyDecrypt = MAKEWORD(VK_F9, HOTKEYF_ALT);
  SaveSettings();
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyEncrypt"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyDecrypt"), static_cast<DWORD>(MAKEWORD(VK_F9, HOTKEYF_ALT)));
  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
}

TEST_F(Settings, StartWithWindowsIsTheQuotedRunValueWhichRegistrationsRepointButNeverCreate) {
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, kRunValue);
  LaunchOnStartup = 0;
  WriteRegistrations("C:\\vwg\\vaultwing.exe", "C:\\");
  EXPECT_FALSE(StartsWithWindows()) << "off by default";
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), std::nullopt);

  SetStartWithWindows(true, "C:\\Program Files\\VWG\\vaultwing.exe");
  EXPECT_TRUE(StartsWithWindows());
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), "\"C:\\Program Files\\VWG\\vaultwing.exe\"");
  // A moved program started once is started from its new place.
  WriteRegistrations("D:\\moved here\\vaultwing.exe", "C:\\");
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), "\"D:\\moved here\\vaultwing.exe\"");

  RegWriteString(HKEY_CURRENT_USER, kRunKey, "Another", "other.exe", 9, true);
  SetStartWithWindows(false, "D:\\moved here\\vaultwing.exe");
  EXPECT_FALSE(StartsWithWindows());
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), std::nullopt);
  EXPECT_EQ(ReadRegString(kRunKey, "Another"), "other.exe") << "only the program's own value goes";
  SetStartWithWindows(false, "D:\\moved here\\vaultwing.exe");
  EXPECT_EQ(Reported.count, 0) << "removing what is not there is no failure";
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Another");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\.vwg");
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Classes\\VWG.KeyFile");
}

TEST(CommonControls, VersionCheckAcceptsFourSeventyAndLater) {
  EXPECT_TRUE(IsCommonControlsVersionSufficient(4, 70));
  EXPECT_TRUE(IsCommonControlsVersionSufficient(4, 71));
  EXPECT_TRUE(IsCommonControlsVersionSufficient(5, 80));
  EXPECT_TRUE(IsCommonControlsVersionSufficient(6, 0));
  EXPECT_FALSE(IsCommonControlsVersionSufficient(4, 0));
  EXPECT_FALSE(IsCommonControlsVersionSufficient(3, 99));
  unsigned major = 0, minor = 0;
  ASSERT_TRUE(GetCommonControlsVersion(&major, &minor));
  EXPECT_TRUE(IsCommonControlsVersionSufficient(major, minor)) << major << "." << minor;
}
