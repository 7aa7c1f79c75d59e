#include "tests/icq/auto_modes_fixture.h"

#include <ctime>
#include <optional>
#include <utility>

#include "keys/formats/cipher.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/v3_message.h"
#include "keys/registry_names.h"

namespace icq {

Conversation With(Conversation conversation, const std::string& message) {
  conversation.message = message;
  return conversation;
}

void AutoModes::SetUp() {
  MakeParty(alice_, "Alice 7654321");
  MakeParty(bob_, "Bob 1234567");
  MakeParty(carol_, "Carol 5550001");
  StartMessenger();
}

void AutoModes::RunAs(const tray::Party& owner, const std::vector<tray::RingEntry>& ring,
                      const MessageSettings& settings) {
  const std::pair<const char*, uint32_t> values[] = {{kAutoEncryptValue, settings.autoEncrypt},
                                                     {kAutoDecryptValue, settings.autoDecrypt},
                                                     {kNoEncryptWarningValue, settings.noEncryptWarning},
                                                     {kNoInsecureWarningValue, settings.noInsecureWarning}};
  for (const auto& [name, value] : values) ASSERT_TRUE(driver::WriteRegDword(kSettingsKey, name, value));
  SaveKeys(ring, owner.secret);
  StartProgram();
}

HWND AutoModes::Arrive(messenger::MessengerCommand kind, const Conversation& conversation, HWND& button) {
  HWND dialog = Open(kind, "Incoming Message", conversation);
  button = WaitForAddedButton(dialog);
  EXPECT_NE(button, nullptr);
  return MessageEdit(dialog);
}

HWND AutoModes::Arrive(const Conversation& conversation) {
  HWND button;
  return Arrive(messenger::kOpenIncomingDialog, conversation, button);
}

::testing::AssertionResult AutoModes::Quiet(const driver::ScanCounts& before, unsigned balloons) {
  const std::optional<unsigned> asked = driver::BalloonsAskedSince(program_.pid(), before);
  if (driver::OpenMenuCount(program_.pid()) != 0) return ::testing::AssertionFailure() << "a menu is open";
  if (HWND box = driver::WaitForMessageBox("Vaultwing for ICQ", program_.pid(), 0))
    return ::testing::AssertionFailure() << "a box says: " << driver::MessageBoxText(box);
  if (!asked) return ::testing::AssertionFailure() << "no scan passes came: " << driver::Describe(program_);
  if (*asked != balloons)
    return ::testing::AssertionFailure() << *asked << " balloons asked for, not " << balloons
                                         << "; the balloon shown: \"" << driver::ShownBalloon().text << "\"";
  return ::testing::AssertionSuccess();
}

driver::ScanCounts AutoModes::CountsNow() { return driver::CountsNow(program_.pid()); }

HWND AutoModes::WaitForNewBalloon(const std::string& text, HWND before) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&]() -> HWND {
    const driver::Balloon shown = driver::ShownBalloon();
    return shown.text == text && shown.window != before ? shown.window : nullptr;
  });
}

std::string AutoModes::Strong(const std::string& message, const tray::Party& sender, const tray::Party& recipient) {
  std::string text;
  EXPECT_EQ(EncryptV3Message(message, static_cast<uint64_t>(std::time(nullptr)), sender.secret, sender.strong,
                             recipient.strong, text),
            StrongStatus::kOk);
  return text;
}

std::string AutoModes::V2(const std::string& message, const tray::Party& sender, const tray::Party& recipient) {
  std::string text;
  EXPECT_EQ(EncryptStrongMessage(message, sender.secret, sender.pub, recipient.pub, text), StrongStatus::kOk);
  return text;
}

std::string AutoModes::Old(const std::string& message, const tray::Party& sender, const tray::Party& recipient) {
  std::string text;
  EXPECT_TRUE(EncryptText(message, sender.secret, recipient.point, text));
  return text;
}

std::string AutoModes::OpenedByBob(const std::string& cipher, int& sender) {
  const PublicKeyRing ring = tray::RingOf({bob_, alice_});
  std::string plain;
  V3Parties parties;
  EXPECT_EQ(DecryptV3Message(cipher, bob_.secret, bob_.strong, ring.strong.data(), 2, -1, plain, parties),
            StrongStatus::kOk)
      << cipher;
  sender = parties.senderIndex;
  return plain;
}

std::string AutoModes::FromLine(const tray::Party& party, const char* name) {
  return std::string("From ") + name + " (" + ShownKeyId(party.pub, party.strong) + ").";
}

}  // namespace icq
