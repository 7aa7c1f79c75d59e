// The long run ("soak") of the tray program beside the look-alike messenger:
// dialogs opened and closed every few hundred milliseconds, Encrypt and
// Decrypt pressed (?VW3: messages for the owner's key, old-format ones for
// a key without a strong key marked so, chosen from the key menu), received messages decrypted
// as they arrive (Auto-Decrypt on), the clipboard commands, the tray menu
// and the property sheet opened and closed, for VWG_SOAK_MINUTES minutes
// (default 30), with a passphrase-protected secret key unlocked at start. Once a minute it samples what the program holds, as Wine reports it
// for another process: working set and private bytes
// (GetProcessMemoryInfo); kernel handles, counted in the system's handle
// table (NtQuerySystemInformation), since Wine 8's GetProcessHandleCount
// gives 0 for another process; the program's windows, its buttons in the
// messenger's dialogs included; GDI and USER objects (GetGuiResources,
// which Wine 8 answers with 0). The samples go to standard output and,
// with VWG_SOAK_CSV set to a Windows path, to a CSV file. Not part of the
// test command: scripts/soak.sh runs it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "keys/formats/cipher.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/key_files.h"
#include "keys/registry_names.h"
#include "resources/resource.h"
#include "tests/app/clipboard_driver.h"
#include "tests/app/sheet_driver.h"
#include "tests/icq/icq_fixture.h"
#include "tests/keys/test_keys.h"
#include "tests/support/test_seed.h"

using namespace icq;

namespace {

struct Sample {
  int minute;
  uint64_t cycles, failures;
  SIZE_T workingSetKb, privateKb;
  DWORD handles, windows, gdiObjects, userObjects;
};

Sample Measure(const driver::Program& program, int minute, uint64_t cycles, uint64_t failures) {
  const driver::Program::ResourceUse use = program.Resources();
  return {minute, cycles, failures, static_cast<SIZE_T>(use.residentBytes / 1024),
          static_cast<SIZE_T>(use.privateBytes / 1024), use.handles, use.windows, use.gdiObjects,
          use.userObjects};
}

class Report {
 public:
  Report() {
    if (const char* path = std::getenv("VWG_SOAK_CSV")) csv_ = std::fopen(path, "w");
    Line("minute,cycles,failures,working_set_kb,private_kb,handles,windows,gdi_objects,user_objects");
  }
  ~Report() {
    if (csv_) std::fclose(csv_);
  }
  void Add(const Sample& s) {
    char line[200];
    std::snprintf(line, sizeof line, "%d,%llu,%llu,%lu,%lu,%lu,%lu,%lu,%lu", s.minute,
                  static_cast<unsigned long long>(s.cycles), static_cast<unsigned long long>(s.failures),
                  static_cast<unsigned long>(s.workingSetKb), static_cast<unsigned long>(s.privateKb),
                  static_cast<unsigned long>(s.handles), static_cast<unsigned long>(s.windows),
                  static_cast<unsigned long>(s.gdiObjects),
                  static_cast<unsigned long>(s.userObjects));
    Line(line);
  }

