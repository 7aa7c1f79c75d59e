// The property sheet of the real vaultwing.exe under Wine: how it opens, its
// Settings page with the skins, the hotkeys and Start with Windows, and the
// Public Key Manager page.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "resources/resource.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/skin_folders.h"
#include "tests/app/tray_fixture.h"

using namespace tray;
using namespace sheet;
using driver::ReadRegDword;
using driver::ReadRegString;

namespace {

// Up from Exit: About, Settings, Public Key Manager.
constexpr std::initializer_list<UINT> kSettingsItem = {VK_END, VK_UP, VK_UP};
constexpr std::initializer_list<UINT> kKeyManagerItem = {VK_END, VK_UP, VK_UP, VK_UP};

constexpr char kNoticeCaption[] = "Vaultwing for ICQ";
constexpr char kRingNotice[] =
    "Automatic encryption needs the User IDs of your public key ring to hold your contacts' UINs.  Please change "
    "the User IDs in Public Key Manager before you turn this option on.";
constexpr const char* kMessagesValues[] = {"AutoEncrypt", "AutoDecrypt", "NoEncryptWarning", "NoInsecureWarning"};

constexpr WORD kCtrlShiftE = MAKEWORD('E', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
constexpr WORD kCtrlShiftD = MAKEWORD('D', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
constexpr WORD kCtrlAltK = MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_ALT);
constexpr int kTestHotkeyId = 0xB000;

UINT Modifiers(WORD hotkey) {
  const BYTE flags = HIBYTE(hotkey);
  return MOD_NOREPEAT | (flags & HOTKEYF_CONTROL ? MOD_CONTROL : 0) | (flags & HOTKEYF_SHIFT ? MOD_SHIFT : 0) |
         (flags & HOTKEYF_ALT ? MOD_ALT : 0);
}

// Whether some program holds the combination: this one cannot register it.
bool Held(WORD hotkey) { return driver::HotkeyHeld(Modifiers(hotkey), LOBYTE(hotkey)); }

// A hotkey of this thread, as another program holding it would.
class HeldHotkey {
 public:
  HeldHotkey(int id, WORD hotkey) : id_(id), held_(RegisterHotKey(nullptr, id, Modifiers(hotkey), LOBYTE(hotkey))) {}
  ~HeldHotkey() {
    if (held_) UnregisterHotKey(nullptr, id_);
  }
  explicit operator bool() const { return held_; }

 private:
  int id_;
  bool held_;
};

// The keyboard layout's name of a modifier ("Ctrl" on Windows, "Control"
// under Wine), as the balloons name it.
std::string KeyName(UINT virtualKey) {
  char name[64] = "";
  GetKeyNameTextA(static_cast<LONG>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC) << 16), name, sizeof name);
  return name;
}

WORD ShownHotkey(HWND page, int id) { return LOWORD(Send(GetDlgItem(page, id), HKM_GETHOTKEY)); }
void TypeHotkey(HWND page, int id, WORD hotkey) { Send(GetDlgItem(page, id), HKM_SETHOTKEY, hotkey); }

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

// The page answers a click after the driver's post has been taken.
bool WaitForCheck(HWND page, int id, UINT state) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::CheckState(page, id) == state; });
}

class SettingsSheet : public TrayProgram {
 protected:
  // Starts the program with a key ring of ringCount keys and waits until it runs.
  driver::Program StartRunning(int ringCount = 1) {
    MakeKeys(ringCount);
    driver::Program program = Start();
    ExpectRunning(program);
    return program;
  }

  HWND WaitForSheet(const driver::Program& program) { return sheet::WaitForSheet(program.pid()); }

  HWND OpenByDoubleClick(const driver::Program& program) {
    EXPECT_TRUE(driver::PostTrayCallback(program.pid(), WM_LBUTTONDBLCLK));
    return WaitForSheet(program);
  }

