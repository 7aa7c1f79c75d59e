// Removing keys, changing IDs, importing by the import rule and exporting
// with the real vaultwing.exe under Wine: the Public Key Manager page driven
// from outside, the ring file read back after each step.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "keys/fingerprint.h"
#include "keys/key_files.h"
#include "keys/registry_names.h"
#include "resources/resource.h"
#include "tests/app/sheet_driver.h"
#include "tests/app/tray_fixture.h"
#include "tests/keys/test_keys.h"

using namespace tray;

namespace {

constexpr std::initializer_list<UINT> kKeyManagerItem = {VK_END, VK_UP, VK_UP, VK_UP};
constexpr char kRemoveQuestion[] = "Are you sure that you want to remove this public key?";
constexpr char kImportDone[] = "Public Key has been successfully imported";
constexpr char kAppCaption[] = "Vaultwing for ICQ";

constexpr char kIdentical[] = " is already in the ring and has not been imported again.";

std::string Id(const PublicKeyRecord& key) {
  char id[kUserIdBytes + 1];
  GetUserId(key, id);
  return id;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

class KeyManagement : public TrayProgram {
 protected:
  // The ring file as it is now.
  PublicKeyRing Ring() {
    PublicKeyRing ring;
    EXPECT_EQ(LoadPublicKeyRing(publicPath_.c_str(), ring), KeyFileStatus::kOk);
    return ring;
  }

  // A key file of the entries, as someone exported it.
  std::string KeyFile(const char* name, const std::vector<RingEntry>& entries) {
    const std::string path = folder_.File(name);
    EXPECT_EQ(SavePublicKeyFile(path.c_str(), RingOf(entries)), KeyFileStatus::kOk);
    return path;
  }

  // Imports the file through a second copy of the program, as the shell
  // opens a key file: Yes to the question that lists the file's keys, then
  // each further question answered with the next of answers (screenshot
  // names a picture of the first); the import's closing message, "" when
  // the copy ended without one.
  std::string ImportThroughSecondCopy(const std::string& file, std::initializer_list<int> answers = {},
                                      std::vector<std::string>* questions = nullptr,
                                      const char* screenshot = nullptr) {
    driver::Program opener = Start(driver::QuoteArg(file));
    EXPECT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, opener.pid())) << "no list of the keys";
    for (int answer : answers) {
      if (screenshot && driver::WaitForMessageBox(kQuestionCaption, opener.pid())) KeepScreenshot(screenshot);
      screenshot = nullptr;
      std::string question;
      EXPECT_TRUE(driver::AnswerMessageBox(kQuestionCaption, answer, &question, opener.pid()));
      if (questions) questions->push_back(question);
    }
    driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      return !opener.Running() || driver::WaitForMessageBox(kImportCaption, opener.pid(), 0) != nullptr;
    });
    std::string done;
    if (opener.Running()) {
      EXPECT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &done, opener.pid()));
    }
    EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
    return done;
  }

  // Starts the program on a ring of ringCount keys and opens the manager.
  void OpenManager(int ringCount) {
    MakeKeys(ringCount);
    program_ = Start();
    ExpectRunning(program_);
    OpenSheet();
  }

  // The owner and two correspondents with strong keys (Friend 1 without one
  // unless friend1Strong), in the ring of the running program.
  void StartWithFriends(bool friend1Strong = true) {
    MakeParty(me_, "Me");
    MakeParty(friend1_, "Friend 1");
    MakeParty(friend2_, "Friend 2");
    SaveKeys({me_, friend1Strong ? RingEntry(friend1_) : WithoutStrongKey(friend1_), friend2_}, me_.secret);
    program_ = Start();
    ExpectRunning(program_);
  }

  void OpenSheet() {
    HWND menu = OpenTrayMenu(program_);
    ASSERT_TRUE(driver::ChooseMenuItem(menu, kKeyManagerItem));
    sheet_ = sheet::WaitForSheet(program_.pid());
    ASSERT_NE(sheet_, nullptr);
    ASSERT_TRUE(sheet::WaitForPage(sheet_, "Public Key Manager"));
    page_ = sheet::Page(sheet_, "Public Key Manager");
    ASSERT_NE(page_, nullptr);
    list_ = GetDlgItem(page_, IDC_KEY_LIST);
  }

  // Selects a line; true once the fingerprint line shows that key's.
  bool Select(int index, const PublicKeyRecord& key, const StrongKey& strong) {
    sheet::Select(page_, IDC_KEY_LIST, index, false);
    return driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
      return driver::ControlText(page_, IDC_FINGERPRINT) == ShownFingerprint(key, strong);
    });
  }
  bool Select(int index) { return Select(index, ring_.keys[index], ring_.strong[index]); }

  std::vector<std::string> Lines() { return sheet::Lines(list_, false); }

  bool WaitForLines(const std::vector<std::string>& lines) {
    return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return Lines() == lines; });
  }

  void Close() {
    EXPECT_TRUE(driver::PressButton(sheet_, IDOK));
    ExitThroughMenu(program_);
  }

  driver::Program program_;
  HWND sheet_ = nullptr, page_ = nullptr, list_ = nullptr;
  Party me_, friend1_, friend2_;
};

