// The per-user installer and its uninstaller under Wine: a silent install,
// the installed program started as its shortcut starts it, a silent
// uninstall that keeps the user's keys, and the pages of both wizards.
#include <windows.h>

#include <cstdlib>

#include "resources/resource.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/tray_fixture.h"
#include "tests/package/installed_program.h"

using namespace package;
using driver::ReadRegString;

namespace {

// In double quotes, as the uninstall commands name the uninstaller.
std::string Quoted(const std::string& path) {
  std::string quoted = "\"";
  quoted += path;
  quoted += '"';
  return quoted;
}

class Installer : public tray::TrayProgram {
 protected:
  static void SetUpTestSuite() {
    // Wine would copy each Start-menu shortcut into the Linux desktop's menus.
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "winemenubuilder.exe", REG_SZ, "", 1);
  }
  void SetUp() override { RemoveEverything(); }
  void TearDown() override { RemoveEverything(); }

  std::string Installed(const std::string& name) const { return InstallFolder() + "\\" + name; }

  // The installed program, started as its Start-menu shortcut starts it.
  driver::Program StartFromShortcut() {
    const Shortcut shortcut = ReadShortcut(ShortcutPath());
    driver::Program program = driver::StartProgram(shortcut.target, "", shortcut.workingFolder);
    EXPECT_TRUE(program) << "could not start " << shortcut.target;
    return program;
  }

  // Key files in the install folder, where the program's save dialog opens
  // when it was started from the shortcut.
  void MakeKeysInInstallFolder() {
    publicPath_ = Installed("public.vwg");
    secretPath_ = Installed("secret.vwg");
    MakeKeys();
  }

  HWND WaitForWizard(const char* caption) {
    // The pages append their own part to the caption.
    return driver::WaitForWindow({.className = "#32770", .caption = caption, .captionPrefix = true});
  }
};

TEST_F(Installer, SilentInstallPutsFilesShortcutAndUninstallEntryInPlace) {
  ASSERT_TRUE(InstallSilently());
  for (const char* file : {"vaultwing.exe", "vwg.exe", "README.txt", "uninstall.exe"})
    EXPECT_TRUE(Exists(Installed(file))) << file;
  for (const std::string& skin : kExampleSkins) {
    // The program lists a skin folder only when it has no attribute but this one.
    EXPECT_EQ(GetFileAttributesA(Installed("SKINS\\" + skin).c_str()), DWORD{FILE_ATTRIBUTE_DIRECTORY}) << skin;
    for (const char* picture : {"encrypt.bmp", "decrypt.bmp"})
      EXPECT_TRUE(Exists(Installed("SKINS\\" + skin + "\\" + picture))) << skin << picture;
  }

  const Shortcut shortcut = ReadShortcut(ShortcutPath());
  EXPECT_EQ(shortcut.target, Installed("vaultwing.exe"));
  EXPECT_EQ(shortcut.workingFolder, InstallFolder()) << "the program looks for SKINS in its current folder";

  EXPECT_EQ(ReadRegString(kUninstallKey, "DisplayName"), kAppName);
  EXPECT_EQ(ReadRegString(kUninstallKey, "DisplayVersion"), "1.0.650");
  EXPECT_EQ(ReadRegString(kUninstallKey, "InstallLocation"), InstallFolder());
  const std::string uninstaller = Quoted(Installed("uninstall.exe"));
  EXPECT_EQ(ReadRegString(kUninstallKey, "UninstallString"), uninstaller);
  EXPECT_EQ(ReadRegString(kUninstallKey, "QuietUninstallString"), uninstaller + " /S");
  EXPECT_EQ(ReadRegString("Software\\Classes\\.vwg", ""), "VWG.KeyFile");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile\\shell\\open\\command", ""),
            Quoted(Installed("vaultwing.exe")) + " \"%1\"");
  EXPECT_FALSE(driver::RegKeyExists(kProgramSettingsKey)) << "settings are the program's to write";
}