  bool ChooseFromTrayMenu(const driver::Program& program, std::initializer_list<UINT> item) {
    return driver::ChooseMenuItem(OpenTrayMenu(program), item);
  }

  HWND OpenFromMenu(const driver::Program& program, std::initializer_list<UINT> item) {
    EXPECT_TRUE(ChooseFromTrayMenu(program, item));
    return WaitForSheet(program);
  }

  static HWND Page(HWND sheet, const char* caption) { return sheet::Page(sheet, caption); }

  // Opens the sheet by a double click into sheet; its Settings page, or null.
  HWND OpenSettingsPage(const driver::Program& program, HWND& sheet) {
    sheet = OpenByDoubleClick(program);
    return sheet ? Page(sheet, "Settings") : nullptr;
  }

  // Waits until the registry value reads as expected (the program writes it
  // while the test goes on).
  static bool WaitForSkinValue(const std::optional<std::string>& expected) {
    return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return ReadRegString(kSettingsKey, "Skin") == expected; });
  }

  void MakeSkins() {
    for (const char* name : {"blue", "Alpha", "classic"}) skins::MakeSkinFolder(folder_.path(), name);
    const std::string blue = folder_.File("SKINS\\blue");
    ASSERT_TRUE(skins::WriteBitmapFile(blue + "\\encrypt.bmp", 84, 18, RGB(0, 0, 200)));
    ASSERT_TRUE(skins::WriteBitmapFile(blue + "\\decrypt.bmp", 74, 22, RGB(0, 120, 255)));
  }
};

TEST_F(SettingsSheet, OpensOnceCentredWithoutApplyAndSwitchesPagesOnRequest) {
  driver::Program program = StartRunning();
  HWND sheet = OpenByDoubleClick(program);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(WaitForPage(sheet, "Settings"));
  HWND apply = GetDlgItem(sheet, kApplyButtonId);
  EXPECT_TRUE(apply == nullptr || !IsWindowVisible(apply)) << "no Apply button";
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, IDOK)));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, IDCANCEL)));
  RECT r;
  GetWindowRect(sheet, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2);
  EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2);
  char caption[128] = "";
  GetWindowTextA(sheet, caption, sizeof caption);
  EXPECT_NE(std::string(caption).find("Vaultwing for ICQ"), std::string::npos) << caption;
  KeepScreenshot("settings-page.png");

  // The menu's Public Key Manager switches the open sheet; no second one.
  EXPECT_EQ(OpenFromMenu(program, kKeyManagerItem), sheet);
  EXPECT_TRUE(WaitForPage(sheet, "Public Key Manager"));
  EXPECT_EQ(CountSheets(program.pid()), 1);
  GetWindowRect(sheet, &r);
  EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2) << "still centred after the second page";

  // A second double click brings it back to Settings, in front.
  EXPECT_EQ(OpenByDoubleClick(program), sheet);
  EXPECT_TRUE(WaitForPage(sheet, "Settings"));
  EXPECT_EQ(CountSheets(program.pid()), 1);
  EXPECT_EQ(GetForegroundWindow(), sheet);

  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  // Closed, it opens again, from the menu's Settings command too.
  HWND again = OpenFromMenu(program, kSettingsItem);
  ASSERT_NE(again, nullptr);
  EXPECT_TRUE(WaitForPage(again, "Settings"));
  ASSERT_TRUE(driver::PressButton(again, IDCANCEL));
  ExitThroughMenu(program);
}

