#include "app/settings.h"

#include <cstring>
#include <string>

#include "app/skins.h"
#include "keys/registry_names.h"
#include "win/registry.h"

DWORD LaunchOnStartup = 1;
DWORD Skins = 0;

static void LoadFlag(const char* name, DWORD defaultValue, DWORD* flag) {
  if (!RegReadDword(HKEY_CURRENT_USER, kSettingsKey, name, flag, true)) {
    RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, name, defaultValue, true);
    *flag = defaultValue;
  }
}

void LoadSettings() {
  LoadFlag(kLaunchOnStartupValue, 1, &LaunchOnStartup);
  LoadFlag(kSkinsValue, 0, &Skins);
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
  RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, kLaunchOnStartupValue, LaunchOnStartup, true);
  RegWriteDword(HKEY_CURRENT_USER, kSettingsKey, kSkinsValue, Skins, true);
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
  // The program's path in quotes: unquoted, a folder with a blank would end
  // the program's name at the blank (and a program planted at that point
  // would be run), and the rest of the path would arrive as the file.
  const std::string quotedExe = std::string("\"") + exePath + "\"";
  WriteDefault("VWG.KeyFile\\DefaultIcon", quotedExe + ",1");
  WriteDefault("VWG.KeyFile\\shell\\open\\command", quotedExe + " \"%1\"");
  if (LaunchOnStartup) {
    WriteAddOnValue("Enable", "Yes");
    WriteAddOnValue("Parameters", "");
    WriteAddOnValue("Path", exePath);
    WriteAddOnValue("Startup", currentDir);
  }
}
