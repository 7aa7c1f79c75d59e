// The tray program under test: a clean registry and key folder for each
// test, keys made directly through the key-file code (with strong keys, or
// without, as a correspondent whose program has none), and the steps every
// scenario repeats (start, end the splash, open the tray menu, exit).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "keys/key_files.h"
#include "keys/key_records.h"
#include "keys/registry_names.h"
#include "tests/keys/test_keys.h"
#include "tests/wine/driver.h"

namespace tray {

constexpr char kErrorCaption[] = "Vaultwing for ICQ Error";
constexpr char kQuestionCaption[] = "VWG";
constexpr char kImportCaption[] = "Public Key Importing";
constexpr char kBadPublicFile[] = "Incorrect public key file format!";

// A key pair and its strong key: a correspondent whose program has them.
struct Party : KeyPair {
  StrongKey strong;
};
void MakeParty(Party& party, const char* id);

// One entry of a ring to write: a key with the strong key given, none for
// a bare record; a party's key with its strong key.
struct RingEntry {
  RingEntry(const PublicKeyRecord& k, const StrongKey& s = kNoStrongKey) : key(k), strong(s) {}
  RingEntry(const Party& party) : key(party.pub), strong(party.strong) {}
  PublicKeyRecord key;
  StrongKey strong;
};

// A party's key as a program without strong keys exported it.
inline RingEntry WithoutStrongKey(const Party& party) { return RingEntry(party.pub); }

// The entries as a ring, in memory.
PublicKeyRing RingOf(const std::vector<RingEntry>& entries);

// What MakeKeys gives the correspondents' keys of the ring.
enum class FriendKeys { kStrong, kWithoutStrongKeys };

// Whether SaveKeys gives entry 0 the owner's strong key when the entry
// brings none, as every ring the program writes has it, or writes the ring
// as a program without strong keys left it.
enum class OwnStrongKey { kStored, kLeftOut };

// A Unix path as the programs under Wine see it, on drive Z:.
std::string WindowsPath(const char* unixPath);

// Full Windows path of vaultwing.exe in this build.
std::string ProgramPath();

class TrayProgram : public ::testing::Test {
 protected:
  TrayProgram();
  ~TrayProgram() override;

  // Writes a ring of count keys (entry 0 the owner's, with its strong key;
  // the others as friends says) and a secret key into the test folder and
  // names them in the registry.
  void MakeKeys(int ringCount = 1, FriendKeys friends = FriendKeys::kStrong);
  // Writes ring (entry 0 the owner's) and secret as the key files in force,
  // replacing those of an earlier call.
  void SaveKeys(const std::vector<RingEntry>& ring, const uint16_t* secret, OwnStrongKey own = OwnStrongKey::kStored);
  void SaveKeys(const PublicKeyRing& ring, const uint16_t* secret);
  // A public key file of count new keys, with strong keys unless told, as a
  // correspondent would export it.
  std::string MakeKeyFile(const char* name, int count, FriendKeys keys = FriendKeys::kStrong);

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

  // A key's ID as the program names the key's format mark in the registry,
  // and as ?VW2: messages name it: the first 16 hex digits of its public
  // point's fingerprint.
  static std::string KeyIdName(const PublicKeyRecord& key);
  // The ID the program shows for a key with its strong key (or without one:
  // KeyIdName), and the fingerprint it shows.
  static std::string ShownKeyId(const PublicKeyRecord& key, const StrongKey& strong);
  static std::string ShownFingerprint(const PublicKeyRecord& key, const StrongKey& strong);

  driver::TempFolder folder_{"tray"};
  std::string publicPath_, secretPath_;
  // The keys of the last MakeKeys, for checking what the program made of them.
  PublicKeyRing ring_;
  uint16_t secret_[kScalarWords] = {};
};

}  // namespace tray