TEST_F(SettingsSheet, LaunchOnStartupOffDeletesTheAddOnEntryAtOnceAndOkStoresTheFlags) {
  driver::Program program = StartRunning();
  ASSERT_TRUE(WaitForRegistrations());
  HWND sheet = OpenByDoubleClick(program);
  ASSERT_NE(sheet, nullptr);
  HWND page = Page(sheet, "Settings");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(driver::CheckState(page, IDC_LAUNCH_ON_STARTUP), BST_CHECKED);
  EXPECT_EQ(driver::CheckState(page, IDC_ENABLE_SKINS), BST_UNCHECKED);
  for (int id = IDC_AUTO_ENCRYPT; id <= IDC_NO_INSECURE_WARNING; ++id) {
    EXPECT_TRUE(Enabled(page, id)) << id;
    EXPECT_EQ(driver::CheckState(page, id), BST_UNCHECKED) << id;
  }
  EXPECT_TRUE(Enabled(page, IDC_PASSWORD_PROTECT)) << "the secret key file can be protected";

  ASSERT_TRUE(driver::ClickButton(page, IDC_LAUNCH_ON_STARTUP));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [] { return !driver::RegKeyExists(kAddOnKey); }));
  EXPECT_EQ(driver::CheckState(page, IDC_LAUNCH_ON_STARTUP), BST_UNCHECKED);
  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  EXPECT_FALSE(driver::RegKeyExists(kAddOnKey)) << "Cancel does not bring the entry back";
  EXPECT_EQ(ReadRegDword(kSettingsKey, "LaunchOnStartup"), 1u) << "Cancel stores nothing";

  // The flag stays off in memory; checking it again writes no entry.
  page = OpenSettingsPage(program, sheet);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(driver::CheckState(page, IDC_LAUNCH_ON_STARTUP), BST_UNCHECKED);
  ASSERT_TRUE(driver::ClickButton(page, IDC_LAUNCH_ON_STARTUP));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return driver::CheckState(page, IDC_LAUNCH_ON_STARTUP) == BST_CHECKED; }));
  ASSERT_TRUE(driver::ClickButton(page, IDC_LAUNCH_ON_STARTUP));
  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return driver::CheckState(page, IDC_ENABLE_SKINS) == BST_CHECKED; }));
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  EXPECT_EQ(ReadRegDword(kSettingsKey, "LaunchOnStartup"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "Skins"), 1u);
  EXPECT_FALSE(driver::RegKeyExists(kAddOnKey));
  ExitThroughMenu(program);

  // The next start writes no add-on entry and shows the stored flags.
  driver::Program next = Start();
  ExpectRunning(next);
  page = OpenSettingsPage(next, sheet);
  ASSERT_NE(page, nullptr);
  // The registrations come before the message loop that opened the sheet.
  EXPECT_FALSE(driver::RegKeyExists(kAddOnKey));
  EXPECT_EQ(driver::CheckState(page, IDC_LAUNCH_ON_STARTUP), BST_UNCHECKED);
  EXPECT_EQ(driver::CheckState(page, IDC_ENABLE_SKINS), BST_CHECKED);
  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  ExitThroughMenu(next);
}

