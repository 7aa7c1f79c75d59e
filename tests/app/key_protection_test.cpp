// The passphrase on the secret key with the real vaultwing.exe under Wine:
// the unlock dialog at start-up, Password Protect on the Settings page and
// new keys while the key is protected. The key files are read back with the
// key-file code after each step.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keys/formats/protected_key_file.h"
#include "keys/key_files.h"
#include "resources/resource.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/tray_fixture.h"
#include "tests/keys/test_keys.h"

using namespace tray;

namespace {

// Typed as wide text: a composed "ü", a CJK character and one beyond the
// Basic Multilingual Plane, none of which the ANSI code page holds, so a
// passphrase that went through it would not open the file.
constexpr wchar_t kTyped[] = L"Schl\u00fcssel \u2013 \u9375 \U0001F511";
constexpr char kTypedUtf8[] = "Schl\xC3\xBCssel \xE2\x80\x93 \xE9\x8D\xB5 \xF0\x9F\x94\x91";
// The same as the ANSI code page would make of it.
constexpr wchar_t kLookalike[] = L"Schl\u00fcssel \u2013 ? ?";

constexpr char kUnlockCaption[] = "Unlock Secret Key";
constexpr char kProtectCaption[] = "Password Protect";
constexpr char kNewKeyCaption[] = "New Secret Key";
constexpr char kRetry[] = "Wrong passphrase, or the file is damaged. Please try again.";

// Up from Exit: About, Settings, Public Key Manager, Generate.
constexpr std::initializer_list<UINT> kGenerateKeys = {VK_END, VK_UP, VK_UP, VK_UP, VK_UP};

constexpr char kNoticeCaption[] = "Vaultwing for ICQ";
constexpr char kTooLong[] =
    "This passphrase is too long: a passphrase has at most 1024 bytes in UTF-8, which is 1024 characters of plain "
    "English and at least 256 of any script.";

// A passphrase of exactly 1024 bytes in UTF-8 that the old box, of 256
// characters, could not take: "a" and 341 euro signs (342 characters).
const std::wstring kLongest = L"a" + std::wstring(341, L'\u20ac');
const std::string kLongestUtf8 = [] {
  std::string s = "a";
  for (int i = 0; i < 341; ++i) s += "\xE2\x82\xAC";
  return s;
}();

bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

// The whole file at path ("" when it cannot be read), /proc files included,
// whose size the system does not know in advance.
std::string ReadText(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
  CloseHandle(file);
  return text;
}

// The kilobytes of the tray program's memory that are locked, from /proc
// of the Linux process that runs vaultwing.exe in this session's prefix
// (Wine's VirtualLock is mlock); -1 when there is none.
long LockedKilobytesOfProgram() {
  const char* prefix = std::getenv("WINEPREFIX");
  if (!prefix) return -1;
  const std::string ours = std::string("WINEPREFIX=") + prefix + '\0';
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  long locked = -1;
  for (bool more = search != INVALID_HANDLE_VALUE; more && locked < 0; more = FindNextFileA(search, &entry)) {
    const std::string dir = std::string("Z:\\proc\\") + entry.cFileName + "\\";
    if (entry.cFileName[0] < '1' || entry.cFileName[0] > '9') continue;
    if (ReadText(dir + "cmdline").find("vaultwing.exe") == std::string::npos) continue;
    if (ReadText(dir + "environ").find(ours) == std::string::npos) continue;
    const std::string status = ReadText(dir + "status");
    const size_t at = status.find("VmLck:");
    if (at != std::string::npos) locked = std::strtol(status.c_str() + at + 6, nullptr, 10);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return locked;
}

class KeyProtection : public TrayProgram {
 protected:
  // The key files of MakeKeys, the secret one protected under kTypedUtf8.
  void MakeProtectedKeys() {
    MakeKeys();
    Passphrase passphrase;
    SetPassphrase(passphrase, kTypedUtf8);
    ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret_, passphrase), KeyFileStatus::kOk);
  }