TEST_F(Installer, ProgramStartedFromTheShortcutRunsInItsFolderAndListsTheSkins) {
  ASSERT_TRUE(InstallSilently());
  MakeKeys();
  driver::Program program = StartFromShortcut();
  ExpectRunning(program);
  // Written at start-up with the program's path and current folder.
  ASSERT_TRUE(WaitForRegistrations());
  EXPECT_EQ(ReadRegString(kAddOnKey, "Path"), Installed("vaultwing.exe"));
  EXPECT_EQ(ReadRegString(kAddOnKey, "Startup"), InstallFolder());

  ASSERT_TRUE(driver::PostTrayCallback(program.pid(), WM_LBUTTONDBLCLK));
  HWND sheet = sheet::WaitForSheet(program.pid());
  ASSERT_NE(sheet, nullptr);
  HWND page = sheet::Page(sheet, "Settings");
  ASSERT_NE(page, nullptr);
  std::vector<std::string> expected = {"(None)"};
  expected.insert(expected.end(), kExampleSkins.begin(), kExampleSkins.end());
  EXPECT_EQ(sheet::Lines(GetDlgItem(page, IDC_SKIN_COMBO), true), expected);

  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return IsWindowEnabled(GetDlgItem(page, IDC_SKIN_COMBO)) != FALSE; }));
  sheet::Select(page, IDC_SKIN_COMBO, 2, true);
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [] { return ReadRegString(kSettingsKey, "Skin") == "Midnight"; }));
  KeepScreenshot("installed-skins.png");
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  ExitThroughMenu(program);
}

TEST_F(Installer, SilentUninstallRemovesTheProgramAndKeepsTheKeys) {
  ASSERT_TRUE(InstallSilently());
  MakeKeysInInstallFolder();
  const auto publicBytes = driver::ReadWholeFile(publicPath_), secretBytes = driver::ReadWholeFile(secretPath_);
  ASSERT_TRUE(publicBytes && secretBytes);
  // A skin of the user's own beside the examples.
  ASSERT_TRUE(CreateDirectoryA(Installed("SKINS\\Mine").c_str(), nullptr));
  ASSERT_TRUE(driver::WriteWholeFile(Installed("SKINS\\Mine\\encrypt.bmp"), "mine"));

  // Start with Windows on, set by an earlier copy elsewhere, beside another
  // program's value in the same key.
  ASSERT_TRUE(driver::WriteRegString(kRunKey, kRunValue, "\"C:\\elsewhere\\vaultwing.exe\""));
  ASSERT_TRUE(driver::WriteRegString(kRunKey, "Another", "other.exe"));

  // The program runs and has written its settings, association, add-on
  // entry and Run value (pointing at itself now); the uninstaller closes it.
  driver::Program program = StartFromShortcut();
  ExpectRunning(program);
  ASSERT_TRUE(driver::RegKeyExists(kSettingsKey));
  ASSERT_TRUE(WaitForRegistrations());
  ASSERT_TRUE(ClassKeyExists(".vwg"));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return ReadRegString(kRunKey, kRunValue) == Quoted(Installed("vaultwing.exe"));
  }));

  ASSERT_TRUE(UninstallSilently());
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(0)) << "closed as its Exit command closes it";

  for (const char* file : {"vaultwing.exe", "vwg.exe", "README.txt", "uninstall.exe"})
    EXPECT_FALSE(Exists(Installed(file))) << file;
  for (const std::string& skin : kExampleSkins) EXPECT_FALSE(Exists(Installed("SKINS\\" + skin))) << skin;
  EXPECT_FALSE(Exists(ShortcutPath()));
  EXPECT_FALSE(driver::RegKeyExists(kUninstallKey));
  EXPECT_FALSE(driver::RegKeyExists(kProgramSettingsKey));
  EXPECT_FALSE(driver::RegKeyExists(kAddOnKey));
  EXPECT_FALSE(ClassKeyExists(".vwg"));
  EXPECT_FALSE(ClassKeyExists("VWG.KeyFile"));
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), std::nullopt) << "no start with Windows after the uninstall";
  EXPECT_EQ(ReadRegString(kRunKey, "Another"), "other.exe");
  RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Another");

  // What is the user's stays as it was.
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), publicBytes);
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), secretBytes);
  EXPECT_EQ(ReadRegString(kKeysKey, "Public Key"), publicPath_);
  EXPECT_EQ(ReadRegString(kKeysKey, "Secret Key"), secretPath_);
  EXPECT_EQ(driver::ReadWholeFile(Installed("SKINS\\Mine\\encrypt.bmp")), "mine");
}