TEST_F(KeyManagement, RemoveAsksFirstAndNeverOffersTheOwnersKey) {
  OpenManager(3);
  EXPECT_EQ(driver::ControlText(page_, IDC_FINGERPRINT), "") << "nothing selected";
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE));
  EXPECT_FALSE(Enabled(page_, IDC_CHANGE_ID));

  ASSERT_TRUE(Select(0));
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE)) << "the owner's key stays";
  EXPECT_TRUE(Enabled(page_, IDC_CHANGE_ID));
  // Even a press that reaches the page asks nothing and removes nothing.
  EXPECT_TRUE(driver::SendCommand(page_, IDC_REMOVE)) << "a question kept the press from returning";
  EXPECT_EQ(driver::WaitForMessageBox(kQuestionCaption, program_.pid(), 0), nullptr);
  ASSERT_TRUE(Select(1));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return Enabled(page_, IDC_REMOVE); }));
  KeepScreenshot("key-manager-fingerprint.png");

  const auto before = driver::ReadWholeFile(publicPath_);
  ASSERT_TRUE(driver::ClickButton(page_, IDC_REMOVE));
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, &question, program_.pid()));
  EXPECT_EQ(question, kRemoveQuestion);
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  ASSERT_TRUE(driver::ClickButton(page_, IDC_REMOVE));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, program_.pid()));
  EXPECT_TRUE(WaitForLines({"Me -- Owner", "Friend 2"}));
  const PublicKeyRing ring = Ring();
  ASSERT_EQ(ring.count(), 2);
  EXPECT_EQ(Hex(&ring.keys[0], sizeof ring.keys[0]), Hex(&ring_.keys[0], sizeof ring.keys[0]));
  EXPECT_EQ(Hex(&ring.keys[1], sizeof ring.keys[1]), Hex(&ring_.keys[2], sizeof ring.keys[1]));
  EXPECT_TRUE(SameStrongKey(ring.strong[1], ring_.strong[2])) << "the strong key goes with its entry";
  // The next key moved up into the removed one's place: it is not selected.
  EXPECT_EQ(sheet::Send(list_, LB_GETCURSEL), LB_ERR);
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE));
  EXPECT_EQ(driver::ControlText(page_, IDC_FINGERPRINT), "");
  Close();
}

