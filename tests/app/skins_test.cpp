// The skin list, its order and look-up, and what applying a skin does to the
// current bitmaps, the buttons that show them and the registry.
#include "app/skins.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/process_state.h"
#include "app/settings.h"
#include "icq/button_images.h"
#include "icq/process_state.h"
#include "keys/registry_names.h"
#include "tests/app/skin_folders.h"
#include "tests/wine/system.h"
#include "win/program.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareSkinNames, FoldsOnlyAsciiLettersAndComparesUnsignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"Alpha", "blue", -1},       {"blue", "Classic", -1},  {"ALPHA", "alpha", 0},
      {"abc", "ab", 1},            {"", "", 0},               {"", "a", -1},
      {"_x", "ax", -1},            // '_' 0x5F below 'a' 0x61; folding to upper case would give the opposite
      {"Zed", "[x", 1},            // 'z' 0x7A above '[' 0x5B
      {"\xE9t\xE9", "zeta", 1},    // bytes above 0x7F are large, not negative
      {"\xC9", "\xE9", -1},        // no folding beyond A-Z
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareSkinNames(c.a, c.b)), c.sign) << c.a << " / " << c.b;
    EXPECT_EQ(Sign(CompareSkinNames(c.b, c.a)), -c.sign) << c.b << " / " << c.a;
  }
}

