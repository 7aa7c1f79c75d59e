// The tray program under test: a clean registry and key folder for each
// test, keys made directly through the key-file code, and the steps every
// scenario repeats (start, end the splash, open the tray menu, exit).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/key_records.h"
#include "keys/registry_names.h"
#include "tests/wine/driver.h"

namespace tray {

constexpr char kErrorCaption[] = "Vaultwing for ICQ Error";
constexpr char kQuestionCaption[] = "VWG";
constexpr char kImportCaption[] = "Public Key Importing";
constexpr char kBadPublicFile[] = "Incorrect public key file format!";

// A Unix path as the programs under Wine see it, on drive Z:.
std::string WindowsPath(const char* unixPath);

// Full Windows path of vaultwing.exe in this build.
std::string ProgramPath();

class TrayProgram : public ::testing::Test {
 protected:
  TrayProgram();
  ~TrayProgram() override;

  // Writes a ring of count keys (entry 0 the owner's) and a secret key into
  // the test folder and names them in the registry.
  void MakeKeys(int ringCount = 1);
  // Writes ring (entry 0 the owner's) and secret as the key files in force,
  // replacing those of an earlier call.
  void SaveKeys(const std::vector<PublicKeyRecord>& ring, const uint16_t* secret);
  // A public key file of count new keys, as a correspondent would export it.
  std::string MakeKeyFile(const char* name, int count);

  driver::Program Start(const std::string& args = "");
  // Ends the splash and waits for the main window: the program is running.
  void ExpectRunning(const driver::Program& program);
  // Waits until the running program has written its registrations. They are
  // written once the splash has gone, the add-on entry's start-up folder
  // last: its key alone appears before the values do.
  static bool WaitForRegistrations();
  // Keeps a picture of the display as name in the folder VWG_SCREENSHOT_DIR
  // names (a Windows path), when it is set.
  static void KeepScreenshot(const char* name);
  // Opens the tray menu of program and returns the menu window.
  HWND OpenTrayMenu(const driver::Program& program);
  // Exit from the tray menu; the program must end with exit code 0.
  void ExitThroughMenu(driver::Program& program);

  // A key's ID as the program names the key's format mark in the registry:
  // the first 16 hex digits of its fingerprint.
  static std::string KeyIdName(const PublicKeyRecord& key);

  driver::TempFolder folder_{"tray"};
  std::string publicPath_, secretPath_;
  // The keys of the last MakeKeys, for checking what the program made of them.
  std::vector<PublicKeyRecord> ring_;
  uint16_t secret_[kScalarWords] = {};
};

}  // namespace tray