TEST_F(SettingsSheet, MessagesOptionsAreStoredOnOkAndAnAutomaticModeSaysOnceWhatItNeeds) {
  // The ring's user IDs ("Friend 1", "Friend 2") hold no UIN.
  driver::Program program = StartRunning(3);
  for (const char* name : kMessagesValues) EXPECT_EQ(ReadRegDword(kSettingsKey, name), 0u) << name;
  HWND sheet = OpenByDoubleClick(program);
  ASSERT_NE(sheet, nullptr);
  HWND page = Page(sheet, "Settings");
  ASSERT_NE(page, nullptr);

  ASSERT_TRUE(driver::ClickButton(page, IDC_AUTO_DECRYPT));
  std::string notice;
  ASSERT_TRUE(driver::AnswerMessageBox(kNoticeCaption, IDOK, &notice, program.pid()));
  EXPECT_EQ(notice, kRingNotice);
  EXPECT_EQ(driver::CheckState(page, IDC_AUTO_DECRYPT), BST_CHECKED) << "the option is on all the same";
  // Said once: the other automatic mode, and the warnings, say nothing.
  for (int id : {IDC_AUTO_ENCRYPT, IDC_NO_ENCRYPT_WARNING, IDC_NO_INSECURE_WARNING}) {
    ASSERT_TRUE(driver::ClickButton(page, id));
    EXPECT_TRUE(WaitForCheck(page, id, BST_CHECKED)) << id;
  }
  // Once the page answers, every click has been handled: a notice would be
  // open by then.
  ASSERT_TRUE(driver::Answers(page));
  EXPECT_EQ(driver::WaitForMessageBox(kNoticeCaption, program.pid(), 0), nullptr);
  for (const char* name : kMessagesValues) EXPECT_EQ(ReadRegDword(kSettingsKey, name), 0u) << "stored before OK";
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  for (const char* name : kMessagesValues) EXPECT_EQ(ReadRegDword(kSettingsKey, name), 1u) << name;
  ExitThroughMenu(program);

  // The next start shows them; with a UIN in the ring an automatic mode
  // turned on says nothing.
  SetUserId(ring_.keys[2], "Bob 1234567");
  SaveKeys(ring_, secret_);
  driver::Program next = Start();
  ExpectRunning(next);
  page = OpenSettingsPage(next, sheet);
  ASSERT_NE(page, nullptr);
  for (int id = IDC_AUTO_ENCRYPT; id <= IDC_NO_INSECURE_WARNING; ++id)
    EXPECT_EQ(driver::CheckState(page, id), BST_CHECKED) << id;
  for (int id : {IDC_AUTO_ENCRYPT, IDC_AUTO_ENCRYPT, IDC_NO_ENCRYPT_WARNING, IDC_NO_INSECURE_WARNING})
    ASSERT_TRUE(driver::ClickButton(page, id));
  EXPECT_TRUE(WaitForCheck(page, IDC_NO_INSECURE_WARNING, BST_UNCHECKED));
  ASSERT_TRUE(driver::Answers(page));
  EXPECT_EQ(driver::WaitForMessageBox(kNoticeCaption, next.pid(), 0), nullptr);
  KeepScreenshot("settings-messages.png");
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  EXPECT_EQ(ReadRegDword(kSettingsKey, "AutoEncrypt"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "AutoDecrypt"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "NoEncryptWarning"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "NoInsecureWarning"), 0u);
  ExitThroughMenu(next);
}

TEST_F(SettingsSheet, SkinChoiceIsStoredAtOnceAndNoneOrSkinsOffRemoveIt) {
  MakeSkins();
  driver::Program program = StartRunning();
  HWND sheet = OpenByDoubleClick(program);
  ASSERT_NE(sheet, nullptr);
  HWND page = Page(sheet, "Settings");
  ASSERT_NE(page, nullptr);
  HWND combo = GetDlgItem(page, IDC_SKIN_COMBO);
  const std::vector<std::string> expected = {"(None)", "Alpha", "blue", "classic"};
  EXPECT_EQ(Lines(combo, true), expected);
  EXPECT_FALSE(IsWindowEnabled(combo)) << "skins are off";
  EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);

  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return IsWindowEnabled(combo) != FALSE; }));
  Select(page, IDC_SKIN_COMBO, 2, true);
  EXPECT_TRUE(WaitForSkinValue("blue"));
  KeepScreenshot("settings-skins.png");
  Select(page, IDC_SKIN_COMBO, 0, true);
  EXPECT_TRUE(WaitForSkinValue(std::nullopt)) << "(None) removes the stored name";
  Select(page, IDC_SKIN_COMBO, 3, true);
  EXPECT_TRUE(WaitForSkinValue("classic"));

  // Leaving the page and coming back shows the applied skin.
  Send(sheet, PSM_SETCURSEL, 1);
  Send(sheet, PSM_SETCURSEL, 0);
  EXPECT_EQ(Send(combo, CB_GETCURSEL), 3);
  EXPECT_EQ(ReadRegString(kSettingsKey, "Skin"), "classic");

  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  EXPECT_TRUE(WaitForSkinValue(std::nullopt)) << "skins off: the built-in pictures";
  EXPECT_FALSE(IsWindowEnabled(combo));
  EXPECT_EQ(Send(combo, CB_GETCURSEL), 0);
  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  ExitThroughMenu(program);
}

