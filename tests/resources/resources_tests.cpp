// The program's resources, linked into this test and read back through the
// same Win32 calls the program uses. The expected identifiers, sizes, texts
// and places are written out here from the program's design, independently of
// the resource script.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "resources/strings.h"

namespace {

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

struct BitmapHolder {
  HBITMAP handle;
  explicit BitmapHolder(HBITMAP h) : handle(h) {}
  BitmapHolder(const BitmapHolder&) = delete;
  BitmapHolder& operator=(const BitmapHolder&) = delete;
  ~BitmapHolder() {
    if (handle) DeleteObject(handle);
  }
};

struct WindowHolder {
  HWND handle;
  explicit WindowHolder(HWND h) : handle(h) {}
  WindowHolder(const WindowHolder&) = delete;
  WindowHolder& operator=(const WindowHolder&) = delete;
  ~WindowHolder() {
    if (handle) DestroyWindow(handle);
  }
};

// The colour of one pixel of a bitmap, read through a memory DC.
COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF colour = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  return colour;
}

TEST(StringTable, EveryEntryLoadsWithItsText) {
  std::vector<int> ids;
#define VWG_LIST_ID(name, id, text) ids.push_back(id);
  VWG_STRING_TABLE(VWG_LIST_ID)
#undef VWG_LIST_ID
  for (int id : ids) {
    char text[485] = {};
    int length = LoadStringA(Instance(), id, text, sizeof text);
    EXPECT_GT(length, 0) << id;
    EXPECT_STREQ(text, StringText(id)) << id;
  }
  // The texts every release has had, 1300 to 1348, are all still there.
  for (int id = 1300; id <= 1348; ++id) EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
  char text[485];
  EXPECT_EQ(LoadStringA(Instance(), 1299, text, sizeof text), 0);
  EXPECT_EQ(LoadStringA(Instance(), *std::max_element(ids.begin(), ids.end()) + 1, text, sizeof text), 0);
}

TEST(StringTable, TextsTheOtherPartsQuoteAreWordForWord) {
  EXPECT_STREQ(StringText(1300), "Vaultwing for ICQ");
  EXPECT_STREQ(StringText(1335), "Vaultwing for ICQ Error");
  EXPECT_STREQ(StringText(1320), "Send Online Message");
  EXPECT_STREQ(StringText(1324), "Incoming Message");
  EXPECT_STREQ(StringText(1339), "Public Key has been successfully imported");
  EXPECT_STREQ(StringText(1350), "This message was changed on the way, or was not encrypted for you.");
}

struct BitmapSize {
  int id;
  int width;
  int height;
};

TEST(Bitmaps, HaveTheirSizes) {
  const BitmapSize sizes[] = {
      {IDB_SPLASH, 193, 148}, {IDB_ABOUT, 77, 149}, {IDB_ENCRYPT, 84, 18}, {IDB_DECRYPT, 74, 22},
      {IDB_BANNER, 25, 178},  {205, 20, 20},        {206, 20, 20},         {207, 20, 20},
      {208, 20, 20},          {209, 20, 20},        {210, 20, 20},         {211, 20, 20},
      {212, 20, 20},          {213, 20, 20},
  };
  for (const BitmapSize& s : sizes) {
    BitmapHolder bitmap(LoadBitmapA(Instance(), MAKEINTRESOURCEA(s.id)));
    ASSERT_NE(bitmap.handle, nullptr) << s.id;
    BITMAP info = {};
    ASSERT_EQ(GetObjectA(bitmap.handle, sizeof info, &info), static_cast<int>(sizeof info)) << s.id;
    EXPECT_EQ(info.bmWidth, s.width) << s.id;
    EXPECT_EQ(info.bmHeight, s.height) << s.id;
  }
}