TEST_F(KeyManagement, ChangeIdRenamesAnyEntryInTheRingAndKeepsItsKey) {
  OpenManager(2);
  ASSERT_TRUE(Select(1));
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  HWND dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_USER_ID_EDIT), "Friend 1");
  ASSERT_TRUE(driver::SetControlText(dialog, IDC_USER_ID_EDIT, "Bob (UIN 1234567)"));
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_OK));
  EXPECT_TRUE(WaitForLines({"Me -- Owner", "Bob (UIN 1234567)"}));
  EXPECT_EQ(sheet::Send(list_, LB_GETCURSEL), 1) << "the renamed key stays selected";

  // Cancel, or an empty ID, changes nothing.
  const auto before = driver::ReadWholeFile(publicPath_);
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_CANCEL));
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_TRUE(driver::SetControlText(dialog, IDC_USER_ID_EDIT, ""));
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_OK));
  // The dialog closed, the page's handler runs on to its end before it
  // answers.
  ASSERT_TRUE(driver::Answers(page_));
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  // The owner's own key too.
  ASSERT_TRUE(Select(0));
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(driver::SetControlText(dialog, IDC_USER_ID_EDIT, "Alice"));
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_OK));
  EXPECT_TRUE(WaitForLines({"Alice -- Owner", "Bob (UIN 1234567)"}));

  const PublicKeyRing ring = Ring();
  ASSERT_EQ(ring.count(), 2);
  EXPECT_EQ(Id(ring.keys[0]), "Alice");
  EXPECT_EQ(Id(ring.keys[1]), "Bob (UIN 1234567)");
  for (int k : {0, 1}) {
    EXPECT_TRUE(SamePoint(ring.keys[k], ring_.keys[k])) << k;
    EXPECT_TRUE(SameStrongKey(ring.strong[k], ring_.strong[k])) << k;
  }
  Close();
}

// The import rule, case by case, in one file and one ring write: a key the
// ring holds, and an older export of it, skipped; the owner's key never
// changed; a key carrying another entry's strong key refused; a new key
// without a strong key taken with a warning, one with a strong key taken.
TEST_F(KeyManagement, ImportSkipsHeldKeysRefusesImpostorsAndWarnsAboutKeysWithoutStrongKeys) {
  StartWithFriends();
  Party impostor, mallory, dave, erin;
  MakeParty(impostor, "Me");
  MakeParty(mallory, "Mallory");
  MakeParty(dave, "Dave");
  MakeParty(erin, "Erin");

  const std::string file = KeyFile(
      "mixed.vwg", {friend2_, WithoutStrongKey(friend1_), impostor, RingEntry(me_.pub, impostor.strong),
                    RingEntry(mallory.pub, friend1_.strong), WithoutStrongKey(dave), erin});
  EXPECT_EQ(ImportThroughSecondCopy(file),
            std::string(kImportDone) + "\n\nDave:  " + ShownFingerprint(dave.pub, kNoStrongKey) +
                "\nErin:  " + ShownFingerprint(erin.pub, erin.strong) + "\n\nFriend 2" + kIdentical +
                "\n\nFriend 1" + kIdentical +
                "\n\nMe: this is your own key's user ID or point, but another key; your own key is never replaced "
                "by an import."
                "\n\nMe: this is your own key's user ID or point, but another key; your own key is never replaced "
                "by an import."
                "\n\nMallory uses the strong key of Friend 1"
                "\n\nDave has no strong key: messages to and from it are not authenticated until its owner's program "
                "sends a key file with a strong key.");
  const PublicKeyRing ring = Ring();
  ASSERT_EQ(ring.count(), 5);
  const PublicKeyRing expected = RingOf({me_, friend1_, friend2_, WithoutStrongKey(dave), erin});
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(Hex(&ring.keys[i], sizeof ring.keys[i]), Hex(&expected.keys[i], sizeof ring.keys[i])) << i;
    EXPECT_TRUE(SameStrongKey(ring.strong[i], expected.strong[i])) << i;
  }

  // Nothing to take: the notes alone, and the ring as it was.
  const auto before = driver::ReadWholeFile(publicPath_);
  EXPECT_EQ(ImportThroughSecondCopy(KeyFile("held.vwg", {erin})), std::string("Erin") + kIdentical);
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);
  ExitThroughMenu(program_);
}