  // The secret key file protected under kTypedUtf8 with count rounds, as
  // another program, or an older one, could have written it.
  void ProtectWithCount(uint32_t count) {
    Passphrase passphrase;
    SetPassphrase(passphrase, kTypedUtf8);
    uint8_t file[kProtectedFileBytes];
    ASSERT_EQ(FormatProtectedKeyFile(secret_, passphrase.data(), passphrase.size(), count, file),
              ProtectedKeyStatus::kOk);
    std::FILE* f = std::fopen(secretPath_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file, 1, sizeof file, f);
    std::fclose(f);
  }

  uint32_t FileIterations() {
    const auto bytes = driver::ReadWholeFile(secretPath_);
    return bytes && bytes->size() == kProtectedFileBytes
               ? ProtectedKeyIterations(reinterpret_cast<const uint8_t*>(bytes->data()))
               : 0;
  }

  HWND WaitForPassphraseDialog(const char* caption) {
    return driver::WaitForWindow({"#32770", caption, false, program_.pid()});
  }

  // Types into the fields of the dialog as a user would; Enter then presses
  // OK.
  static void Fill(HWND dialog, const wchar_t* passphrase, const wchar_t* repeat = nullptr) {
    for (auto [id, text] : {std::pair{IDC_PASSPHRASE_EDIT, passphrase}, std::pair{IDC_PASSPHRASE_REPEAT, repeat}}) {
      if (!text) continue;
      DWORD_PTR result = 0;
      EXPECT_TRUE(SendMessageTimeoutW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                      SMTO_ABORTIFHUNG, driver::kSendTimeoutMs, &result));
    }
  }
  static void Enter(HWND dialog, const wchar_t* passphrase, const wchar_t* repeat = nullptr) {
    Fill(dialog, passphrase, repeat);
    EXPECT_TRUE(driver::PostCommand(dialog, IDC_PASSPHRASE_OK));
  }

  // Answers the unlock dialog with a wrong passphrase and waits until it
  // has closed and the next one, which says so, is open.
  HWND EnterWrongPassphrase(HWND dialog) {
    Enter(dialog, kLookalike);
    EXPECT_TRUE(driver::WaitWindowGone(dialog));
    return WaitForPassphraseDialog(kUnlockCaption);
  }

  // The secret key file opens with passphrase and holds key.
  bool Opens(const char* passphrase, const uint16_t* key) {
    Passphrase p;
    SetPassphrase(p, passphrase);
    uint16_t read[kScalarWords];
    return LoadSecretKeyFile(secretPath_.c_str(), read, p) == KeyFileStatus::kOk &&
           std::memcmp(read, key, sizeof read) == 0;
  }

  bool Protected() {
    bool isProtected = false;
    return InspectSecretKeyFile(secretPath_.c_str(), &isProtected) == KeyFileStatus::kOk && isProtected;
  }

  // The Settings page of the sheet opened from the tray icon.
  HWND OpenSettings() {
    EXPECT_TRUE(driver::PostTrayCallback(program_.pid(), WM_LBUTTONDBLCLK));
    sheet_ = sheet::WaitForSheet(program_.pid());
    return sheet_ ? sheet::Page(sheet_, "Settings") : nullptr;
  }

  bool WaitForCheck(HWND page, uint32_t state) {
    return driver::PollUntil(driver::kDefaultTimeoutMs,
                             [&] { return driver::CheckState(page, IDC_PASSWORD_PROTECT) == state; });
  }

  // Generates keys from the tray menu into the two files and returns the
  // dialog that asks for the new key's passphrase.
  HWND GenerateKeysInto(const std::string& publicPath, const std::string& secretPath) {
    EXPECT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program_), kGenerateKeys));
    EXPECT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program_.pid()));
    EXPECT_TRUE(driver::ChooseFile("Save Public Key As", publicPath, program_.pid()));
    EXPECT_TRUE(driver::ChooseFile("Save Secret Key As", secretPath, program_.pid()));
    return WaitForPassphraseDialog(kNewKeyCaption);
  }

  driver::Program program_;
  HWND sheet_ = nullptr;
};

