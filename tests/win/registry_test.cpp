// The registry helpers against Wine's real registry.
#include "win/registry.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/report_capture.h"

namespace {

constexpr char kTestKey[] = "Software\\Corvandel\\RegistryTest";

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    ClearReportedErrors();
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey); }
};

std::string ReadString(const char* subkey, const char* name) {
  char buf[300] = "?";
  return RegReadString(HKEY_CURRENT_USER, subkey, name, buf, sizeof buf, false) ? buf : "<missing>";
}

DWORD ReadDword(const char* subkey, const char* name) {
  DWORD value = 0xDEADBEEF;
  RegReadDword(HKEY_CURRENT_USER, subkey, name, &value, false);
  return value;
}

}  // namespace

TEST_F(Registry, StringsRoundTripAndAlwaysComeBackTerminated) {
  EXPECT_EQ(RegWriteString(HKEY_CURRENT_USER, kTestKey, "Path", "C:\\keys\\public.vwg", 19, true), 1);
  EXPECT_EQ(ReadString(kTestKey, "Path"), "C:\\keys\\public.vwg");

  // A value stored without its terminator by some other writer.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegSetValueExA(key, "Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcdef"), 6);
  RegCloseKey(key);
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kTestKey, "Bare", small, sizeof small, false), 0);  // too long
  EXPECT_EQ(small[0], '\0');
  EXPECT_EQ(ReadString(kTestKey, "Bare"), "abcdef");
}

TEST_F(Registry, MissingKeyFailsQuietlyWithoutCreateAndIsCreatedWithIt) {
  DWORD value = 7;
  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, kTestKey, "Flag", &value, false), 0);
  EXPECT_EQ(Reported.count, 0);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);

  EXPECT_EQ(RegReadDword(HKEY_CURRENT_USER, kTestKey, "Flag", &value, true), 0);  // key made, value missing
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(RegWriteDword(HKEY_CURRENT_USER, kTestKey, "Flag", 5, true), 1);
  EXPECT_EQ(ReadDword(kTestKey, "Flag"), 5u);
  EXPECT_EQ(Reported.count, 0);
}

TEST_F(Registry, KeyThatCannotBeCreatedIsReportedAsAWarning) {
  const HKEY noRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x1234));
  EXPECT_EQ(RegWriteDword(noRoot, "VaultwingTest", "Flag", 1, true), 0);
  EXPECT_EQ(Reported.count, 1);
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_FALSE(Reported.lastText.empty());
}

TEST_F(Registry, DeletingAbsentValuesAndKeysSucceeds) {
  EXPECT_EQ(RegDeleteValueAt(HKEY_CURRENT_USER, kTestKey, "Nothing"), 1);
  EXPECT_EQ(RegDeleteKeyTree(HKEY_CURRENT_USER, kTestKey), 1);
  RegWriteDword(HKEY_CURRENT_USER, kTestKey, "Flag", 1, true);
  EXPECT_EQ(RegDeleteValueAt(HKEY_CURRENT_USER, kTestKey, "Flag"), 1);
  EXPECT_EQ(ReadDword(kTestKey, "Flag"), 0xDEADBEEFu);
}
