// Registry and file helpers: the registry of the Wine prefix and its drive,
// set up here with the plain system calls and read back through the driver.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/driver.h"

using namespace driver;

namespace {

constexpr char kTestKey[] = "Software\\VaultwingDriverTest";
constexpr char kTestSubkey[] = "Software\\VaultwingDriverTest\\Deeper\\Keys";

bool SetValue(const char* subkey, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool ok = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
                  ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

TEST(Registry, ValuesAreReadByTypeAndTreesDeleted) {
  ASSERT_TRUE(DeleteRegTree(kTestKey));
  const char path[] = "C:\\keys\\public.vwg";
  const DWORD one = 1;
  const DWORD big = 0xFEDCBA98;
  ASSERT_TRUE(SetValue(kTestSubkey, "Public Key", REG_SZ, path, sizeof path));
  // Some writers leave out the terminating NUL.
  ASSERT_TRUE(SetValue(kTestSubkey, "Bare", REG_SZ, "abc", 3));
  ASSERT_TRUE(SetValue(kTestSubkey, "LaunchOnStartup", REG_DWORD, &one, sizeof one));
  ASSERT_TRUE(SetValue(kTestSubkey, "Big", REG_DWORD, &big, sizeof big));

  EXPECT_EQ(ReadRegString(kTestSubkey, "Public Key"), path);
  EXPECT_EQ(ReadRegString(kTestSubkey, "Bare"), "abc");
  EXPECT_EQ(ReadRegDword(kTestSubkey, "LaunchOnStartup"), 1u);
  EXPECT_EQ(ReadRegDword(kTestSubkey, "Big"), 0xFEDCBA98u);
  // A value of the other type, a missing value and a missing key read as none.
  EXPECT_FALSE(ReadRegDword(kTestSubkey, "Public Key"));
  EXPECT_FALSE(ReadRegString(kTestSubkey, "LaunchOnStartup"));
  EXPECT_FALSE(ReadRegString(kTestSubkey, "Secret Key"));
  EXPECT_FALSE(ReadRegDword("Software\\VaultwingDriverTest\\None", "Big"));

  EXPECT_TRUE(RegKeyExists(kTestSubkey));
  EXPECT_TRUE(DeleteRegTree(kTestKey));
  EXPECT_FALSE(RegKeyExists(kTestKey));
  EXPECT_FALSE(ReadRegString(kTestSubkey, "Public Key"));
  EXPECT_TRUE(DeleteRegTree(kTestKey));
}

TEST(Files, BytesRoundTripAndTheFolderGoes) {
  std::string folderPath;
  {
    TempFolder folder("files");
    folderPath = folder.path();
    EXPECT_NE(GetFileAttributesA(folderPath.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string data("a\0b\r\n\x1a\xff", 7);  // text-mode traps
    const std::string file = folder.File("key.vwg");
    ASSERT_TRUE(WriteWholeFile(file, data));
    EXPECT_EQ(FileSize(file), 7u);
    EXPECT_EQ(ReadWholeFile(file), data);
    EXPECT_FALSE(FileSize(folder.File("absent.vwg")));
    EXPECT_FALSE(ReadWholeFile(folder.File("absent.vwg")));
    EXPECT_FALSE(FileSize(folderPath));  // a folder is not a file
    ASSERT_TRUE(CreateDirectoryA(folder.File("sub").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder.File("sub\\inner.vwg"), "x"));
    // Another holder gets a folder of its own.
    TempFolder other("files");
    EXPECT_NE(other.path(), folderPath);
  }
  EXPECT_EQ(GetFileAttributesA(folderPath.c_str()), INVALID_FILE_ATTRIBUTES);
}