// The menu icons are drawn with magenta as the see-through colour; their
// corners are background.
TEST(Bitmaps, MenuIconsHaveMagentaBackground) {
  for (int id = IDB_MENU_ENCRYPT_CLIPBOARD; id <= IDB_MENU_EXIT; ++id) {
    BitmapHolder bitmap(LoadBitmapA(Instance(), MAKEINTRESOURCEA(id)));
    ASSERT_NE(bitmap.handle, nullptr) << id;
    EXPECT_EQ(PixelOf(bitmap.handle, 0, 19), RGB(255, 0, 255)) << id;
    EXPECT_EQ(PixelOf(bitmap.handle, 19, 19), RGB(255, 0, 255)) << id;
  }
}

// The button images are loaded as the program loads them. Only a bitmap with
// a colour table lets LR_LOADTRANSPARENT turn its background into the button
// face; a true-colour image would keep a grey box on every button.
TEST(Bitmaps, ButtonImagesTakeTheButtonFace) {
  for (int id : {IDB_ENCRYPT, IDB_DECRYPT}) {
    BitmapHolder bitmap(static_cast<HBITMAP>(LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                        LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)));
    ASSERT_NE(bitmap.handle, nullptr) << id;
    BITMAP info = {};
    GetObjectA(bitmap.handle, sizeof info, &info);
    EXPECT_EQ(PixelOf(bitmap.handle, 0, 0), GetSysColor(COLOR_3DFACE)) << id;
    EXPECT_EQ(PixelOf(bitmap.handle, info.bmWidth - 1, info.bmHeight - 1), GetSysColor(COLOR_3DFACE)) << id;
  }
}