TEST_F(KeyProtection, StartUpAsksForThePassphraseNamingTheFileAndGivesThreeTries) {
  MakeProtectedKeys();
  const auto file = driver::ReadWholeFile(secretPath_);
  program_ = Start();
  HWND dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_FILE), secretPath_);
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE), "");
  EXPECT_FALSE(Visible(dialog, IDC_PASSPHRASE_REPEAT)) << "one field for an existing passphrase";
  KeepScreenshot("unlock-secret-key.png");
  // The secret key and the passphrase are on locked pages, which Wine locks
  // for real (mlock): its Linux process shows them.
  EXPECT_GE(LockedKilobytesOfProgram(), 8) << "the secret key's page and the passphrase's";

  // OK with nothing typed costs no try.
  Fill(dialog, L"");
  EXPECT_TRUE(driver::SendCommand(dialog, IDC_PASSPHRASE_OK));
  EXPECT_TRUE(IsWindowVisible(dialog));
  dialog = EnterWrongPassphrase(dialog);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE), kRetry);
  dialog = EnterWrongPassphrase(dialog);
  ASSERT_NE(dialog, nullptr);
  KeepScreenshot("unlock-secret-key-retry.png");
  Enter(dialog, kTyped);
  ExpectRunning(program_);
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), file) << "unlocking writes nothing";
  EXPECT_GE(LockedKilobytesOfProgram(), 4) << "the secret key's page, for the whole run";

  // A second copy that only imports a key file leaves the key locked: it
  // asks for no passphrase, ends after the import, and leaves a ring that
  // an older program rewrote without the owner's strong key as it is.
  ASSERT_EQ(SavePublicKeyFile(publicPath_.c_str(), 1, &ring_.keys[0]), KeyFileStatus::kOk);
  const std::string keyFile = MakeKeyFile("import.vwg", 1);
  driver::Program second = Start(driver::QuoteArg(keyFile));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, second.pid())) << "import the file's keys?";
  std::string done;
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &done, second.pid()));
  EXPECT_EQ(done.rfind("Public Key has been successfully imported\n", 0), 0u) << done;
  EXPECT_EQ(second.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(driver::FindTopWindow({"#32770", kUnlockCaption}), nullptr);
  PublicKeyRing ring;
  ASSERT_EQ(LoadPublicKeyRing(publicPath_.c_str(), ring), KeyFileStatus::kOk);
  ASSERT_EQ(ring.count(), 2);
  EXPECT_FALSE(ring.strong[0].present);
  EXPECT_TRUE(ring.strong[1].present);
  ExitThroughMenu(program_);
}

// A file protected with fewer rounds than ours is written again with ours
// once it is open, with a notice; one below 100,000 is damaged, refused
// before any passphrase is asked for, and left as it is.
TEST_F(KeyProtection, StartUpWritesAWeakerFileAgainAndRefusesOneBelow100000Rounds) {
  MakeKeys();
  ProtectWithCount(kMinUnlockIterations - 1);
  const auto damaged = driver::ReadWholeFile(secretPath_);
  program_ = Start();
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text, "The secret key file is damaged: its passphrase protection has fewer than 100,000 iterations, which "
                  "no copy of Vaultwing writes.  It has been left as it is.");
  EXPECT_EQ(program_.WaitExit(), std::optional<uint32_t>(1));
  EXPECT_EQ(driver::FindTopWindow({"#32770", kUnlockCaption}), nullptr) << "no passphrase was asked for";
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), damaged);

  ProtectWithCount(kMinUnlockIterations);
  program_ = Start();
  HWND dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, kTyped);
  ASSERT_TRUE(driver::AnswerMessageBox(kNoticeCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text, "The secret key file \"" + secretPath_ +
                      "\" was protected with only 100,000 iterations, which makes a passphrase cheap to guess.  It "
                      "has been written again with 600,000, under the same passphrase.");
  ExpectRunning(program_);
  EXPECT_EQ(FileIterations(), kProtectedIterations);
  EXPECT_TRUE(Opens(kTypedUtf8, secret_)) << "under the same passphrase";
  ExitThroughMenu(program_);
}