 private:
  void Line(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
    if (csv_) {
      std::fprintf(csv_, "%s\n", text);
      std::fflush(csv_);
    }
  }
  FILE* csv_ = nullptr;
};

int Minutes() {
  const char* v = std::getenv("VWG_SOAK_MINUTES");
  const int m = v ? std::atoi(v) : 30;
  return m > 0 ? m : 30;
}

// A message of 1..400 printable characters: up to seven blocks.
std::string RandomMessage(std::mt19937& random) {
  std::uniform_int_distribution<int> length(1, 400), character(0x20, 0x7E);
  std::string text(length(random), ' ');
  for (char& c : text) c = static_cast<char>(character(random));
  return text;
}

// The last ring key's user ID holds the UIN of the messenger's received
// messages' default sender, so that old-format messages from it can be
// decrypted as they arrive; a stranger's wait for a press.
constexpr char kKnownName[] = "Alice", kKnownUin[] = "7654321";
constexpr char kPassphrase[] = "soak passphrase";

class Soak : public IcqIntegration {
 protected:
  // The ring of 4 keys, the last marked for the old format and holding the
  // known sender's UIN, the secret key protected; then both programs, the
  // secret key unlocked as a user would. Returns the unlock's time in ms,
  // from OK to the tray icon.
  uint64_t StartWithProtectedKey() {
    // The correspondents' programs have no strong keys: the old-format mark
    // counts only for such a key.
    MakeKeys(4, tray::FriendKeys::kWithoutStrongKeys);
    SetUserId(ring_.keys.back(), (std::string("Friend ") + kKnownUin).c_str());
    SaveKeys(ring_, secret_);
    Passphrase passphrase;
    SetPassphrase(passphrase, kPassphrase);
    EXPECT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret_, passphrase), KeyFileStatus::kOk);
    const std::string oldFormat = KeyIdName(ring_.keys.back());
    for (const char* name : {oldFormat.c_str(), kAutoDecryptValue})
      EXPECT_TRUE(driver::WriteRegDword(kSettingsKey, name, 1));
    StartMessenger();
    program_ = Start();
    HWND unlock = driver::WaitForWindow({"#32770", "Unlock Secret Key", false, program_.pid()});
    EXPECT_NE(unlock, nullptr);
    if (!unlock) return 0;
    DWORD_PTR result = 0;
    const std::wstring typed(kPassphrase, kPassphrase + sizeof kPassphrase - 1);
    SendMessageTimeoutW(GetDlgItem(unlock, IDC_PASSPHRASE_EDIT), WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(typed.c_str()), SMTO_ABORTIFHUNG, driver::kSendTimeoutMs, &result);
    const uint64_t pressed = driver::NowMs();
    EXPECT_TRUE(driver::PostCommand(unlock, IDC_PASSPHRASE_OK));
    ExpectRunning(program_);
    return driver::NowMs() - pressed;
  }

  // The ring's first key, the owner's, gets strong messages; its last one
  // is marked for the old format, so that both formats keep being used.
  bool OldFormat(UINT key) const { return key == VK_END; }
  int Wanted(UINT key) const { return key == VK_HOME ? 0 : ring_.count() - 1; }

  // The ring entry for which message was encrypted into text, or -1: a
  // strong message names it, an old-format one is checked against the
  // cipher run here.
  int EncryptedFor(const std::string& message, const std::string& text) const {
    if (const int named = StrongRecipient(text, ring_); named >= 0) return named;
    for (int i = 0; i < ring_.count(); ++i) {
      CurvePoint q;
      RecordPoint(ring_.keys[i], q);
      std::string expected;
      if (EncryptText(message, secret_, q, expected) && expected == text) return i;
    }
    return -1;
  }

  // "" when text was encrypted for the key wanted, in its format.
  std::string CheckEncrypted(const std::string& message, const std::string& text, UINT key) const {
    const int chosen = EncryptedFor(message, text);
    if (text == message) return "the text did not change";
    if (chosen < 0) return "the encrypted text is that of no key: " + text;
    if (chosen != Wanted(key)) return "the key menu chose entry " + std::to_string(chosen) + ", not " +
                                      std::to_string(Wanted(key));
    const bool strong = text.rfind(kV3Prefix, 0) == 0 || text.rfind(kStrongPrefix, 0) == 0;
    if (strong == OldFormat(key)) return "the wrong format: " + text;
    return "";
  }

  // One send dialog and one incoming dialog: the message encrypted for the
  // ring's first (VK_HOME) or last (VK_END) key and received, both dialogs
  // closed. A received message is decrypted as it arrives, unless it is an
  // old-format one from a stranger (byHand): Decrypt is pressed then, with
  // the same key from the menu. "" when all went well, else what did not.
  std::string MessageRoundTrip(const std::string& message, UINT key, bool byHand) {
    HWND send = Open(messenger::kOpenSendDialog, "Send Online Message (Bob)");
    HWND encrypt = send ? WaitForAddedButton(send) : nullptr;
    std::string failure = encrypt ? "" : "no Encrypt button";
    std::string encrypted;
    if (encrypt) {
      HWND edit = MessageEdit(send);
      driver::SetWindowTextRemote(edit, message);
      encrypted = TransformWith(encrypt, edit, key);
      failure = CheckEncrypted(message, encrypted, key);
    }
    if (send) PostMessageA(send, WM_CLOSE, 0, 0);
    if (!failure.empty()) return failure;

    // A message from the owner's own key arrives in a dialog that shows no
    // UIN: one that showed the known correspondent's would be left, as from
    // someone else.
    byHand = byHand && OldFormat(key);
    const Conversation from = byHand            ? Conversation{"Dave", "9999999", encrypted}
                              : OldFormat(key) ? Conversation{kKnownName, kKnownUin, encrypted}
                                               : Conversation{"Me", "", encrypted};
    HWND incoming = Open(messenger::kOpenIncomingDialog, ("Incoming Message from " + from.name).c_str(), from);
    HWND decrypt = incoming ? WaitForAddedButton(incoming) : nullptr;
    if (!decrypt) failure = "no Decrypt button";
    if (decrypt) {
      HWND edit = MessageEdit(incoming);
      // The old format gives back the spaces that filled its last block.
      const std::string decrypted = byHand ? TransformWith(decrypt, edit, key) : WaitForTextChange(edit, encrypted);
      ++(byHand ? pressed_ : arrived_);
      if (decrypted.compare(0, message.size(), message) != 0 || (!OldFormat(key) && decrypted != message))
        failure = "decrypted \"" + decrypted + "\", not \"" + message + "\"";
    }
    if (incoming) PostMessageA(incoming, WM_CLOSE, 0, 0);
    if (failure.empty() && !(driver::WaitWindowGone(send) && driver::WaitWindowGone(incoming)))
      failure = "a dialog did not close";
    return failure;
  }

  // Encrypt Clipboard and then Decrypt Clipboard on message, with the
  // ring's first or last key, each answered at its notice.
  std::string ClipboardRoundTrip(const std::string& message, UINT key) {
    if (!clipboard::SetClipboard(message)) return "could not put the message on the clipboard";
    const std::string encrypted = RunClipboardCommand(clipboard::kEncryptClipboard, key);
    if (const std::string failure = CheckEncrypted(message, encrypted, key); !failure.empty())
      return "Encrypt Clipboard: " + failure;
    const std::string decrypted = RunClipboardCommand(clipboard::kDecryptClipboard, OldFormat(key) ? key : 0);
    // The old format's padding is trimmed, and with it any spaces the
    // message ended in.
    const size_t end = message.find_last_not_of(' ');
    const std::string expected = OldFormat(key) ? message.substr(0, end == std::string::npos ? 0 : end + 1) : message;
    if (decrypted != expected) return "Decrypt Clipboard left \"" + decrypted + "\"";
    return "";
  }

  // The clipboard's text after command, with key from the key menu (0: the
  // command asks for none), "" if a step failed.
  std::string RunClipboardCommand(std::initializer_list<UINT> command, UINT key) {
    if (!clipboard::ChooseTrayCommand(OpenTrayMenu(program_), command) ||
        (key != 0 && !ChooseKey(driver::WaitForMenu(program_.pid()), key)) ||
        !driver::AnswerMessageBox("Vaultwing for ICQ", IDOK, nullptr, program_.pid()))
      return "";
    return clipboard::ClipboardText().value_or("");
  }

  std::string TrayMenuOpenAndClose() {
    HWND menu = OpenTrayMenu(program_);
    return menu && driver::CloseMenu(menu) ? "" : "the tray menu did not open and close";
  }

  uint64_t arrived_ = 0, pressed_ = 0;  // received messages decrypted on arrival and by a press

  std::string SheetOpenAndClose() {
    HWND sheet = driver::PostTrayCallback(program_.pid(), WM_LBUTTONDBLCLK)
                     ? sheet::WaitForSheet(program_.pid())
                     : nullptr;
    return sheet && driver::PressButton(sheet, IDCANCEL) ? "" : "the property sheet did not open and close";
  }
};