// Each test runs in a folder of its own, which is the current directory the
// skins are looked up in.
class SkinFolder : public ::testing::Test {
 protected:
  SkinFolder() {
    GetCurrentDirectoryA(MAX_PATH, previousDir_);
    SetCurrentDirectoryA(folder_.path().c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  }
  ~SkinFolder() override {
    SetCurrentDirectoryA(previousDir_);
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
  }

  std::string Make(const std::string& name) { return skins::MakeSkinFolder(folder_.path(), name); }

  std::string ListedSkins() const {
    std::string names;
    for (int i = 0; i < SkinCount; ++i) names += std::string(i ? "," : "") + SkinList[i];
    return names;
  }

  driver::TempFolder folder_{"skins"};
  char previousDir_[MAX_PATH];
};

TEST_F(SkinFolder, ListsOnlyPlainFoldersSortedWithoutRegardToCase) {
  EnumerateSkins();
  EXPECT_EQ(SkinCount, 0) << "no SKINS folder";

  for (const char* name : {"blue", "Alpha", "classic", "hidden", "readonly"}) Make(name);
  ASSERT_TRUE(skins::WriteBitmapFile(folder_.File("SKINS\\not a folder.bmp"), 2, 2, RGB(1, 2, 3)));
  const std::string hidden = folder_.File("SKINS\\hidden"), readonly = folder_.File("SKINS\\readonly");
  SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(readonly.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  EnumerateSkins();
  std::string expected = "Alpha,blue,classic";
  // Wine keeps such attributes only where the file system can store them.
  if (GetFileAttributesA(hidden.c_str()) == FILE_ATTRIBUTE_DIRECTORY) expected += ",hidden";
  if (GetFileAttributesA(readonly.c_str()) == FILE_ATTRIBUTE_DIRECTORY) expected += ",readonly";
  EXPECT_EQ(ListedSkins(), expected);

  EXPECT_EQ(FindSkin("Alpha"), 1);
  EXPECT_EQ(FindSkin("classic"), 3);
  EXPECT_EQ(FindSkin("alpha"), 0) << "the look-up is case-sensitive";
  EXPECT_EQ(FindSkin(""), 0);
  EXPECT_EQ(FindSkin("blu"), 0);
}

TEST_F(SkinFolder, KeepsTheFirstHundredFolders) {
  for (int i = 0; i < 105; ++i) Make("skin" + std::to_string(1000 + i));
  EnumerateSkins();
  ASSERT_EQ(SkinCount, kMaxSkins);
  for (int i = 1; i < SkinCount; ++i) EXPECT_LT(CompareSkinNames(SkinList[i - 1], SkinList[i]), 0) << i;
}

TEST_F(SkinFolder, LeavesOutSkinsWhosePicturePathsWouldNotFit) {
  // "<folder>\SKINS\<name>\decrypt.bmp": 6 + 1 + 12 characters around the name.
  const int room = MAX_PATH - 1 - static_cast<int>(folder_.path().size()) - 19;
  ASSERT_GT(room, 2);
  const std::string fits(room, 'f'), tooLong(room + 1, 't');
  Make(fits);
  Make(tooLong);
  Make("short");
  ASSERT_NE(GetFileAttributesA((folder_.path() + "\\SKINS\\" + tooLong).c_str()), INVALID_FILE_ATTRIBUTES)
      << "the long folder could not be made";
  EnumerateSkins();
  EXPECT_EQ(ListedSkins(), fits + ",short");
}

// Two buttons standing in for the ones on ICQ's dialogs, and the program's
// own pictures from the resources linked into this test.
class ApplyingSkins : public SkinFolder {
 protected:
  ApplyingSkins() {
    AppInstance = GetModuleHandleA(nullptr);
    for (HWND& b : buttons_)
      b = CreateWindowExA(0, "BUTTON", "", WS_POPUP | BS_BITMAP, 0, 0, 90, 24, nullptr, nullptr, nullptr, nullptr);
    SendDialogs.records.push_back({buttons_[0], nullptr, nullptr, nullptr, 1, 0});
    ReceiveDialogs.records.push_back({buttons_[1], nullptr, nullptr, nullptr, 1, 1});

    const std::string full = Make("full"), half = Make("half"), broken = Make("broken");
    Make("empty");
    skins::WriteBitmapFile(full + "\\encrypt.bmp", 30, 10, RGB(255, 0, 0));
    skins::WriteBitmapFile(full + "\\decrypt.bmp", 40, 12, RGB(0, 255, 0));
    skins::WriteBitmapFile(half + "\\encrypt.bmp", 50, 8, RGB(0, 0, 255));
    driver::WriteWholeFile(broken + "\\encrypt.bmp", "BM not a picture");
    EnumerateSkins();  // broken, empty, full, half
  }
  ~ApplyingSkins() override {
    SendDialogs.records.clear();
    ReceiveDialogs.records.clear();
    for (HWND b : buttons_) DestroyWindow(b);
  }

  static std::string SizeOf(HBITMAP bitmap) {
    BITMAP info;
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return "none";
    return std::to_string(info.bmWidth) + "x" + std::to_string(info.bmHeight);
  }
  // What both buttons show, checked against the current bitmaps.
  std::string Pictures() const {
    EXPECT_EQ(SendMessageA(buttons_[0], BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(EncryptImage()));
    EXPECT_EQ(SendMessageA(buttons_[1], BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(DecryptImage()));
    return SizeOf(EncryptImage()) + " " + SizeOf(DecryptImage());
  }
  static std::string StoredSkin() {
    char name[MAX_PATH] = "";
    DWORD size = sizeof name;
    const LONG status = RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, kSkinValue, RRF_RT_REG_SZ, nullptr, name, &size);
    return status == ERROR_SUCCESS ? name : "<none>";
  }

  HWND buttons_[2];
};

TEST_F(ApplyingSkins, ReplacesThePicturesItHasAndKeepsTheOthers) {
  const int broken = FindSkin("broken"), empty = FindSkin("empty"), full = FindSkin("full"), half = FindSkin("half");
  ASSERT_TRUE(broken && empty && full && half) << ListedSkins();

  ApplySkin(0);
  EXPECT_EQ(Pictures(), "84x18 74x22") << "the built-in pictures";
  EXPECT_EQ(StoredSkin(), "<none>");
  EXPECT_STREQ(CurrentSkinName, "");

  HBITMAP builtIn = EncryptImage();
  ApplySkin(full);
  EXPECT_EQ(Pictures(), "30x10 40x12");
  EXPECT_EQ(StoredSkin(), "full");
  EXPECT_STREQ(CurrentSkinName, "full");
  EXPECT_EQ(GetObjectType(builtIn), 0u) << "a replaced picture is deleted";

  ApplySkin(half);
  EXPECT_EQ(Pictures(), "50x8 40x12") << "no decrypt.bmp: the previous skin's picture stays";
  ApplySkin(empty);
  EXPECT_EQ(Pictures(), "50x8 40x12");
  EXPECT_EQ(StoredSkin(), "empty");
  ApplySkin(broken);
  EXPECT_EQ(Pictures(), "50x8 40x12") << "a file that is no picture leaves the button its picture";
  EXPECT_EQ(StoredSkin(), "broken");

  ApplySkin(SkinCount + 1);
  ApplySkin(-1);
  EXPECT_EQ(StoredSkin(), "broken") << "an index outside the list changes nothing";
  EXPECT_EQ(Pictures(), "50x8 40x12");

  ApplySkin(0);
  EXPECT_EQ(Pictures(), "84x18 74x22");
  EXPECT_EQ(StoredSkin(), "<none>");
  EXPECT_STREQ(CurrentSkinName, "");
}

TEST_F(ApplyingSkins, StartUpAppliesTheStoredSkinOnlyWhenItIsListedAndSkinsAreOn) {
  struct Case {
    DWORD skinsFlag;
    const char* stored;
    const char* pictures;
    const char* storedAfter;
  };
  const Case cases[] = {
      {1, "full", "30x10 40x12", "full"},
      {1, "FULL", "84x18 74x22", "<none>"},  // case-sensitive: no such skin, and the value goes
      {1, "gone", "84x18 74x22", "<none>"},
      {0, "full", "84x18 74x22", "full"},  // skins off: the value stays for later
  };
  for (const Case& c : cases) {
    ApplySkin(0);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "Skins", REG_DWORD, &c.skinsFlag, sizeof c.skinsFlag);
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, kSkinValue, REG_SZ, c.stored,
                    static_cast<DWORD>(std::strlen(c.stored) + 1));
    LoadSettings();
    EXPECT_EQ(Pictures(), c.pictures) << c.stored;
    EXPECT_EQ(StoredSkin(), c.storedAfter) << c.stored;
  }
}

}  // namespace