TEST_F(SettingsSheet, StartUpKeepsAListedSkinAndDropsOneThatIsNotListed) {
  MakeSkins();
  const DWORD on = 1;
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skins", REG_DWORD, &on, sizeof on);
  for (const char* stored : {"gone", "alpha"}) {  // no such folder; wrong case
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skin", REG_SZ, stored, static_cast<DWORD>(strlen(stored) + 1));
    driver::Program program = StartRunning();
    EXPECT_EQ(ReadRegString(kSettingsKey, "Skin"), std::nullopt) << stored;
    ExitThroughMenu(program);
  }

  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skin", REG_SZ, "blue", 5);
  driver::Program program = StartRunning();
  EXPECT_EQ(ReadRegString(kSettingsKey, "Skin"), "blue");
  HWND sheet;
  HWND page = OpenSettingsPage(program, sheet);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(driver::CheckState(page, IDC_ENABLE_SKINS), BST_CHECKED);
  EXPECT_EQ(Send(GetDlgItem(page, IDC_SKIN_COMBO), CB_GETCURSEL), 2);
  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  EXPECT_EQ(ReadRegString(kSettingsKey, "Skin"), "blue");
  ExitThroughMenu(program);
}

TEST_F(SettingsSheet, HotkeysStartWithWindowsAndDecryptCopiedAreTakenByOkAloneAndShownAtTheNextStart) {
  driver::Program program = StartRunning();
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyEncrypt"), kCtrlShiftE);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyDecrypt"), kCtrlShiftD);
  // The sheet opens from the message loop, after the hotkeys are registered:
  // probed earlier, they could be found free and taken from the program.
  HWND sheet;
  HWND page = OpenSettingsPage(program, sheet);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(Held(kCtrlShiftE) && Held(kCtrlShiftD)) << "registered at start-up";
  EXPECT_EQ(ShownHotkey(page, IDC_ENCRYPT_HOTKEY), kCtrlShiftE);
  EXPECT_EQ(ShownHotkey(page, IDC_DECRYPT_HOTKEY), kCtrlShiftD);
  EXPECT_EQ(driver::CheckState(page, IDC_START_WITH_WINDOWS), BST_UNCHECKED) << "off by default";
  EXPECT_EQ(driver::CheckState(page, IDC_DECRYPT_COPIED), BST_UNCHECKED) << "off by default";

  // Typed as the user types it: the box takes the combination, Backspace
  // makes it none.
  HWND encryptBox = GetDlgItem(page, IDC_ENCRYPT_HOTKEY);
  ASSERT_TRUE(driver::BringToFront(sheet));
  PostMessageA(encryptBox, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  PostMessageA(encryptBox, WM_LBUTTONUP, 0, 0);
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::KeyboardFocus(sheet) == encryptBox; }));
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, VK_SHIFT, 'K'}));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return ShownHotkey(page, IDC_ENCRYPT_HOTKEY) == MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  }));
  ASSERT_TRUE(driver::PressKeys({VK_BACK}));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return ShownHotkey(page, IDC_ENCRYPT_HOTKEY) == 0; }));
  ASSERT_TRUE(driver::PressKeys({'J'}));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return ShownHotkey(page, IDC_ENCRYPT_HOTKEY) == MAKEWORD('J', HOTKEYF_CONTROL | HOTKEYF_SHIFT);
  })) << "a key alone would be taken from every window's typing";

  // Cancel drops what was changed; a click elsewhere on the page keeps it
  // until then.
  TypeHotkey(page, IDC_ENCRYPT_HOTKEY, kCtrlAltK);
  ASSERT_TRUE(driver::ClickButton(page, IDC_START_WITH_WINDOWS));
  ASSERT_TRUE(driver::ClickButton(page, IDC_DECRYPT_COPIED));
  ASSERT_TRUE(driver::ClickButton(page, IDC_ENABLE_SKINS));
  ASSERT_TRUE(WaitForCheck(page, IDC_ENABLE_SKINS, BST_CHECKED));
  EXPECT_EQ(ShownHotkey(page, IDC_ENCRYPT_HOTKEY), kCtrlAltK);
  EXPECT_EQ(driver::CheckState(page, IDC_START_WITH_WINDOWS), BST_CHECKED);
  EXPECT_EQ(driver::CheckState(page, IDC_DECRYPT_COPIED), BST_CHECKED);
  ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), std::nullopt);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "DecryptCopied"), 0u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyEncrypt"), kCtrlShiftE);
  EXPECT_TRUE(Held(kCtrlShiftE));
  EXPECT_FALSE(Held(kCtrlAltK));

  // The same hotkey twice is refused, and the sheet stays open.
  page = OpenSettingsPage(program, sheet);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(ShownHotkey(page, IDC_ENCRYPT_HOTKEY), kCtrlShiftE);
  EXPECT_EQ(driver::CheckState(page, IDC_START_WITH_WINDOWS), BST_UNCHECKED);
  EXPECT_EQ(driver::CheckState(page, IDC_DECRYPT_COPIED), BST_UNCHECKED);
  TypeHotkey(page, IDC_DECRYPT_HOTKEY, kCtrlShiftE);
  ASSERT_TRUE(driver::ClickButton(sheet, IDOK));
  std::string notice;
  ASSERT_TRUE(driver::AnswerMessageBox(kNoticeCaption, IDOK, &notice, program.pid()));
  EXPECT_EQ(notice, "Encrypt and Decrypt need two different hotkeys.");
  EXPECT_TRUE(IsWindow(sheet));
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyDecrypt"), kCtrlShiftD);

  // OK stores and registers them at once; 0 is none, registered by nobody.
  TypeHotkey(page, IDC_ENCRYPT_HOTKEY, kCtrlAltK);
  TypeHotkey(page, IDC_DECRYPT_HOTKEY, 0);
  ASSERT_TRUE(driver::ClickButton(page, IDC_START_WITH_WINDOWS));
  ASSERT_TRUE(driver::ClickButton(page, IDC_DECRYPT_COPIED));
  ASSERT_TRUE(WaitForCheck(page, IDC_START_WITH_WINDOWS, BST_CHECKED));
  ASSERT_TRUE(WaitForCheck(page, IDC_DECRYPT_COPIED, BST_CHECKED));
  KeepScreenshot("settings-hotkeys.png");
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  EXPECT_EQ(ReadRegDword(kSettingsKey, "DecryptCopied"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyEncrypt"), kCtrlAltK);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyDecrypt"), 0u);
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), "\"" + ProgramPath() + "\"");
  EXPECT_TRUE(Held(kCtrlAltK));
  EXPECT_FALSE(Held(kCtrlShiftE)) << "the old combination is let go";
  EXPECT_FALSE(Held(kCtrlShiftD)) << "none: not registered";
  ExitThroughMenu(program);

  driver::Program next = Start();
  ExpectRunning(next);
  page = OpenSettingsPage(next, sheet);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(Held(kCtrlAltK));
  EXPECT_FALSE(Held(kCtrlShiftD));
  EXPECT_EQ(ShownHotkey(page, IDC_ENCRYPT_HOTKEY), kCtrlAltK);
  EXPECT_EQ(ShownHotkey(page, IDC_DECRYPT_HOTKEY), 0);
  EXPECT_EQ(driver::CheckState(page, IDC_START_WITH_WINDOWS), BST_CHECKED);
  EXPECT_EQ(driver::CheckState(page, IDC_DECRYPT_COPIED), BST_CHECKED);
  ASSERT_TRUE(driver::ClickButton(page, IDC_START_WITH_WINDOWS));
  ASSERT_TRUE(driver::ClickButton(page, IDC_DECRYPT_COPIED));
  ASSERT_TRUE(WaitForCheck(page, IDC_START_WITH_WINDOWS, BST_UNCHECKED));
  ASSERT_TRUE(WaitForCheck(page, IDC_DECRYPT_COPIED, BST_UNCHECKED));
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  EXPECT_EQ(ReadRegString(kRunKey, kRunValue), std::nullopt) << "unchecked: the value goes";
  EXPECT_EQ(ReadRegDword(kSettingsKey, "DecryptCopied"), 0u);
  ExitThroughMenu(next);
}