// A key file handed over by the shell (a double click, a mail program's
// attachment) could come from anyone: its keys are listed, with their IDs
// and fingerprints, and nothing is imported unless the user says so.
TEST_F(KeyManagement, AKeyFileFromTheShellListsItsKeysFirstAndNoImportsNothing) {
  StartWithFriends();
  Party dave, erin;
  MakeParty(dave, "Dave");
  MakeParty(erin, "Erin");
  const std::string file = KeyFile("from a mail.vwg", {WithoutStrongKey(dave), erin});
  const auto before = driver::ReadWholeFile(publicPath_);
  driver::Program opener = Start(driver::QuoteArg(file));
  if (driver::WaitForMessageBox(kQuestionCaption, opener.pid())) KeepScreenshot("import-file-question.png");
  std::string question;
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, &question, opener.pid()));
  EXPECT_EQ(question, file + " holds these public keys:\n\nDave, key ID " + KeyIdName(dave.pub) + "\nFingerprint " +
                          ShownFingerprint(dave.pub, kNoStrongKey) + "\n\nErin, key ID " +
                          ShownKeyId(erin.pub, erin.strong) + "\nFingerprint " +
                          ShownFingerprint(erin.pub, erin.strong) +
                          "\n\nAnyone could have made this file: compare each fingerprint with the key's owner (by "
                          "telephone, in person) before relying on the key.  Import them into your key ring?");
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0)) << "a closing message after No";
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  EXPECT_EQ(ImportThroughSecondCopy(file).rfind(kImportDone, 0), 0u);
  EXPECT_EQ(Ring().count(), 5);
  ExitThroughMenu(program_);
}

// A new key whose user ID differs from one in the ring only in letter case,
// spaces or bytes that show nothing is taken with a warning that names the
// key it looks like, the bytes that show nothing written out.
TEST_F(KeyManagement, ALookAlikeUserIdIsImportedWithAWarningNamingTheKeyItLooksLike) {
  StartWithFriends();
  Party mallory, trudy;
  MakeParty(mallory, "friend 1");
  MakeParty(trudy, "Friend\xA0" "2\xAD");
  const auto lookAlike = [](const std::string& id, const std::string& held) {
    return "'" + id + "' looks like '" + held +
           "', a key already in your ring: the two user IDs differ only in letter case, spaces or characters that "
           "do not show.  Someone may be pretending to be " +
           held + ": compare the fingerprint with its owner before using the key.";
  };
  EXPECT_EQ(ImportThroughSecondCopy(KeyFile("look-alikes.vwg", {mallory, trudy})),
            std::string(kImportDone) + "\n\nfriend 1:  " + ShownFingerprint(mallory.pub, mallory.strong) +
                "\nFriend\xA0" "2\xAD:  " + ShownFingerprint(trudy.pub, trudy.strong) + "\n\n" +
                lookAlike("friend 1", "Friend 1") + "\n\n" + lookAlike("Friend\\xA02\\xAD", "Friend 2"));
  EXPECT_EQ(Ring().count(), 5);
  ExitThroughMenu(program_);
}

// A long import lists its first ten keys and says how many more there are,
// so that the box still fits on the screen.
TEST_F(KeyManagement, ALongImportListsTenKeysAndHowManyMore) {
  StartWithFriends();
  const std::string text = ImportThroughSecondCopy(MakeKeyFile("many.vwg", 12));
  EXPECT_EQ(text.rfind(kImportDone, 0), 0u) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 10) << text;
  const std::string more = "... and 2 more";
  EXPECT_EQ(text.substr(text.size() - more.size()), more) << text;
  EXPECT_EQ(Ring().count(), 3 + 12);
  ExitThroughMenu(program_);
}

