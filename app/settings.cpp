#include "app/settings.h"

#include <cstring>
#include <string>

#include "app/hotkey_form.h"
#include "app/process_state.h"
#include "app/skins.h"
#include "keys/registry_names.h"
#include "win/registry.h"

DWORD LaunchOnStartup = 1;
DWORD Skins = 0;
DWORD AutoEncrypt = 0;
DWORD AutoDecrypt = 0;
DWORD NoEncryptWarning = 0;
DWORD NoInsecureWarning = 0;
DWORD HotkeyEncrypt = kDefaultEncryptHotkey;
DWORD HotkeyDecrypt = kDefaultDecryptHotkey;
DWORD DecryptCopied = 0;

namespace {

// The flags and hotkeys, read and stored alike, with their defaults.
struct Flag {
  const char* name;
  DWORD* value;
  DWORD defaultValue;
};

const Flag kFlags[] = {
    {kLaunchOnStartupValue, &LaunchOnStartup, 1},
    {kSkinsValue, &Skins, 0},
    {kAutoEncryptValue, &AutoEncrypt, 0},
    {kAutoDecryptValue, &AutoDecrypt, 0},
    {kNoEncryptWarningValue, &NoEncryptWarning, 0},
    {kNoInsecureWarningValue, &NoInsecureWarning, 0},
    {kHotkeyEncryptValue, &HotkeyEncrypt, kDefaultEncryptHotkey},
    {kHotkeyDecryptValue, &HotkeyDecrypt, kDefaultDecryptHotkey},
    {kDecryptCopiedValue, &DecryptCopied, 0},
};

// A missing or unreadable value gets its default, which is written back.
void LoadFlag(const Flag& flag) {
  if (!RegReadDword(HKEY_CURRENT_USER, kSettingsKey, flag.name, flag.value, true)) {
    RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, flag.name, flag.defaultValue, true);
    *flag.value = flag.defaultValue;
  }
}

}  // namespace

void LoadSettings() {
  for (const Flag& flag : kFlags) LoadFlag(flag);
  EnumerateSkins();
  if (!Skins) return;
  // A stored name that no longer names a skin folder is dropped: applying
  // index 0 removes it from the registry too.
  char name[kSkinNameChars];
  if (RegReadString(HKEY_CURRENT_USER, kSettingsKey, kSkinValue, name, sizeof name, true) && FindSkin(name))
    std::strcpy(CurrentSkinName, name);
  else
    CurrentSkinName[0] = '\0';
  ApplySkin(FindSkin(CurrentSkinName));
}

void SaveSettings() {
  for (const Flag& flag : kFlags) RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, flag.name, *flag.value, true);
}

// The program's path in quotes: unquoted, a folder with a blank would end
// the program's name at the blank (and a program planted at that point
// would be run), and the rest of the path would arrive as an argument.
static std::string Quoted(const char* exePath) { return std::string("\"") + exePath + "\""; }

bool StartsWithWindows() {
  return RegGetValueA(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void SetStartWithWindows(bool on, const char* exePath) {
  if (!on) {
    RegDeleteValueAt(HKEY_CURRENT_USER, kRunKey, kRunValue);
    return;
  }
  const std::string quotedExe = Quoted(exePath);
  RegWriteString(HKEY_CURRENT_USER, kRunKey, kRunValue, quotedExe.c_str(), static_cast<DWORD>(quotedExe.size()), true);
}

static void WriteDefault(const char* classKey, const std::string& value) {
  const std::string key = std::string(kClassesKey) + "\\" + classKey;
  RegWriteString(HKEY_CURRENT_USER, key.c_str(), "", value.c_str(), static_cast<DWORD>(value.size()), true);
}

static void WriteAddOnValue(const char* name, const char* value) {
  RegWriteString(HKEY_CURRENT_USER, kAddOnKey, name, value, static_cast<DWORD>(std::strlen(value)), true);
}

void WriteRegistrations(const char* exePath, const char* currentDir) {
  WriteDefault(".vwg", "VWG.KeyFile");
  WriteDefault("VWG.KeyFile", "Vaultwing Key File");
  const std::string quotedExe = Quoted(exePath);
  WriteDefault("VWG.KeyFile\\DefaultIcon", quotedExe + ",1");
  WriteDefault("VWG.KeyFile\\shell\\open\\command", quotedExe + " \"%1\"");
  if (LaunchOnStartup) {
    WriteAddOnValue("Enable", "Yes");
    WriteAddOnValue("Parameters", "");
    WriteAddOnValue("Path", exePath);
    WriteAddOnValue("Startup", currentDir);
  }
  if (StartsWithWindows()) SetStartWithWindows(true, exePath);
}