// The box takes every passphrase of up to 1024 bytes of UTF-8, as vwg
// does, however many characters that is: one that vwg protected opens here,
// and one typed here opens a file for vwg. More is refused, saying so, and
// so is text that UTF-8 cannot hold; the dialog stays open.
TEST_F(KeyProtection, TheBoxTakesWhatFits1024BytesAndRefusesMore) {
  MakeKeys();
  Passphrase longest;
  SetPassphrase(longest, kLongestUtf8);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret_, longest), KeyFileStatus::kOk);
  program_ = Start();
  HWND dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, (kLongest + L"\u20ac").c_str());
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE) == kTooLong; }));
  KeepScreenshot("passphrase-too-long.png");
  EXPECT_TRUE(IsWindowVisible(dialog)) << "a refused entry costs no try";
  Enter(dialog, kLongest.c_str());
  ExpectRunning(program_);

  HWND page = OpenSettings();
  ASSERT_NE(page, nullptr);
  ASSERT_TRUE(driver::ClickButton(page, IDC_PASSWORD_PROTECT));  // off, after the passphrase
  dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, kLongest.c_str());
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  EXPECT_TRUE(WaitForCheck(page, BST_UNCHECKED));
  ASSERT_TRUE(driver::ClickButton(page, IDC_PASSWORD_PROTECT));  // on again, under a new one
  dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  std::wstring keys;
  for (int i = 0; i < 256; ++i) keys += L"\U0001F511";  // 512 characters of UTF-16, 1024 bytes
  const std::wstring tooLong = std::wstring(1100, L'x');
  for (const auto& [typed, notice] :
       {std::pair{keys + L"a", kTooLong}, std::pair{tooLong, kTooLong},
        std::pair{std::wstring(L"a\xD83D" L"b"), "A passphrase must be text in UTF-8, without NUL characters."}}) {
    Enter(dialog, typed.c_str(), typed.c_str());
    EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                  [&] { return driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE) == notice; }))
        << driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE).value_or("");
    Enter(dialog, L"", L"");  // the notice goes back to the empty one's
    EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      return driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE) ==
             "Please type a passphrase: an empty one protects nothing.";
    }));
  }
  EXPECT_FALSE(Protected()) << "refused entries write nothing";
  Enter(dialog, keys.c_str(), keys.c_str());
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  EXPECT_TRUE(WaitForCheck(page, BST_CHECKED));
  std::string keysUtf8;
  for (int i = 0; i < 256; ++i) keysUtf8 += "\xF0\x9F\x94\x91";
  EXPECT_TRUE(Opens(keysUtf8.c_str(), secret_));
  ASSERT_TRUE(driver::PressButton(sheet_, IDCANCEL));
  ExitThroughMenu(program_);
}

TEST_F(KeyProtection, ThreeWrongPassphrasesOrCancelEndStartUpWithCodeOneAndChangeNothing) {
  MakeProtectedKeys();
  const auto file = driver::ReadWholeFile(secretPath_);
  const auto paths = std::make_pair(driver::ReadRegString(kKeysKey, "Public Key"),
                                    driver::ReadRegString(kKeysKey, "Secret Key"));
  program_ = Start();
  HWND dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  for (int i = 0; i < 2; ++i) ASSERT_NE(dialog = EnterWrongPassphrase(dialog), nullptr);
  Enter(dialog, kLookalike);
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text, "Wrong passphrase, or the secret key file is damaged.");
  EXPECT_EQ(program_.WaitExit(), std::optional<uint32_t>(1));

  program_ = Start();
  dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(driver::PressButton(dialog, IDC_PASSPHRASE_CANCEL));
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program_.pid()));
  EXPECT_EQ(text,
            "Vaultwing for ICQ cannot run without your secret key, which stays locked until you give its "
            "passphrase.");
  EXPECT_EQ(program_.WaitExit(), std::optional<uint32_t>(1));

  EXPECT_EQ(driver::ReadWholeFile(secretPath_), file);
  EXPECT_EQ(std::make_pair(driver::ReadRegString(kKeysKey, "Public Key"),
                           driver::ReadRegString(kKeysKey, "Secret Key")),
            paths);
  EXPECT_FALSE(driver::RegKeyExists(kAddOnKey)) << "start-up ended before the registrations";
}