TEST_F(SettingsSheet, AHotkeyHeldByAnotherProgramGetsABalloonAtStartAndAtOkWhileTheOtherWorks) {
  HeldHotkey encrypt(1, kCtrlShiftE);
  ASSERT_TRUE(encrypt);
  driver::Program program = StartRunning();
  const std::string ctrl = KeyName(VK_CONTROL), shift = KeyName(VK_SHIFT), alt = KeyName(VK_MENU);
  EXPECT_NE(driver::WaitForBalloon("The hotkey " + ctrl + "+" + shift + "+E is taken by another program, so it does "
                                   "nothing in Vaultwing.  Choose another one under Settings in the tray menu."),
            nullptr)
      << driver::ShownBalloon().text;
  EXPECT_TRUE(Held(kCtrlShiftD)) << "the other hotkey is registered all the same";
  // The combination still reaches the program that holds it.
  ASSERT_TRUE(driver::PressKeys({VK_CONTROL, VK_SHIFT, 'E'}));
  MSG message;
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return PeekMessageA(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) && message.wParam == 1;
  }));

  // OK checks again, and names every combination taken.
  HeldHotkey other(2, kCtrlAltK);
  ASSERT_TRUE(other);
  HWND sheet;
  HWND page = OpenSettingsPage(program, sheet);
  ASSERT_NE(page, nullptr);
  TypeHotkey(page, IDC_DECRYPT_HOTKEY, kCtrlAltK);
  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  EXPECT_NE(driver::WaitForBalloon("The hotkeys " + ctrl + "+" + shift + "+E and " + ctrl + "+" + alt +
                                   "+K are taken by other programs, so they do nothing in Vaultwing.  Choose others "
                                   "under Settings in the tray menu."),
            nullptr)
      << driver::ShownBalloon().text;
  EXPECT_FALSE(Held(kCtrlShiftD)) << "the old Decrypt hotkey is let go";
  EXPECT_EQ(ReadRegDword(kSettingsKey, "HotkeyDecrypt"), kCtrlAltK) << "stored all the same";
  ExitThroughMenu(program);
}

