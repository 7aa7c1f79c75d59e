// The installed program as the tests see it: where the installer puts it,
// its shortcut, its entry in "Add or remove programs", and running the
// installer and the uninstaller under Wine.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace package {

constexpr char kAppName[] = "Vaultwing for ICQ";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vaultwing for ICQ";
constexpr char kProgramSettingsKey[] = "Software\\Corvandel\\VWG for ICQ";
// How the wizards' captions begin.
constexpr char kSetupCaption[] = "Vaultwing for ICQ Setup";
constexpr char kUninstallCaption[] = "Vaultwing for ICQ Uninstall";
// The example skins, in the order the Settings page lists them.
inline const std::vector<std::string> kExampleSkins = {"Meadow", "Midnight"};

// The installer of this build, as a Windows path.
std::string InstallerPath();

// %LOCALAPPDATA%\Programs\Vaultwing, where the installer puts the program.
std::string InstallFolder();
// The Start-menu shortcut: <Programs>\Vaultwing for ICQ.lnk.
std::string ShortcutPath();

struct Shortcut {
  std::string target, workingFolder;
};
// What the shortcut at path starts, and in which folder; empty when it
// cannot be read.
Shortcut ReadShortcut(const std::string& path);

bool Exists(const std::string& path);
// Whether Software\Classes\subkey exists for the user or the machine: what
// a program writes through HKEY_CLASSES_ROOT lands in one of the two.
bool ClassKeyExists(const char* subkey);

// Runs the installer with /S and waits for it; true when it ended with 0.
bool InstallSilently();
// Runs the installed uninstaller with /S. It copies itself away and runs
// from there, so the wait is for its work: true once its own file and its
// "Add or remove programs" entry have gone.
bool UninstallSilently();

// Removes what an earlier run left, installed or written by the program,
// so that each test starts from a clean machine.
void RemoveEverything();

// The texts of window and all its descendants, joined with newlines.
std::string AllTexts(HWND window);
// Polls until some text of window or its descendants contains phrase.
bool WaitForText(HWND window, const std::string& phrase);
// The first descendant of window whose text is text, or null.
HWND FindControlByText(HWND window, const std::string& text);

}  // namespace package