TEST_F(KeyProtection, PasswordProtectRewritesTheFileProtectedAndBackInTheClear) {
  MakeKeys();
  const auto clear = driver::ReadWholeFile(secretPath_);
  program_ = Start();
  ExpectRunning(program_);
  HWND page = OpenSettings();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PASSWORD_PROTECT)));
  EXPECT_EQ(driver::CheckState(page, IDC_PASSWORD_PROTECT), BST_UNCHECKED);

  // Empty or different entries are refused in the dialog; Cancel changes nothing.
  ASSERT_TRUE(driver::ClickButton(page, IDC_PASSWORD_PROTECT));
  HWND dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(Visible(dialog, IDC_PASSPHRASE_REPEAT));
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_FILE), secretPath_);
  Enter(dialog, L"", L"");
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE) ==
           "Please type a passphrase: an empty one protects nothing.";
  }));
  Enter(dialog, kTyped, kLookalike);
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE) ==
           "The two entries differ. Please type the same passphrase twice.";
  }));
  KeepScreenshot("password-protect.png");
  ASSERT_TRUE(driver::PressButton(dialog, IDC_PASSPHRASE_CANCEL));
  EXPECT_TRUE(WaitForCheck(page, BST_UNCHECKED));
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), clear);

  ASSERT_TRUE(driver::ClickButton(page, IDC_PASSWORD_PROTECT));
  dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, kTyped, kTyped);
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  EXPECT_TRUE(WaitForCheck(page, BST_CHECKED));
  EXPECT_EQ(driver::FileSize(secretPath_), 996u);
  EXPECT_TRUE(Opens(kTypedUtf8, secret_));
  KeepScreenshot("settings-protected.png");

  // Off: the passphrase first, with a second try after a wrong one.
  ASSERT_TRUE(driver::ClickButton(page, IDC_PASSWORD_PROTECT));
  dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(Visible(dialog, IDC_PASSPHRASE_REPEAT));
  Enter(dialog, kLookalike);
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  dialog = WaitForPassphraseDialog(kProtectCaption);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_NOTICE), kRetry);
  EXPECT_TRUE(Protected()) << "a wrong passphrase writes nothing";
  Enter(dialog, kTyped);
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  EXPECT_TRUE(WaitForCheck(page, BST_UNCHECKED));
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), clear) << "the very bytes of the file in the clear";
  ASSERT_TRUE(driver::PressButton(sheet_, IDOK));
  ExitThroughMenu(program_);

  // What the box shows is the file: protected behind the program's back,
  // it shows checked at the next start.
  Passphrase passphrase;
  SetPassphrase(passphrase, kTypedUtf8);
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), secret_, passphrase), KeyFileStatus::kOk);
  program_ = Start();
  dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, kTyped);
  ExpectRunning(program_);
  page = OpenSettings();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(WaitForCheck(page, BST_CHECKED));
  ASSERT_TRUE(driver::PressButton(sheet_, IDCANCEL));
  ExitThroughMenu(program_);
}

TEST_F(KeyProtection, NewKeysWhileProtectedAskForTheirOwnPassphraseOrNone) {
  MakeProtectedKeys();
  program_ = Start();
  HWND dialog = WaitForPassphraseDialog(kUnlockCaption);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, kTyped);
  ExpectRunning(program_);

  const std::string newPublic = folder_.File("public2.vwg"), newSecret = folder_.File("secret2.vwg");
  dialog = GenerateKeysInto(newPublic, newSecret);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_PASSPHRASE_FILE), newSecret);
  KeepScreenshot("new-secret-key.png");
  Enter(dialog, L"neu", L"neu");
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return driver::ReadRegString(kKeysKey, "Secret Key") == newSecret; }));
  secretPath_ = newSecret;
  EXPECT_EQ(driver::FileSize(newSecret), 996u);
  PublicKeyRing ring;
  ASSERT_EQ(LoadPublicKeyRing(newPublic.c_str(), ring), KeyFileStatus::kOk);
  uint16_t key[kScalarWords];
  Passphrase passphrase;
  SetPassphrase(passphrase, "neu");
  ASSERT_EQ(LoadSecretKeyFile(newSecret.c_str(), key, passphrase), KeyFileStatus::kOk);
  EXPECT_NE(std::memcmp(key, secret_, sizeof key), 0) << "a new key";

  // Both entries empty: the next new key is stored in the clear.
  dialog = GenerateKeysInto(newPublic, newSecret);
  ASSERT_NE(dialog, nullptr);
  Enter(dialog, L"", L"");
  ASSERT_TRUE(driver::WaitWindowGone(dialog));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::FileSize(newSecret) == 938u; }));
  EXPECT_FALSE(Protected());
  ExitThroughMenu(program_);
}

}  // namespace
