// The real vaultwing.exe under Wine, driven from outside as a user would.
#include <chrono>
#include <cstdio>

#include "keys/key_files.h"
#include "keys/strong_key.h"
#include "tests/app/tray_fixture.h"

using namespace tray;
using driver::ReadRegDword;
using driver::ReadRegString;

namespace {

// A ring of the owner's key with its strong key: the header, the entry, and
// the trailer of strong keys; every further entry with a strong key adds
// an entry and a trailer slot.
constexpr uint64_t kRingBytes = 10 + 142 + 6 + 122;
constexpr uint64_t kEntryBytes = 142 + 122;
constexpr uint64_t kSecretBytes = 938;
constexpr char kStrongKeysDropped[] =
    "An older copy of Vaultwing has rewritten your public key ring and dropped its strong keys.  Your own has been "
    "added again; please import your correspondents' key files again, or messages to and from them are not "
    "authenticated.";

}  // namespace

TEST_F(TrayProgram, FirstStartGeneratesKeysAndWritesSettingsAndRegistrations) {
  driver::Program program = Start();
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, &question, program.pid()));
  EXPECT_EQ(question, "Unable to find existing secret/public key files.  Would you like to generate new keys?");
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", publicPath_, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Secret Key As", secretPath_, program.pid()));
  ExpectRunning(program);
  ASSERT_TRUE(WaitForRegistrations());

  EXPECT_EQ(driver::FileSize(publicPath_), kRingBytes);
  EXPECT_EQ(driver::FileSize(secretPath_), kSecretBytes);
  EXPECT_EQ(ReadRegDword(kSettingsKey, kRingHasStrongKeysValue), 1u);
  EXPECT_EQ(ReadRegString(kKeysKey, "Public Key"), publicPath_);
  EXPECT_EQ(ReadRegString(kKeysKey, "Secret Key"), secretPath_);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "LaunchOnStartup"), 1u);
  EXPECT_EQ(ReadRegDword(kSettingsKey, "Skins"), 0u);
  EXPECT_EQ(ReadRegString("Software\\Classes\\.vwg", ""), "VWG.KeyFile");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile\\shell\\open\\command", ""),
            "\"" + ProgramPath() + "\" \"%1\"");
  EXPECT_EQ(ReadRegString("Software\\Classes\\VWG.KeyFile\\DefaultIcon", ""),
            "\"" + ProgramPath() + "\",1");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Enable"), "Yes");
  EXPECT_EQ(ReadRegString(kAddOnKey, "Path"), ProgramPath());
  EXPECT_EQ(ReadRegString(kAddOnKey, "Startup"), folder_.path());

  // Hidden, a tool window: never on screen, no taskbar button.
  HWND main = driver::WaitForMainWindow(program.pid());
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_TRUE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, StartWithKeysInTheRegistryAsksNothingAndChangesNoValue) {
  MakeKeys();
  driver::Program first = Start();
  ExpectRunning(first);
  ExitThroughMenu(first);

  // The settings and registrations exist now; a second start changes nothing.
  const auto before = std::make_tuple(ReadRegString(kKeysKey, "Public Key"), ReadRegString(kKeysKey, "Secret Key"),
                                      ReadRegDword(kSettingsKey, "LaunchOnStartup"), ReadRegDword(kSettingsKey, "Skins"),
                                      ReadRegString(kAddOnKey, "Path"));
  const auto started = std::chrono::steady_clock::now();
  driver::Program program = Start();
  ExpectRunning(program);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("start-up to running tray program: %.2f s\n", seconds);
  EXPECT_EQ(before, std::make_tuple(ReadRegString(kKeysKey, "Public Key"), ReadRegString(kKeysKey, "Secret Key"),
                                    ReadRegDword(kSettingsKey, "LaunchOnStartup"),
                                    ReadRegDword(kSettingsKey, "Skins"), ReadRegString(kAddOnKey, "Path")));
  EXPECT_EQ(driver::FindTopWindow({"#32770", kQuestionCaption}), nullptr);
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, SecondCopyEndsWithZeroAndImportsAKeyFileFirst) {
  MakeKeys();
  driver::Program first = Start();
  ExpectRunning(first);

  driver::Program second = Start();
  EXPECT_EQ(second.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_TRUE(first.Running());

  const std::string keyFile = MakeKeyFile("friends file.vwg", 2);
  driver::Program opener = Start(driver::QuoteArg(keyFile));  // as the shell opens a key file
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, &text, opener.pid()));
  EXPECT_EQ(text.rfind(keyFile + " holds these public keys:\n\nImport 0, key ID ", 0), 0u) << text;
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &text, opener.pid()));
  EXPECT_EQ(text.rfind("Public Key has been successfully imported\n", 0), 0u) << text;
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(driver::FileSize(publicPath_), kRingBytes + 2 * kEntryBytes);
  EXPECT_TRUE(first.Running());
  ExitThroughMenu(first);
}

