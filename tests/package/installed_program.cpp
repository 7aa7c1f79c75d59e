#include "tests/package/installed_program.h"

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "tests/app/tray_fixture.h"
#include "tests/wine/driver.h"

namespace package {
namespace {

constexpr uint32_t kInstallerTimeoutMs = 60000;

std::string FolderPath(int csidl) {
  char path[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

void CollectTexts(HWND window, std::string* out) {
  *out += driver::WindowText(window) + "\n";
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    CollectTexts(child, out);
}

// Deletes a folder with everything in it; nothing when it does not exist.
void DeleteTree(const std::string& folder) {
  const std::string from = folder + '\0';  // the list ends with a second NUL
  SHFILEOPSTRUCTA op = {};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NO_UI;
  SHFileOperationA(&op);
}

// Ends the processes that show a window like query: what a failed test left.
void KillOwners(driver::WindowQuery query) {
  query.visibleOnly = false;
  while (HWND window = driver::FindTopWindow(query)) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, driver::WindowProcess(window));
    if (process == nullptr) return;
    TerminateProcess(process, driver::kKilledExitCode);
    WaitForSingleObject(process, driver::kDefaultTimeoutMs);
    CloseHandle(process);
  }
}

}  // namespace

std::string InstallerPath() { return tray::WindowsPath(VWG_INSTALLER_UNIX_PATH); }

std::string InstallFolder() { return FolderPath(CSIDL_LOCAL_APPDATA) + "\\Programs\\Vaultwing"; }

std::string ShortcutPath() { return FolderPath(CSIDL_PROGRAMS) + "\\" + kAppName + ".lnk"; }

Shortcut ReadShortcut(const std::string& path) {
  Shortcut result;
  if (FAILED(CoInitialize(nullptr))) return result;
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      char target[MAX_PATH] = "", folder[MAX_PATH] = "";
      if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
          SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
          SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH)))
        result = {target, folder};
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return result;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool ClassKeyExists(const char* subkey) {
  const std::string path = std::string("Software\\Classes\\") + subkey;
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegCloseKey(key);
      return true;
    }
  }
  return false;
}

bool InstallSilently() {
  driver::Program setup = driver::StartProgram(InstallerPath(), "/S");
  return setup && setup.WaitExit(kInstallerTimeoutMs) == std::optional<uint32_t>(0);
}

bool UninstallSilently() {
  const std::string uninstaller = InstallFolder() + "\\uninstall.exe";
  driver::Program run = driver::StartProgram(uninstaller, "/S");
  if (!run || run.WaitExit(kInstallerTimeoutMs) != std::optional<uint32_t>(0)) return false;
  return driver::PollUntil(kInstallerTimeoutMs,
                           [&] { return !Exists(uninstaller) && !driver::RegKeyExists(kUninstallKey); });
}

void RemoveEverything() {
  for (const char* caption : {kSetupCaption, kUninstallCaption}) 
    KillOwners({.className = "#32770", .caption = caption, .captionPrefix = true});
  KillOwners({.className = driver::kMainWindowClass});
  if (Exists(InstallFolder() + "\\uninstall.exe")) UninstallSilently();
  DeleteTree(InstallFolder());
  DeleteFileA(ShortcutPath().c_str());
  for (const char* key : {kUninstallKey, "Software\\Corvandel", "Software\\Mirabilis"}) driver::DeleteRegTree(key);
  // The program writes its association through HKEY_CLASSES_ROOT, which Wine
  // keeps with the machine's classes; the installer writes the user's.
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
    for (const char* key : {"Software\\Classes\\.vwg", "Software\\Classes\\VWG.KeyFile"}) RegDeleteTreeA(root, key);
}

std::string AllTexts(HWND window) {
  std::string texts;
  CollectTexts(window, &texts);
  return texts;
}

bool WaitForText(HWND window, const std::string& phrase) {
  return driver::PollUntil(driver::kDefaultTimeoutMs,
                           [&] { return AllTexts(window).find(phrase) != std::string::npos; });
}

HWND FindControlByText(HWND window, const std::string& text) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (driver::WindowText(child) == text) return child;
    if (HWND found = FindControlByText(child, text)) return found;
  }
  return nullptr;
}

}  // namespace package