// A program that Windows starts at logon runs in another folder than its
// own: the skins beside it are found all the same, and a SKINS folder in the
// current folder comes first.
TEST_F(SettingsSheet, SkinsAreFoundBesideTheProgramWhenTheCurrentFolderHasNone) {
  MakeKeys();
  driver::TempFolder installed("installed");
  const std::string program = installed.File("vaultwing.exe");
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), program.c_str(), TRUE));
  skins::MakeSkinFolder(installed.path(), "Beside");
  const DWORD on = 1;
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skins", REG_DWORD, &on, sizeof on);
  RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skin", REG_SZ, "Beside", 7);

  for (const std::vector<std::string>& expected : {std::vector<std::string>{"(None)", "Beside"},
                                                   std::vector<std::string>{"(None)", "Here"}}) {
    if (expected[1] == "Here") skins::MakeSkinFolder(folder_.path(), "Here");
    driver::Program started = driver::StartProgram(program, "", folder_.path());
    ExpectRunning(started);
    HWND sheet = OpenByDoubleClick(started);
    HWND page = Page(sheet, "Settings");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Lines(GetDlgItem(page, IDC_SKIN_COMBO), true), expected);
    ASSERT_TRUE(driver::PressButton(sheet, IDCANCEL));
    ExitThroughMenu(started);
  }
  EXPECT_EQ(ReadRegString(kSettingsKey, "Skin"), std::nullopt) << "not in the current folder's SKINS: dropped";
}