// A key file opened from the shell, with the program in a folder whose name
// has blanks: the registered command must start the program itself, not one
// planted where the path's first blank would end an unquoted name, and hand
// over the key file.
TEST_F(TrayProgram, KeyFileOpenedThroughTheAssociationIsImportedFromAFolderWithBlanks) {
  MakeKeys();
  const std::string folder = folder_.File("Program Files");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA(WindowsPath(VWG_CLI_UNIX_PATH).c_str(), folder_.File("Program.exe").c_str(), FALSE));
  const std::string exe = folder + "\\vaultwing.exe";
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE));
  driver::Program first = driver::StartProgram(exe, "", folder_.path());
  ExpectRunning(first);
  ASSERT_TRUE(WaitForRegistrations());
  std::string command = ReadRegString("Software\\Classes\\VWG.KeyFile\\shell\\open\\command", "").value_or("");
  const size_t placeholder = command.find("%1");
  ASSERT_NE(placeholder, std::string::npos) << command;
  command.replace(placeholder, 2, MakeKeyFile("friend.vwg", 1));

  driver::Program opener = driver::StartCommand(command, folder_.path());
  ASSERT_TRUE(opener) << command;
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, opener.pid())) << command;
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &text, opener.pid())) << command;
  EXPECT_EQ(text.rfind("Public Key has been successfully imported\n", 0), 0u) << text;
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(driver::FileSize(publicPath_), kRingBytes + kEntryBytes);
  ExitThroughMenu(first);
}

TEST_F(TrayProgram, FirstCopyImportsItsKeyFileBeforeTheSplash) {
  MakeKeys();
  const std::string keyFile = MakeKeyFile("friend.vwg", 1);
  driver::Program program = Start(driver::QuoteArg(keyFile));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program.pid()));
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, nullptr, program.pid()));
  ExpectRunning(program);
  EXPECT_EQ(driver::FileSize(publicPath_), kRingBytes + kEntryBytes);
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, MalformedImportFileIsReportedAndTheProgramGoesOn) {
  MakeKeys(2);
  const std::string bad = folder_.File("bad.vwg");
  ASSERT_TRUE(driver::WriteWholeFile(bad, "VWG.\x02\x00\x01\x00 not a public key file"));
  const auto ring = driver::ReadWholeFile(publicPath_);

  driver::Program program = Start(driver::QuoteArg(bad));
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program.pid()));
  EXPECT_EQ(text, kBadPublicFile);
  ExpectRunning(program);
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), ring);
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, MalformedRingEndsStartUpWithExitCodeOneAfterTheBox) {
  MakeKeys();
  ASSERT_TRUE(driver::WriteWholeFile(publicPath_, "VWG.\x01\x00\x01\x00\x00\x00"));  // count 0
  driver::Program program = Start();
  HWND box = driver::WaitForMessageBox(kErrorCaption, program.pid());
  ASSERT_NE(box, nullptr);
  // The box answered for its text: the program waits in it for the press.
  EXPECT_EQ(driver::MessageBoxText(box), kBadPublicFile);
  EXPECT_TRUE(program.Running()) << "ended before the box was closed";
  ASSERT_TRUE(driver::PressButton(box, IDOK));
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(1));
}