// A correspondent whose program has moved on sends the same key with a
// strong key: added to its entry, in place and under the ring's user ID,
// only after a question that names the new fingerprint.
TEST_F(KeyManagement, StrongKeyIsAddedToAHeldKeyOnlyAfterTheQuestion) {
  StartWithFriends(false);
  PublicKeyRecord renamed = friend1_.pub;
  SetUserId(renamed, "Friend one, upgraded");
  const std::string file = KeyFile("upgraded.vwg", {RingEntry(renamed, friend1_.strong)});
  const std::string question = "Friend 1 now has a strong key, with the new fingerprint " +
                               ShownFingerprint(friend1_.pub, friend1_.strong) +
                               ".  Whoever could change the key file could have put their own strong key there: "
                               "compare the fingerprint with Friend 1 before relying on it.  Add the strong key?";

  const auto before = driver::ReadWholeFile(publicPath_);
  std::vector<std::string> questions;
  EXPECT_EQ(ImportThroughSecondCopy(file, {IDNO}, &questions), "");
  EXPECT_EQ(questions, std::vector<std::string>{question});
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  questions.clear();
  EXPECT_EQ(ImportThroughSecondCopy(file, {IDYES}, &questions),
            std::string(kImportDone) + "\n\nFriend 1:  " + ShownFingerprint(friend1_.pub, friend1_.strong));
  EXPECT_EQ(questions, std::vector<std::string>{question});
  const PublicKeyRing ring = Ring();
  ASSERT_EQ(ring.count(), 3);
  EXPECT_EQ(Id(ring.keys[1]), "Friend 1");
  EXPECT_TRUE(SamePoint(ring.keys[1], friend1_.pub));
  EXPECT_TRUE(SameStrongKey(ring.strong[1], friend1_.strong));
  EXPECT_TRUE(SameStrongKey(ring.strong[2], friend2_.strong));
  ExitThroughMenu(program_);
}

// A changed key (the user ID of an entry with another point, or an entry's
// point with another strong key) replaces its entry in place, keeping its
// user ID, only when the user says so; a key the ring holds beside it is
// skipped either way.
TEST_F(KeyManagement, ChangedKeyReplacesItsEntryOnlyWhenTheUserSaysSo) {
  StartWithFriends();
  Party impostor, rekeyed;
  MakeParty(impostor, "Friend 1");
  MakeParty(rekeyed, "Friend 2");

  const std::string mixed = KeyFile("mixed.vwg", {impostor, friend2_});
  std::vector<std::string> questions;
  EXPECT_EQ(ImportThroughSecondCopy(mixed, {IDNO}, &questions, "changed-key-question.png"),
            std::string("Friend 2") + kIdentical);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0],
            "The key for Friend 1 differs from the one in your key ring. Someone may be pretending to be Friend 1. "
            "Import it anyway?");
  EXPECT_EQ(Ring().count(), 3) << "an identical key is not appended";

  // Yes replaces the entry, keeping its place.
  const std::string alone = KeyFile("alone.vwg", {impostor});
  EXPECT_EQ(ImportThroughSecondCopy(alone, {IDYES}),
            std::string(kImportDone) + "\n\nFriend 1:  " + ShownFingerprint(impostor.pub, impostor.strong));
  PublicKeyRing ring = Ring();
  ASSERT_EQ(ring.count(), 3);
  EXPECT_TRUE(SamePoint(ring.keys[1], impostor.pub));
  EXPECT_TRUE(SameStrongKey(ring.strong[1], impostor.strong));

  // Friend 2's point under another name, with another strong key: the
  // question names the entry as the ring lists it.
  PublicKeyRecord renamed = friend2_.pub;
  SetUserId(renamed, "Friend two");
  const std::string changedStrong = KeyFile("rekeyed.vwg", {RingEntry(renamed, rekeyed.strong)});
  const auto before = driver::ReadWholeFile(publicPath_);
  questions.clear();
  EXPECT_EQ(ImportThroughSecondCopy(changedStrong, {IDNO}, &questions), "");
  EXPECT_EQ(questions, std::vector<std::string>{"The key for Friend 2 differs from the one in your key ring. Someone "
                                                "may be pretending to be Friend 2. Import it anyway?"});
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);
  EXPECT_EQ(ImportThroughSecondCopy(changedStrong, {IDYES}),
            std::string(kImportDone) + "\n\nFriend 2:  " + ShownFingerprint(friend2_.pub, rekeyed.strong));
  ring = Ring();
  EXPECT_EQ(Id(ring.keys[2]), "Friend 2");
  EXPECT_TRUE(SameStrongKey(ring.strong[2], rekeyed.strong));
  ExitThroughMenu(program_);
}

