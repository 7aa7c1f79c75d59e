// Removing keys, changing IDs and importing changed keys with the real
// vaultwing.exe under Wine: the Public Key Manager page driven from outside,
// the ring file read back after each step.
#include <windows.h>

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

std::string Fingerprint(const PublicKeyRecord& key) {
  char text[kFingerprintChars + 1];
  EXPECT_EQ(KeyFingerprint(key, kNoStrongKey, text), 1);
  return text;
}

std::string Id(const PublicKeyRecord& key) {
  char id[kUserIdBytes + 1];
  GetUserId(key, id);
  return id;
}

bool SamePoint(const PublicKeyRecord& a, const PublicKeyRecord& b) {
  return memcmp(a.x, b.x, sizeof a.x) == 0 && memcmp(a.y, b.y, sizeof a.y) == 0;
}

bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }

class KeyManagement : public TrayProgram {
 protected:
  // The ring file as it is now.
  std::vector<PublicKeyRecord> Ring() {
    PublicKeyRing ring;
    EXPECT_EQ(LoadPublicKeyRing(publicPath_.c_str(), ring), KeyFileStatus::kOk);
    return ring.keys;
  }

  // Starts the program on a ring of ringCount keys and opens the manager.
  void OpenManager(int ringCount) {
    MakeKeys(ringCount);
    program_ = Start();
    ExpectRunning(program_);
    OpenSheet();
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
  bool Select(int index, const PublicKeyRecord& key) {
    sheet::Select(page_, IDC_KEY_LIST, index, false);
    return driver::PollUntil(driver::kDefaultTimeoutMs,
                             [&] { return driver::ControlText(page_, IDC_FINGERPRINT) == Fingerprint(key); });
  }

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
};

TEST_F(KeyManagement, RemoveAsksFirstAndNeverOffersTheOwnersKey) {
  OpenManager(3);
  EXPECT_EQ(driver::ControlText(page_, IDC_FINGERPRINT), "") << "nothing selected";
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE));
  EXPECT_FALSE(Enabled(page_, IDC_CHANGE_ID));

  ASSERT_TRUE(Select(0, ring_[0]));
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE)) << "the owner's key stays";
  EXPECT_TRUE(Enabled(page_, IDC_CHANGE_ID));
  // Even a press that reaches the page asks nothing and removes nothing.
  driver::PostCommand(page_, IDC_REMOVE);
  EXPECT_EQ(driver::WaitForMessageBox(kQuestionCaption, program_.pid(), 500), nullptr);
  ASSERT_TRUE(Select(1, ring_[1]));
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
  const std::vector<PublicKeyRecord> ring = Ring();
  ASSERT_EQ(ring.size(), 2u);
  EXPECT_EQ(Hex(&ring[0], sizeof ring[0]), Hex(&ring_[0], sizeof ring[0]));
  EXPECT_EQ(Hex(&ring[1], sizeof ring[1]), Hex(&ring_[2], sizeof ring[1]));
  // The next key moved up into the removed one's place: it is not selected.
  EXPECT_EQ(sheet::Send(list_, LB_GETCURSEL), LB_ERR);
  EXPECT_FALSE(Enabled(page_, IDC_REMOVE));
  EXPECT_EQ(driver::ControlText(page_, IDC_FINGERPRINT), "");
  Close();
}

TEST_F(KeyManagement, ChangeIdRenamesAnyEntryInTheRingAndKeepsItsKey) {
  OpenManager(2);
  ASSERT_TRUE(Select(1, ring_[1]));
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
  Sleep(300);
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  // The owner's own key too.
  ASSERT_TRUE(Select(0, ring_[0]));
  ASSERT_TRUE(driver::ClickButton(page_, IDC_CHANGE_ID));
  dialog = driver::WaitForWindow({"#32770", "Public Key ID"});
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(driver::SetControlText(dialog, IDC_USER_ID_EDIT, "Alice"));
  ASSERT_TRUE(driver::PressButton(dialog, IDC_USER_ID_OK));
  EXPECT_TRUE(WaitForLines({"Alice -- Owner", "Bob (UIN 1234567)"}));

  const std::vector<PublicKeyRecord> ring = Ring();
  ASSERT_EQ(ring.size(), 2u);
  EXPECT_EQ(Id(ring[0]), "Alice");
  EXPECT_EQ(Id(ring[1]), "Bob (UIN 1234567)");
  for (int k : {0, 1}) EXPECT_TRUE(SamePoint(ring[k], ring_[k])) << k;
  Close();
}