TEST(Icons, BothIconsComeInSmallAndLargeSizes) {
  for (int id : {IDI_APP, IDI_TRAY}) {
    EXPECT_NE(LoadIconA(Instance(), MAKEINTRESOURCEA(id)), nullptr) << id;
    for (int size : {16, 32}) {
      HICON icon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr) << id << " " << size;
      ICONINFO info = {};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour = {};
      GetObjectA(info.hbmColor, sizeof colour, &colour);
      EXPECT_EQ(colour.bmWidth, size) << id;
      EXPECT_EQ(colour.bmHeight, size) << id;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

TEST(Icons, LinkCursorPointsWithItsFingertip) {
  HCURSOR cursor = LoadCursorA(Instance(), MAKEINTRESOURCEA(IDC_LINK_HAND));
  ASSERT_NE(cursor, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 0u);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A control of a dialog template: identifier, window class, text (null: not
// checked), place and size in dialog units (height -1: not checked, as for a
// combo box, whose template height includes its list).
struct ControlSpec {
  int id;
  const char* windowClass;
  const char* text;
  int x, y, width, height;
};

struct DialogSpec {
  int id;
  int width, height;
  const char* caption;
  std::vector<ControlSpec> controls;
};

std::vector<DialogSpec> Dialogs() {
  return {
      {IDD_SPLASH,
       135,
       158,
       "",
       {{IDC_SPLASH_PICTURE, "Static", "", 3, 4, 129, 91},
        {IDC_SPLASH_VERSION, "Static", nullptr, 4, 100, 128, 16},
        {IDC_SPLASH_COPYRIGHT, "Static", nullptr, 4, 140, 128, 16}}},
      {IDD_ABOUT,
       201,
       102,
       "About VWG for ICQ",
       {{IDC_ABOUT_PICTURE, "Static", "", 4, 4, 52, 92},
        {IDC_ABOUT_VERSION, "Static", "Vaultwing for ICQ 1.0 Build #650", 56, 8, 144, 8},
        {IDC_ABOUT_COPYRIGHT, "Static", nullptr, 56, 18, 144, 20},
        {IDC_ABOUT_LINK, "Button", VWG_WEB_ADDRESS, 72, 60, 116, 12},
        {IDC_ABOUT_CONTACT, "Static", VWG_CONTACT_ADDRESS, 56, 72, 144, 8},
        {IDC_ABOUT_OK, "Button", "OK", 95, 84, 68, 12}}},
      {IDD_USER_ID,
       143,
       65,
       "Export Public Key",
       {{IDC_USER_ID_EDIT, "Edit", "", 36, 23, 100, 13},
        {IDC_USER_ID_OK, "Button", "OK", 32, 44, 52, 16},
        {IDC_USER_ID_CANCEL, "Button", "Cancel", 88, 44, 52, 16},
        {IDC_USER_ID_LABEL, "Static", "User ID:", 3, 25, 29, 11},
        {IDC_USER_ID_PROMPT, "Static", "Enter User ID (max length = 20 characters)", 3, 7, 141, 9}}},
      {IDD_KEY_MANAGER,
       210,
       263,
       "Public Key Manager",
       {{IDC_KEYS_GROUP, "Button", "Public Keys", 7, 5, 196, 225},
        {IDC_KEY_LIST, "ListBox", nullptr, 22, 20, 113, 200},
        {IDC_IMPORT, "Button", "&Import", 142, 23, 50, 14},
        {IDC_EXPORT, "Button", "&Export", 142, 43, 50, 14},
        {IDC_REMOVE, "Button", "&Remove", 142, 60, 50, 14},
        {IDC_CHANGE_ID, "Button", "&Change I.D.", 142, 79, 50, 14},
        {IDC_FINGERPRINT_LABEL, "Static", "Fingerprint:", 7, 234, 40, 8},
        {IDC_FINGERPRINT, "Edit", "", 47, 234, 156, 8},
        {IDC_OLD_FORMAT, "Button", "Use the old message format", 7, 247, 196, 10}}},
      {IDD_SETTINGS,
       210,
       263,
       "Settings",
       // Each group ends above the next group's caption, instead of running
       // 5 units into it.
       {{IDC_GENERAL_GROUP, "Button", "General", 7, 7, 196, 59},
        {IDC_LAUNCH_ON_STARTUP, "Button", "Launch on Startup", 16, 20, 80, 12},
        {IDC_ENABLE_SKINS, "Button", "Enable Skins", 16, 36, 80, 12},
        {IDC_SKINS_LABEL, "Static", "Skins", 102, 22, 18, 8},
        {IDC_SKIN_COMBO, "ComboBox", nullptr, 124, 20, 72, -1},
        {IDC_START_WITH_WINDOWS, "Button", "Start with Windows", 16, 52, 100, 12},
        {IDC_MESSAGES_GROUP, "Button", nullptr, 7, 67, 196, 93},
        {IDC_AUTO_ENCRYPT, "Button", "Auto-Encrypt Outgoing Messages", 16, 80, 180, 12},
        {IDC_AUTO_DECRYPT, "Button", "Auto-Decrypt Incoming Messages", 16, 96, 180, 12},
        {IDC_NO_ENCRYPT_WARNING, "Button", nullptr, 16, 112, 180, 12},
        {IDC_NO_INSECURE_WARNING, "Button", nullptr, 16, 128, 180, 12},
        {IDC_PASSWORD_PROTECT, "Button", "Password Protect", 16, 144, 180, 12},
        {IDC_HOTKEYS_GROUP, "Button", "In any window", 7, 161, 196, 95},
        {IDC_ENCRYPT_HOTKEY_LABEL, "Static", "Encrypt:", 16, 176, 40, 8},
        {IDC_ENCRYPT_HOTKEY, "msctls_hotkey32", nullptr, 60, 174, 100, 12},
        {IDC_DECRYPT_HOTKEY_LABEL, "Static", "Decrypt:", 16, 192, 40, 8},
        {IDC_DECRYPT_HOTKEY, "msctls_hotkey32", nullptr, 60, 190, 100, 12},
        {IDC_HOTKEYS_NOTE, "Static", nullptr, 16, 208, 180, 26},
        {IDC_DECRYPT_COPIED, "Button", "Decrypt what I copy", 16, 238, 180, 12}}},
      {IDD_PASSPHRASE,
       230,
       120,
       "Passphrase",
       {{IDC_PASSPHRASE_PROMPT, "Static", "", 7, 7, 216, 18},
        {IDC_PASSPHRASE_FILE, "Static", "", 7, 27, 216, 8},
        {IDC_PASSPHRASE_LABEL, "Static", "&Passphrase:", 7, 43, 50, 8},
        {IDC_PASSPHRASE_EDIT, "Edit", "", 60, 41, 163, 12},
        {IDC_PASSPHRASE_REPEAT_LABEL, "Static", "&Repeat:", 7, 59, 50, 8},
        {IDC_PASSPHRASE_REPEAT, "Edit", "", 60, 57, 163, 12},
        {IDC_PASSPHRASE_NOTICE, "Static", "", 7, 74, 216, 24},
        {IDC_PASSPHRASE_OK, "Button", "OK", 113, 100, 52, 14},
        {IDC_PASSPHRASE_CANCEL, "Button", "Cancel", 171, 100, 52, 14}}},
  };
}

// A place in dialog units as the dialog manager turns it into pixels: the
// size is converted on its own, not as the difference of two corners.
RECT DialogUnits(HWND dialog, int x, int y, int width, int height) {
  RECT r = {x, y, width, height};
  MapDialogRect(dialog, &r);
  return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

TEST(Dialogs, ControlsHaveTheirIdentifiersTextsAndPlaces) {
  // The two property sheet pages are child templates; they need a parent.
  WindowHolder parent(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, Instance(), nullptr));
  for (const DialogSpec& d : Dialogs()) {
    SCOPED_TRACE(d.id);
    bool child = d.id == IDD_KEY_MANAGER || d.id == IDD_SETTINGS;
    WindowHolder dialog(
        CreateDialogParamA(Instance(), MAKEINTRESOURCEA(d.id), child ? parent.handle : nullptr, QuietDialogProc, 0));
    ASSERT_NE(dialog.handle, nullptr);
    char text[128] = {};
    GetWindowTextA(dialog.handle, text, sizeof text);
    EXPECT_STREQ(text, d.caption);
    RECT client = {};
    GetClientRect(dialog.handle, &client);
    RECT expected = DialogUnits(dialog.handle, 0, 0, d.width, d.height);
    // Only the splash has a border around its client area.
    EXPECT_EQ(client.right, expected.right);
    EXPECT_EQ(client.bottom, expected.bottom);

    for (const ControlSpec& c : d.controls) {
      SCOPED_TRACE(c.id);
      HWND control = GetDlgItem(dialog.handle, c.id);
      ASSERT_NE(control, nullptr);
      char windowClass[32] = {};
      GetClassNameA(control, windowClass, sizeof windowClass);
      EXPECT_STRCASEEQ(windowClass, c.windowClass);
      if (c.text) {
        GetWindowTextA(control, text, sizeof text);
        EXPECT_STREQ(text, c.text);
      }
      RECT place = {};
      GetWindowRect(control, &place);
      MapWindowPoints(nullptr, dialog.handle, reinterpret_cast<POINT*>(&place), 2);
      RECT want = DialogUnits(dialog.handle, c.x, c.y, c.width, c.height < 0 ? 0 : c.height);
      EXPECT_EQ(place.left, want.left);
      EXPECT_EQ(place.top, want.top);
      EXPECT_EQ(place.right, want.right);
      if (c.height >= 0) {
        EXPECT_EQ(place.bottom, want.bottom);
      }
    }
  }
}

LONG StyleOf(HWND dialog, int id) { return GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE); }

TEST(Dialogs, ControlsHaveTheirKinds) {
  WindowHolder parent(CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, Instance(), nullptr));

  WindowHolder splash(CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_SPLASH), nullptr, QuietDialogProc, 0));
  LONG style = GetWindowLongA(splash.handle, GWL_STYLE);
  EXPECT_EQ(style & (WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_SYSMODAL | DS_CENTER),
            WS_POPUP | WS_BORDER | DS_MODALFRAME | DS_SYSMODAL | DS_CENTER);
  EXPECT_EQ(style & WS_CAPTION, WS_BORDER);  // a border but no caption
  EXPECT_EQ(StyleOf(splash.handle, IDC_SPLASH_PICTURE) & SS_TYPEMASK, SS_BLACKFRAME);
  EXPECT_EQ(StyleOf(splash.handle, IDC_SPLASH_VERSION) & SS_TYPEMASK, SS_CENTER);

  WindowHolder about(CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_ABOUT), nullptr, QuietDialogProc, 0));
  EXPECT_EQ(StyleOf(about.handle, IDC_ABOUT_PICTURE) & SS_TYPEMASK, SS_BLACKFRAME);
  EXPECT_EQ(StyleOf(about.handle, IDC_ABOUT_LINK) & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(StyleOf(about.handle, IDC_ABOUT_OK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(StyleOf(about.handle, IDC_ABOUT_VERSION) & SS_NOPREFIX);
  char copyright[128] = {};
  GetDlgItemTextA(about.handle, IDC_ABOUT_COPYRIGHT, copyright, sizeof copyright);
  EXPECT_NE(std::strchr(copyright, '\n'), nullptr) << "two lines";

  WindowHolder userId(CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_USER_ID), nullptr, QuietDialogProc, 0));
  EXPECT_TRUE(StyleOf(userId.handle, IDC_USER_ID_EDIT) & ES_AUTOHSCROLL);
  EXPECT_EQ(StyleOf(userId.handle, IDC_USER_ID_OK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(StyleOf(userId.handle, IDC_USER_ID_CANCEL) & BS_TYPEMASK, BS_PUSHBUTTON);

  WindowHolder keys(CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_KEY_MANAGER), parent.handle, QuietDialogProc, 0));
  LONG list = StyleOf(keys.handle, IDC_KEY_LIST);
  EXPECT_TRUE(list & LBS_NOTIFY);
  EXPECT_FALSE(list & LBS_SORT) << "the list is in ring order";
  EXPECT_EQ(StyleOf(keys.handle, IDC_IMPORT) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(keys.handle, IDC_EXPORT)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys.handle, IDC_REMOVE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys.handle, IDC_CHANGE_ID)));
  // A line to read and copy, not to edit.
  EXPECT_TRUE(StyleOf(keys.handle, IDC_FINGERPRINT) & ES_READONLY);
  EXPECT_FALSE(StyleOf(keys.handle, IDC_FINGERPRINT) & WS_BORDER);
  // Until a correspondent's key is selected.
  EXPECT_EQ(StyleOf(keys.handle, IDC_OLD_FORMAT) & BS_TYPEMASK, BS_AUTOCHECKBOX);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys.handle, IDC_OLD_FORMAT)));

  WindowHolder settings(CreateDialogParamA(Instance(), MAKEINTRESOURCEA(IDD_SETTINGS), parent.handle, QuietDialogProc, 0));
  EXPECT_EQ(StyleOf(settings.handle, IDC_LAUNCH_ON_STARTUP) & BS_TYPEMASK, BS_AUTO3STATE);
  EXPECT_EQ(StyleOf(settings.handle, IDC_ENABLE_SKINS) & BS_TYPEMASK, BS_AUTO3STATE);
  EXPECT_EQ(StyleOf(settings.handle, IDC_SKINS_LABEL) & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(StyleOf(settings.handle, IDC_SKIN_COMBO) & 3, CBS_DROPDOWNLIST);
  for (int id = IDC_AUTO_ENCRYPT; id <= IDC_START_WITH_WINDOWS; ++id) {
    EXPECT_EQ(StyleOf(settings.handle, id) & BS_TYPEMASK, BS_AUTOCHECKBOX) << id;
  }
  EXPECT_EQ(StyleOf(settings.handle, IDC_DECRYPT_COPIED) & BS_TYPEMASK, BS_AUTOCHECKBOX);

  // Passphrases are typed unseen; a long file name is shortened in its
  // middle, never cut off at its end.
  WindowHolder passphrase(
      CreateDialogParamW(Instance(), MAKEINTRESOURCEW(IDD_PASSPHRASE), nullptr, QuietDialogProc, 0));
  for (int id : {IDC_PASSPHRASE_EDIT, IDC_PASSPHRASE_REPEAT}) {
    EXPECT_TRUE(StyleOf(passphrase.handle, id) & ES_PASSWORD) << id;
    EXPECT_TRUE(IsWindowUnicode(GetDlgItem(passphrase.handle, id))) << "every character typed is kept";
  }
  EXPECT_EQ(StyleOf(passphrase.handle, IDC_PASSPHRASE_FILE) & SS_ELLIPSISMASK, SS_PATHELLIPSIS);
  EXPECT_EQ(StyleOf(passphrase.handle, IDC_PASSPHRASE_OK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(StyleOf(passphrase.handle, IDC_PASSPHRASE_CANCEL) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST(TrayMenu, PopupHasTheTwelveItems) {
  struct Item {
    UINT id;
    UINT type;
  };
  const Item items[] = {
      {IDM_BANNER, MFT_OWNERDRAW},
      {IDM_ENCRYPT_CLIPBOARD, MFT_OWNERDRAW | MFT_MENUBREAK},
      {IDM_DECRYPT_CLIPBOARD, MFT_OWNERDRAW},
      {0, MFT_SEPARATOR},
      {IDM_GENERATE_KEYS, MFT_OWNERDRAW},
      {IDM_KEY_MANAGER, MFT_OWNERDRAW},
      {0, MFT_SEPARATOR},
      {IDM_SETTINGS, MFT_OWNERDRAW},
      {0, MFT_SEPARATOR},
      {IDM_ABOUT, MFT_OWNERDRAW},
      {0, MFT_SEPARATOR},
      {IDM_EXIT, MFT_OWNERDRAW},
  };
  HMENU menu = LoadMenuA(Instance(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 1);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 12);
  for (int position = 0; position < 12; ++position) {
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    ASSERT_TRUE(GetMenuItemInfoA(popup, position, TRUE, &info)) << position;
    EXPECT_EQ(info.fType, items[position].type) << position;
    if (items[position].type != MFT_SEPARATOR) {
      EXPECT_EQ(info.wID, items[position].id) << position;
    }
  }
  DestroyMenu(menu);
}

std::string VersionValue(const std::vector<char>& block, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "(missing)";
  return std::string(value);
}

TEST(VersionBlock, GivesVersionNamesAndTranslation) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, sizeof path);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path, &handle);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(static_cast<int32_t>(fixed->dwFileVersionLS), 650) << "the build number";

  EXPECT_EQ(VersionValue(block, "ProductName"), "Vaultwing for ICQ");
  EXPECT_EQ(VersionValue(block, "ProductVersion"), "1.0");
  EXPECT_EQ(VersionValue(block, "FileVersion"), "1.0.0.650");
  EXPECT_EQ(VersionValue(block, "CompanyName"), "Corvandel");
  EXPECT_EQ(VersionValue(block, "LegalCopyright"), VWG_COPYRIGHT);
  EXPECT_NE(VersionValue(block, "FileDescription"), "(missing)");

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x409);
  EXPECT_EQ(translation[1], 1252);
}

TEST(Manifest, AsksForCommonControlsSix) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr);
  const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
  std::string manifest(data, SizeofResource(nullptr, found));
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  // The program's own processor, for itself and for the common controls.
#ifdef _WIN64
  const char* ownArchitecture = "processorArchitecture=\"amd64\"";
#else
  const char* ownArchitecture = "processorArchitecture=\"x86\"";
#endif
  ASSERT_NE(manifest.find(ownArchitecture), std::string::npos);
  EXPECT_EQ(manifest.find("processorArchitecture=\""), manifest.find(ownArchitecture));
  EXPECT_EQ(manifest.rfind("processorArchitecture=\""), manifest.rfind(ownArchitecture));
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

}  // namespace