// The format box belongs to the selected key: off and disabled for none, for
// the owner's own key and for a key with a strong key (whose mark would be
// ignored), stored at once as a DWORD named by the key's ID, so that the
// same key at another place in the ring shows it too. The list marks the
// keys without a strong key.
TEST_F(KeyManagement, OldFormatBoxFollowsTheSelectedKeyAndIsStoredByItsId) {
  MakeKeys(3, FriendKeys::kWithoutStrongKeys);
  AddRingEntry(ring_, ring_.keys[1], kNoStrongKey);  // Friend 1's key again, under another ID
  SetUserId(ring_.keys[3], "Friend 1 at work");
  Party carol;
  MakeParty(carol, "Carol");
  AddRingEntry(ring_, carol.pub, carol.strong);
  ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, KeyIdName(carol.pub).c_str(), 1));
  SaveKeys(ring_, secret_);
  program_ = Start();
  ExpectRunning(program_);
  OpenSheet();
  EXPECT_TRUE(WaitForLines({"Me -- Owner", "Friend 1 (no strong key)", "Friend 2 (no strong key)",
                            "Friend 1 at work (no strong key)", "Carol"}))
      << Lines().size();
  const std::string friendId = KeyIdName(ring_.keys[1]);
  auto checked = [&] { return driver::CheckState(page_, IDC_OLD_FORMAT) == std::optional<uint32_t>(BST_CHECKED); };
  EXPECT_FALSE(Enabled(page_, IDC_OLD_FORMAT)) << "nothing selected";

  ASSERT_TRUE(Select(0));
  EXPECT_FALSE(Enabled(page_, IDC_OLD_FORMAT)) << "the owner's own key";
  EXPECT_FALSE(checked());
  ASSERT_TRUE(Select(4));
  EXPECT_FALSE(Enabled(page_, IDC_OLD_FORMAT)) << "a strong key";
  EXPECT_FALSE(checked()) << "its mark is ignored";
  ASSERT_TRUE(Select(1));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return Enabled(page_, IDC_OLD_FORMAT); }));
  EXPECT_FALSE(checked()) << "off by default";
  EXPECT_FALSE(driver::ReadRegDword(kSettingsKey, friendId.c_str()));

  ASSERT_TRUE(driver::ClickButton(page_, IDC_OLD_FORMAT));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return driver::ReadRegDword(kSettingsKey, friendId.c_str()) == std::optional<uint32_t>(1);
  }));
  EXPECT_TRUE(checked());
  ASSERT_TRUE(Select(2));
  EXPECT_FALSE(checked()) << "another key";
  ASSERT_TRUE(Select(3));
  EXPECT_TRUE(checked()) << "the same key under another ID";
  // Even a click that reaches the box of a strong key stores nothing.
  ASSERT_TRUE(Select(4));
  EXPECT_TRUE(driver::SendCommand(page_, IDC_OLD_FORMAT));
  EXPECT_EQ(driver::ReadRegDword(kSettingsKey, KeyIdName(carol.pub).c_str()), std::optional<uint32_t>(1));
  ASSERT_TRUE(Select(3));
  // The focus back on the list, as after a click there, for the picture.
  PostMessageA(page_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return driver::KeyboardFocus(page_) == list_; }));
  KeepScreenshot("key-manager-old-format.png");

  // Kept over a new sheet.
  EXPECT_TRUE(driver::PressButton(sheet_, IDOK));
  ASSERT_TRUE(driver::WaitWindowGone(sheet_));
  OpenSheet();
  ASSERT_TRUE(Select(1));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, checked));

  // Off again: the value is gone.
  ASSERT_TRUE(driver::ClickButton(page_, IDC_OLD_FORMAT));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return !driver::ReadRegDword(kSettingsKey, friendId.c_str()).has_value();
  }));
  EXPECT_FALSE(checked());
  Close();
}