// A secret key file of another pair than the ring's first key: start-up
// ends after a box that names both files, as for any bad key file.
TEST_F(TrayProgram, SecretKeyOfAnotherPairEndsStartUpNamingBothFiles) {
  MakeKeys(2);
  uint16_t otherSecret[kScalarWords];
  PublicKeyRecord otherPublic;
  ASSERT_TRUE(GenerateKeyPair(otherSecret, otherPublic, "Other"));
  ASSERT_EQ(SaveSecretKeyFile(secretPath_.c_str(), otherSecret), KeyFileStatus::kOk);
  driver::Program program = Start();
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program.pid()));
  EXPECT_EQ(text, KeyPairMismatchText(secretPath_.c_str(), publicPath_.c_str()));
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(1));
}

// The registry refuses the key paths: the program's own key made volatile
// beforehand (with the settings below it, which then work), no stable key
// can be created under it for the paths. The new keys are saved and in use;
// a warning names both files, and no path of the pair is recorded.
TEST_F(TrayProgram, KeyPathsTheRegistryRefusesAreReportedAndTheNewKeysStayInUse) {
  std::string key;
  for (const char* part : {"Software\\Corvandel", "\\VWG for ICQ", "\\Settings"}) {
    key += part;
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &created, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(created);
  }
  HKEY stable = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeysKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &stable, nullptr),
            ERROR_CHILD_MUST_BE_VOLATILE);

  driver::Program program = Start();
  // Each look for the key, for the two paths and for storing them, says
  // first why it cannot be made.
  std::string why, reason, warning;
  for (int look = 0; look < 2; ++look) {
    ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &reason, program.pid()));
    EXPECT_NE(reason, "");
    EXPECT_TRUE(why.empty() || reason == why) << reason;
    why = reason;
  }
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", publicPath_, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Secret Key As", secretPath_, program.pid()));
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &reason, program.pid()));
  EXPECT_EQ(reason, why);
  HWND box = driver::WaitForWindow({"#32770", kErrorCaption});
  ASSERT_NE(box, nullptr);
  KeepScreenshot("key-paths-not-stored.png");
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &warning, program.pid()));
  EXPECT_EQ(warning, TextNamingFiles(IDS_KEY_PATHS_NOT_STORED, {publicPath_.c_str(), secretPath_.c_str()}));
  ExpectRunning(program);
  EXPECT_EQ(driver::FileSize(publicPath_), kRingBytes);
  EXPECT_EQ(driver::FileSize(secretPath_), kSecretBytes);
  EXPECT_FALSE(ReadRegString(kKeysKey, "Public Key").has_value());
  EXPECT_FALSE(ReadRegString(kKeysKey, "Secret Key").has_value());
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, DecliningKeysAndCancellingTheOpenDialogEndsStartUp) {
  driver::Program program = Start();
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, nullptr, program.pid()));
  ASSERT_TRUE(driver::CancelFileDialog("Open Public Key File", program.pid()));
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program.pid()));
  EXPECT_EQ(text, "You have to generate or specify public and secret key files before you can procede!");
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(1));
}

TEST_F(TrayProgram, ExitRemovesTheIconAndFreesTheMutexForANewCopy) {
  MakeKeys();
  const int iconsBefore = driver::TrayIconCount();
  driver::Program program = Start();
  ExpectRunning(program);
  EXPECT_TRUE(driver::WaitTrayIconCount(iconsBefore + 1));
  HWND menu = OpenTrayMenu(program);
  ASSERT_NE(menu, nullptr);
  driver::PostMenuKey(menu, VK_HOME);  // the banner
  driver::PostMenuKey(menu, VK_DOWN);  // the first command, highlighted
  KeepScreenshot("tray-menu.png");
  ASSERT_TRUE(driver::ChooseMenuItem(menu, {VK_END}));
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_TRUE(driver::WaitTrayIconCount(iconsBefore));

  driver::Program again = Start();
  ExpectRunning(again);  // a second copy would have ended at once
  ExitThroughMenu(again);
}