TEST_F(Installer, SilentReinstallClosesTheRunningProgramAndKeepsItsSettings) {
  ASSERT_TRUE(InstallSilently());
  MakeKeys();
  driver::Program program = StartFromShortcut();
  ExpectRunning(program);
  ASSERT_TRUE(WaitForRegistrations());
  // The running program holds its file open; it is closed, not overwritten
  // under its feet.
  ASSERT_TRUE(InstallSilently());
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_TRUE(Exists(Installed("vaultwing.exe")));
  EXPECT_EQ(driver::ReadRegDword(kSettingsKey, "LaunchOnStartup"), 1u);
  EXPECT_TRUE(driver::RegKeyExists(kAddOnKey));
}

TEST_F(Installer, WizardsOfferToStartTheProgramAndSayTheKeysAreKept) {
  MakeKeys();
  driver::Program setup = driver::StartProgram(InstallerPath());
  ASSERT_TRUE(setup);
  HWND wizard = WaitForWizard(kSetupCaption);
  ASSERT_NE(wizard, nullptr);
  ASSERT_TRUE(WaitForText(wizard, "no administrator rights are needed"));
  KeepScreenshot("setup-1-welcome.png");
  ASSERT_TRUE(driver::ClickButton(wizard, IDOK));
  ASSERT_TRUE(WaitForText(wizard, "Choose Install Location"));
  EXPECT_TRUE(WaitForText(wizard, InstallFolder()));
  KeepScreenshot("setup-2-folder.png");
  ASSERT_TRUE(driver::ClickButton(wizard, IDOK));  // Install
  ASSERT_TRUE(WaitForText(wizard, "Start Vaultwing for ICQ now"));
  KeepScreenshot("setup-3-finish.png");
  // The offer is taken as it stands, ticked.
  ASSERT_TRUE(driver::ClickButton(wizard, IDOK));  // Finish
  EXPECT_EQ(setup.WaitExit(), std::optional<uint32_t>(0));

  HWND main = driver::WaitForWindow({.className = driver::kMainWindowClass, .visibleOnly = false});
  ASSERT_NE(main, nullptr) << "the finish page started the program";
  ASSERT_TRUE(driver::EndSplash(driver::WindowProcess(main)));
  ASSERT_TRUE(WaitForRegistrations());
  EXPECT_EQ(ReadRegString(kAddOnKey, "Startup"), InstallFolder()) << "started in its own folder";

  driver::Program uninstall = driver::StartProgram(Installed("uninstall.exe"));
  ASSERT_TRUE(uninstall);
  HWND unwizard = WaitForWizard(kUninstallCaption);
  ASSERT_NE(unwizard, nullptr);
  ASSERT_TRUE(WaitForText(unwizard, "Your key files and the registry entries that name them are kept."));
  KeepScreenshot("uninstall-1-confirm.png");
  ASSERT_TRUE(driver::ClickButton(unwizard, IDOK));  // Uninstall
  // The running program is closed after a question.
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(nullptr, IDOK, &question, driver::WindowProcess(unwizard)));
  EXPECT_NE(question.find("is running"), std::string::npos) << question;
  ASSERT_TRUE(WaitForText(unwizard, "Your keys were kept"));
  const std::string last = AllTexts(unwizard);
  EXPECT_NE(last.find("Your key files were NOT removed"), std::string::npos) << last;
  EXPECT_NE(last.find("Secret key: " + secretPath_), std::string::npos) << last;
  EXPECT_NE(last.find("Public keys: " + publicPath_), std::string::npos) << last;
  KeepScreenshot("uninstall-2-finish.png");
  ASSERT_TRUE(driver::ClickButton(unwizard, IDOK));  // Finish
  EXPECT_TRUE(driver::WaitWindowGone(unwizard));
  EXPECT_FALSE(Exists(Installed("vaultwing.exe")));
  EXPECT_FALSE(driver::FindTopWindow({.className = driver::kMainWindowClass, .visibleOnly = false}));
}

}  // namespace