TEST_F(Soak, DialogsPressesAndMenusForMinutes) {
  const uint64_t unlockMs = StartWithProtectedKey();
  ASSERT_TRUE(program_.Running());
  std::printf("secret key unlocked in %llu ms\n", static_cast<unsigned long long>(unlockMs));
  std::mt19937 random(TestSeed());
  Report report;
  const int minutes = Minutes();
  const uint64_t start = driver::NowMs();
  uint64_t cycles = 0, failures = 0;
  report.Add(Measure(program_, 0, cycles, failures));
  for (int minute = 1; minute <= minutes; ++minute) {
    while (driver::NowMs() - start < static_cast<uint64_t>(minute) * 60000) {
      const UINT key = cycles % 2 ? VK_HOME : VK_END;
      std::vector<std::string> failed = {MessageRoundTrip(RandomMessage(random), key, cycles % 4 == 0)};
      if (cycles % 5 == 0) failed.push_back(TrayMenuOpenAndClose());
      if (cycles % 10 == 0) failed.push_back(SheetOpenAndClose());
      // A clipboard of blanks only is refused as holding no text.
      if (cycles % 3 == 0) failed.push_back(ClipboardRoundTrip("Clip: " + RandomMessage(random), key));
      ++cycles;
      for (const std::string& f : failed) {
        if (f.empty()) continue;
        ++failures;
        ADD_FAILURE() << "cycle " << cycles << ": " << f;
      }
      if (!program_.Running()) break;
      Sleep(200);
    }
    report.Add(Measure(program_, minute, cycles, failures));
    if (!program_.Running()) break;
  }
  std::printf("%llu cycles: %llu received messages decrypted on arrival, %llu by a press\n",
              static_cast<unsigned long long>(cycles), static_cast<unsigned long long>(arrived_),
              static_cast<unsigned long long>(pressed_));
  EXPECT_TRUE(program_.Running()) << "the program ended during the run";
  EXPECT_EQ(failures, 0u);
  ExitThroughMenu(program_);
}

}  // namespace