TEST_F(KeyManagement, ChangedKeyIsImportedOnlyWhenTheUserSaysSoAndEveryKeyShowsItsFingerprint) {
  MakeKeys(3);
  driver::Program first = Start();
  ExpectRunning(first);
  // "Friend 1" with a new point, and Friend 2's key exactly as the ring has it.
  KeyPair impostor;
  MakeKeyPair(impostor, "Friend 1");
  const std::string mixed = folder_.File("mixed.vwg");
  const PublicKeyRecord both[2] = {impostor.pub, ring_[2]};
  ASSERT_EQ(SavePublicKeyFile(mixed.c_str(), 2, both), KeyFileStatus::kOk);

  driver::Program opener = Start(driver::QuoteArg(mixed));
  std::string question, done;
  ASSERT_TRUE(driver::WaitForMessageBox(kQuestionCaption, opener.pid()));
  KeepScreenshot("changed-key-question.png");
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, &question, opener.pid()));
  EXPECT_EQ(question,
            "The key for Friend 1 differs from the one in your key ring. Someone may be pretending to be Friend 1. "
            "Import it anyway?");
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &done, opener.pid()));
  EXPECT_EQ(done, std::string(kImportDone) + "\n\nFriend 2:  " + Fingerprint(ring_[2]));
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
  std::vector<PublicKeyRecord> ring = Ring();
  ASSERT_EQ(ring.size(), 4u) << "an identical key is still appended";
  EXPECT_EQ(Hex(&ring[3], sizeof ring[3]), Hex(&ring_[2], sizeof ring[3]));

  // The changed key alone: No leaves the ring as it was, with no message.
  const std::string alone = folder_.File("alone.vwg");
  ASSERT_EQ(SavePublicKeyFile(alone.c_str(), 1, &impostor.pub), KeyFileStatus::kOk);
  const auto before = driver::ReadWholeFile(publicPath_);
  opener = Start(driver::QuoteArg(alone));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDNO, nullptr, opener.pid()));
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
  EXPECT_EQ(driver::ReadWholeFile(publicPath_), before);

  // Yes imports it.
  opener = Start(driver::QuoteArg(alone));
  ASSERT_TRUE(driver::AnswerMessageBox(kQuestionCaption, IDYES, nullptr, opener.pid()));
  ASSERT_TRUE(driver::WaitForMessageBox(kImportCaption, opener.pid()));
  KeepScreenshot("import-fingerprints.png");
  ASSERT_TRUE(driver::AnswerMessageBox(kImportCaption, IDOK, &done, opener.pid()));
  EXPECT_EQ(done, std::string(kImportDone) + "\n\nFriend 1:  " + Fingerprint(impostor.pub));
  EXPECT_EQ(opener.WaitExit(), std::optional<uint32_t>(0));
  ring = Ring();
  ASSERT_EQ(ring.size(), 5u);
  EXPECT_TRUE(SamePoint(ring[4], impostor.pub));
  ExitThroughMenu(first);
}

// The format box belongs to the selected key: off and disabled for none and
// for the owner's own key, stored at once as a DWORD named by the key's ID,
// so that the same key at another place in the ring shows it too.
TEST_F(KeyManagement, OldFormatBoxFollowsTheSelectedKeyAndIsStoredByItsId) {
  MakeKeys(3);
  ring_.push_back(ring_[1]);  // Friend 1's key again, under another ID
  SetUserId(ring_[3], "Friend 1 at work");
  SaveKeys(ring_, secret_);
  program_ = Start();
  ExpectRunning(program_);
  OpenSheet();
  const std::string friendId = KeyIdName(ring_[1]);
  auto checked = [&] { return driver::CheckState(page_, IDC_OLD_FORMAT) == std::optional<uint32_t>(BST_CHECKED); };
  EXPECT_FALSE(Enabled(page_, IDC_OLD_FORMAT)) << "nothing selected";

  ASSERT_TRUE(Select(0, ring_[0]));
  EXPECT_FALSE(Enabled(page_, IDC_OLD_FORMAT)) << "the owner's own key";
  EXPECT_FALSE(checked());
  ASSERT_TRUE(Select(1, ring_[1]));
  ASSERT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return Enabled(page_, IDC_OLD_FORMAT); }));
  EXPECT_FALSE(checked()) << "off by default";
  EXPECT_FALSE(driver::RegKeyExists(kSettingsKey) && driver::ReadRegDword(kSettingsKey, friendId.c_str()));

  ASSERT_TRUE(driver::ClickButton(page_, IDC_OLD_FORMAT));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return driver::ReadRegDword(kSettingsKey, friendId.c_str()) == std::optional<uint32_t>(1);
  }));
  EXPECT_TRUE(checked());
  ASSERT_TRUE(Select(2, ring_[2]));
  EXPECT_FALSE(checked()) << "another key";
  ASSERT_TRUE(Select(3, ring_[3]));
  EXPECT_TRUE(checked()) << "the same key under another ID";
  // The focus back on the list, as after a click there, for the picture.
  PostMessageA(page_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
  Sleep(300);
  KeepScreenshot("key-manager-old-format.png");

  // Kept over a new sheet.
  EXPECT_TRUE(driver::PressButton(sheet_, IDOK));
  ASSERT_TRUE(driver::WaitWindowGone(sheet_));
  OpenSheet();
  ASSERT_TRUE(Select(1, ring_[1]));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, checked));

  // Off again: the value is gone.
  ASSERT_TRUE(driver::ClickButton(page_, IDC_OLD_FORMAT));
  EXPECT_TRUE(driver::PollUntil(driver::kDefaultTimeoutMs, [&] {
    return !driver::ReadRegDword(kSettingsKey, friendId.c_str()).has_value();
  }));
  EXPECT_FALSE(checked());
  Close();
}

// An ID from before the rule may hold control characters: the list shows
// them escaped, and the user-ID dialog refuses a new ID that holds one.
TEST_F(KeyManagement, ControlCharactersInIdsAreShownEscapedAndRefusedInNewOnes) {
  MakeKeys(2);
  SetUserId(ring_[1], "Tab\there\x1b[2J");
  SaveKeys(ring_, secret_);
  program_ = Start();
  ExpectRunning(program_);
  OpenSheet();
  EXPECT_TRUE(WaitForLines({"Me -- Owner", "Tab\\x09here\\x1B[2J"})) << sheet::Lines(list_, false)[1];

  const auto before = driver::ReadWholeFile(publicPath_);
  ASSERT_TRUE(Select(1, ring_[1]));
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