// A fatal error while the program runs, here a ring found malformed when the
// Public Key Manager opens, ends it with exit code 1 once the box is closed,
// and its tray icon goes with it. (Wine also drops the icon of a window that
// is gone; app_state_test.cpp checks that the program takes it away itself.)
TEST_F(TrayProgram, FatalErrorWhileRunningEndsWithOneAndTakesTheIconAway) {
  MakeKeys();
  const int iconsBefore = driver::TrayIconCount();
  driver::Program program = Start();
  ExpectRunning(program);
  ASSERT_TRUE(driver::WaitTrayIconCount(iconsBefore + 1));
  ASSERT_TRUE(driver::WriteWholeFile(publicPath_, "VWG. not a ring"));
  ASSERT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program), {VK_END, VK_UP, VK_UP, VK_UP}));  // Public Key Manager
  std::string text;
  ASSERT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program.pid()));
  EXPECT_EQ(text, kBadPublicFile);
  EXPECT_EQ(program.WaitExit(), std::optional<uint32_t>(1));
  EXPECT_TRUE(driver::WaitTrayIconCount(iconsBefore));
}

// Up from Exit: About, Settings, Public Key Manager, Generate.
constexpr std::initializer_list<UINT> kGenerateKeys = {VK_END, VK_UP, VK_UP, VK_UP, VK_UP};

TEST_F(TrayProgram, GeneratingKeysAnsweredNoOrCancelledHalfWayChangesNothing) {
  MakeKeys(3);
  const auto ring = driver::ReadWholeFile(publicPath_), secret = driver::ReadWholeFile(secretPath_);
  driver::Program program = Start();
  ExpectRunning(program);

  ASSERT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program), kGenerateKeys));
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, &question, program.pid()));
  EXPECT_EQ(question.rfind("Are you sure that you want to generate new keys", 0), 0u) << question;

  const std::string elsewhere = folder_.File("new public.vwg");
  ASSERT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program), kGenerateKeys));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", elsewhere, program.pid()));
  ASSERT_TRUE(driver::CancelFileDialog("Save Secret Key As", program.pid()));

  // Replacing the very files in force, cancelled at the second dialog.
  ASSERT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program), kGenerateKeys));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", publicPath_, program.pid()));
  ASSERT_TRUE(driver::CancelFileDialog("Save Secret Key As", program.pid()));

  EXPECT_EQ(driver::ReadWholeFile(publicPath_), ring);
  EXPECT_EQ(driver::ReadWholeFile(secretPath_), secret);
  EXPECT_FALSE(driver::FileSize(elsewhere).has_value());
  EXPECT_EQ(ReadRegString(kKeysKey, "Public Key"), publicPath_);
  EXPECT_EQ(ReadRegString(kKeysKey, "Secret Key"), secretPath_);
  EXPECT_TRUE(program.Running());
  ExitThroughMenu(program);
}

TEST_F(TrayProgram, GeneratingKeysFromTheMenuReplacesBothFilesAndPaths) {
  MakeKeys(3);
  driver::Program program = Start();
  ExpectRunning(program);
  const std::string newPublic = folder_.File("public2.vwg"), newSecret = folder_.File("secret2.vwg");
  ASSERT_TRUE(driver::ChooseMenuItem(OpenTrayMenu(program), kGenerateKeys));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Public Key As", newPublic, program.pid()));
  ASSERT_TRUE(driver::ChooseFile("Save Secret Key As", newSecret, program.pid()));
  // The secret key's path is written last, after both files and the ring's path.
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs,
                                [&] { return ReadRegString(kKeysKey, "Secret Key") == newSecret; }));

  EXPECT_EQ(ReadRegString(kKeysKey, "Public Key"), newPublic);
  EXPECT_EQ(ReadRegString(kKeysKey, "Secret Key"), newSecret);
  EXPECT_EQ(driver::FileSize(newPublic), kRingBytes);  // the old correspondents are gone from the new ring
  EXPECT_EQ(driver::FileSize(newSecret), kSecretBytes);
  ExitThroughMenu(program);
}