TEST_F(SettingsSheet, KeyManagerListsTheRingAndImportsAndExports) {
  driver::Program program = StartRunning(3);
  HWND sheet = OpenFromMenu(program, kKeyManagerItem);
  ASSERT_NE(sheet, nullptr);
  ASSERT_TRUE(WaitForPage(sheet, "Public Key Manager"));
  HWND page = Page(sheet, "Public Key Manager");
  ASSERT_NE(page, nullptr);
  HWND list = GetDlgItem(page, IDC_KEY_LIST);
  EXPECT_EQ(Lines(list, false), (std::vector<std::string>{"Me -- Owner", "Friend 1", "Friend 2"}));
  EXPECT_FALSE(Enabled(page, IDC_EXPORT)) << "nothing selected yet";
  EXPECT_TRUE(Enabled(page, IDC_IMPORT));

  Select(page, IDC_KEY_LIST, 1, false);
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return Enabled(page, IDC_EXPORT) && Enabled(page, IDC_REMOVE) && Enabled(page, IDC_CHANGE_ID);
  }));
  KeepScreenshot("key-manager-page.png");

  const std::string keyFile = MakeKeyFile("two.vwg", 2);
  ASSERT_TRUE(driver::ClickButton(page, IDC_IMPORT));
  ASSERT_TRUE(driver::ChooseFile("Open Public Key File", keyFile, program.pid()));
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, nullptr, program.pid()));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return Lines(list, false).size() == 5; }));
  EXPECT_EQ(Lines(list, false),
            (std::vector<std::string>{"Me -- Owner", "Friend 1", "Friend 2", "Import 0", "Import 1"}));
  EXPECT_EQ(Send(list, LB_GETCURSEL), 1) << "the selection survives the reload";
  EXPECT_TRUE(Enabled(page, IDC_EXPORT));

  // Export of the selected line under a new ID: the ring keeps the old one.
  const std::string exported = folder_.File("friend.vwg");
  ASSERT_TRUE(driver::ClickButton(page, IDC_EXPORT));
  HWND idDialog = driver::WaitForWindow({"#32770", "Export Public Key"});
  ASSERT_NE(idDialog, nullptr);
  EXPECT_EQ(driver::ControlText(idDialog, IDC_USER_ID_EDIT), "Friend 1");
  ASSERT_TRUE(driver::SetControlText(idDialog, IDC_USER_ID_EDIT, "Bob"));
  ASSERT_TRUE(driver::PressButton(idDialog, IDC_USER_ID_OK));
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", exported, program.pid()));
  // One entry with its strong key: 10 + 142, and a trailer of 6 + 122.
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::FileSize(exported) == 280u; }));
  PublicKeyRing file;
  ASSERT_EQ(LoadPublicKeyRing(exported.c_str(), file), KeyFileStatus::kOk);
  EXPECT_TRUE(SameStrongKey(file.strong[0], ring_.strong[1]));
  EXPECT_EQ(Lines(list, false)[1], "Friend 1");

  ASSERT_TRUE(driver::PressButton(sheet, IDOK));
  ExitThroughMenu(program);
}

TEST_F(SettingsSheet, ExitWhileTheSheetIsOpenEndsTheProgram) {
  driver::Program program = StartRunning();
  ASSERT_NE(OpenByDoubleClick(program), nullptr);
  ASSERT_TRUE(ChooseFromTrayMenu(program, {VK_END}));
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(0));
}

}  // namespace