// The ring rewritten while the program runs by a program without strong
// keys: the owner's key still shows, and is exported with, the strong key
// the secret key gives; a correspondent's key without one exports without.
TEST_F(KeyManagement, ExportGivesTheOwnersStrongKeyEvenWhenTheRingLacksIt) {
  MakeKeys(2);
  program_ = Start();
  ExpectRunning(program_);
  SaveKeys({ring_.keys[0], ring_.keys[1]}, secret_, OwnStrongKey::kLeftOut);
  OpenSheet();
  ASSERT_TRUE(WaitForLines({"Me -- Owner", "Friend 1 (no strong key)"}));
  ASSERT_TRUE(Select(0, ring_.keys[0], ring_.strong[0])) << "the fingerprint over the strong key";

  for (int index : {0, 1}) {
    ASSERT_TRUE(Select(index, ring_.keys[index], index == 0 ? ring_.strong[0] : kNoStrongKey));
    const std::string exported = folder_.File(("export" + std::to_string(index) + ".vwg").c_str());
    ASSERT_TRUE(driver::ClickButton(page_, IDC_EXPORT));
    HWND idDialog = driver::WaitForWindow({"#32770", "Export Public Key"});
    ASSERT_NE(idDialog, nullptr);
    ASSERT_TRUE(driver::PressButton(idDialog, IDC_USER_ID_OK));
    ASSERT_TRUE(driver::ChooseFile("Save Public Key As", exported, program_.pid()));
    // The file is renamed into place whole, but the rename may still hold it
    // open a moment, when a read fails for sharing: it is read until it opens.
    PublicKeyRing file;
    KeyFileStatus loaded = KeyFileStatus::kOk;
    driver::PollUntil(driver::kDefaultTimeoutMs,
                      [&] { return (loaded = LoadPublicKeyRing(exported.c_str(), file)) == KeyFileStatus::kOk; });
    ASSERT_EQ(loaded, KeyFileStatus::kOk) << index;
    EXPECT_EQ(driver::FileSize(exported), index == 0 ? 280u : 152u) << index;
    EXPECT_TRUE(SamePoint(file.keys[0], ring_.keys[index]));
    EXPECT_TRUE(SameStrongKey(file.strong[0], index == 0 ? ring_.strong[0] : kNoStrongKey)) << index;
  }
  Close();
}

// An ID from before the rule may hold control characters: the list shows
// them escaped, and the user-ID dialog refuses a new ID that holds one.
TEST_F(KeyManagement, ControlCharactersInIdsAreShownEscapedAndRefusedInNewOnes) {
  MakeKeys(2);
  SetUserId(ring_.keys[1], "Tab\there\x1b[2J");
  SaveKeys(ring_, secret_);
  program_ = Start();
  ExpectRunning(program_);
  OpenSheet();
  EXPECT_TRUE(WaitForLines({"Me -- Owner", "Tab\\x09here\\x1B[2J"})) << sheet::Lines(list_, false)[1];

  const auto before = driver::ReadWholeFile(publicPath_);
  ASSERT_TRUE(Select(1));
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  HWND dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(driver::ControlText(dialog, IDC_USER_ID_EDIT), "Tab\\x09here\\x1B[2J");
  ASSERT_TRUE(driver::SetControlText(dialog, IDC_USER_ID_EDIT, "two\tparts"));
  ASSERT_TRUE(driver::ClickButton(dialog, IDC_USER_ID_OK));  // its notice is modal: posted, not sent
  std::string notice;
  ASSERT_TRUE(driver::AnswerMessageBox(kAppCaption, IDOK, &notice, program_.pid()));
  EXPECT_EQ(notice, "A user ID may not hold control characters such as tabs or line breaks.");
  EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays for another ID";
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_CANCEL));
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);
  Close();
}

}  // namespace