// A ring as a program without strong keys wrote it: the start adds the
// owner's strong key to entry 0 and changes nothing else, and remembers
// that the ring holds strong keys.
TEST_F(TrayProgram, StartGivesTheRingTheOwnersStrongKeyAndChangesNothingElse) {
  MakeKeys(2, FriendKeys::kWithoutStrongKeys);
  SaveKeys({ring_.keys[0], ring_.keys[1]}, secret_, OwnStrongKey::kLeftOut);
  ASSERT_EQ(driver::FileSize(publicPath_), 10u + 2 * 142);
  driver::Program program = Start();
  ExpectRunning(program);
  PublicKeyRing ring;
  ASSERT_EQ(LoadPublicKeyRing(publicPath_.c_str(), ring), KeyFileStatus::kOk);
  ASSERT_EQ(ring.count(), 2);
  StrongKey own;
  ASSERT_TRUE(StrongKeyOf(secret_, own));
  EXPECT_TRUE(SameStrongKey(ring.strong[0], own));
  EXPECT_FALSE(ring.strong[1].present);
  for (int i : {0, 1}) EXPECT_EQ(Hex(&ring.keys[i], sizeof ring.keys[i]), Hex(&ring_.keys[i], sizeof ring_.keys[i]));
  EXPECT_EQ(driver::FileSize(publicPath_), 10u + 2 * 142 + 6 + 2 * 122);
  EXPECT_EQ(ReadRegDword(kSettingsKey, kRingHasStrongKeysValue), 1u);
  EXPECT_EQ(driver::WaitForMessageBox("Vaultwing for ICQ", program.pid(), 0), nullptr);
  ExitThroughMenu(program);
}

// Once the ring has held strong keys, a ring without the owner's was
// rewritten by an older program, which dropped them all: the next start
// says so once, and puts the owner's back.
TEST_F(TrayProgram, StrongKeysDroppedByAnOlderProgramAreNoticedOnce) {
  MakeKeys(2);
  driver::Program program = Start();
  ExpectRunning(program);
  ExitThroughMenu(program);
  EXPECT_EQ(ReadRegDword(kSettingsKey, kRingHasStrongKeysValue), 1u) << "the ring held them at start";

  SaveKeys({ring_.keys[0], ring_.keys[1]}, secret_, OwnStrongKey::kLeftOut);
  program = Start();
  std::string notice;
  ASSERT_TRUE(driver::AnswerMessageBox("Vaultwing for ICQ", IDOK, &notice, program.pid()));
  EXPECT_EQ(notice, kStrongKeysDropped);
  ExpectRunning(program);
  PublicKeyRing ring;
  ASSERT_EQ(LoadPublicKeyRing(publicPath_.c_str(), ring), KeyFileStatus::kOk);
  EXPECT_TRUE(SameStrongKey(ring.strong[0], ring_.strong[0]));
  EXPECT_FALSE(ring.strong[1].present) << "only the owner's comes back";
  ExitThroughMenu(program);

  program = Start();
  ExpectRunning(program);
  EXPECT_EQ(driver::WaitForMessageBox("Vaultwing for ICQ", program.pid(), 0), nullptr);
  ExitThroughMenu(program);
}

// A ring that cannot be written gets no strong key: a warning, and the
// program runs on. Held open by another program that lets others read it
// but not replace it, the ring can be loaded but not written.
TEST_F(TrayProgram, RingThatCannotBeWrittenWithoutTheOwnersStrongKeyIsAWarning) {
  MakeKeys();
  SaveKeys({ring_.keys[0]}, secret_, OwnStrongKey::kLeftOut);
  const auto before = driver::ReadWholeFile(publicPath_);
  HANDLE held = CreateFileA(publicPath_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  driver::Program program = Start();
  std::string text;
  EXPECT_TRUE(driver::AnswerMessageBox(kErrorCaption, IDOK, &text, program.pid()));
  EXPECT_FALSE(text.empty());
  CloseHandle(held);
  ExpectRunning(program);
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);
  ExitThroughMenu(program);
}
