#include "icq/text_transform.h"

#include <algorithm>
#include <ctime>
#include <set>

#include "icq/action_keys.h"
#include "icq/key_menu.h"
#include "icq/message_format.h"
#include "icq/message_options.h"
#include "keys/formats/cipher.h"
#include "keys/formats/message_text.h"
#include "keys/formats/strong_message.h"
#include "keys/formats/strong_status_text.h"
#include "keys/formats/v3_message.h"
#include "keys/text_fill.h"
#include "keys/user_id_text.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"
#include "win/unicode_text.h"

PlainText::~PlainText() {
  WipeText(ansi);
  WipeText(wide);
}

ActionText::~ActionText() { WipeText(bytes); }

namespace {

uint64_t Now() { return static_cast<uint64_t>(std::time(nullptr)); }

void ReportBadKey() {
  char message[kTextChars];
  LoadText(IDS_BAD_KEY, message);
  ReportError(message, false);
}

// Why a received text was not opened: a strong format's status (with the
// sender's key ID from its header, where it could be read), or an older
// format in the name of a key whose owner writes ?VW3:.
struct Refusal {
  StrongStatus status = StrongStatus::kOk;
  uint8_t senderId[kKeyIdBytes] = {};
  int olderFormatFrom = -1;  // that key's ring entry
};

std::string RefusalText(const PublicKeyRing& ring, const Refusal& refusal) {
  if (refusal.olderFormatFrom < 0) return StrongStatusText(refusal.status, refusal.senderId);
  const std::string id = DisplayUserId(ring.keys[refusal.olderFormatFrom]);
  return FilledText(IDS_OLDER_FORMAT_REFUSED, id, id, id);
}

// A key that cannot be used is an error, as in the old format; every other
// refusal is a notice about this one message. With told, the text of either
// goes there instead, for a caller that shows it its own way.
void ReportRefusal(const PublicKeyRing& ring, const Refusal& refusal, std::string* told) {
  const bool badKey = refusal.olderFormatFrom < 0 && refusal.status == StrongStatus::kNoUsableKey;
  if (told)
    *told = badKey ? StringText(IDS_BAD_KEY) : RefusalText(ring, refusal);
  else if (badKey)
    ReportBadKey();
  else
    ShowNoticeText(RefusalText(ring, refusal).c_str());
}

// Keys without a strong key that a message has gone to in this run: the
// balloon that says what that means comes once for each.
std::set<std::string> WarnedKeys;

void WarnOnceWithoutStrongKey(const PublicKeyRecord& key) {
  uint8_t id[kKeyIdBytes];
  char name[kKeyIdChars + 1] = "";
  if (KeyId(key, id)) KeyIdText(id, name);
  if (WarnedKeys.insert(name).second) ShowBalloonNotice(IDS_SENT_WITHOUT_STRONG_KEY, DisplayUserId(key));
}

// The UTF-8 text in the strong format the chosen key takes: ?VW3: to a
// strong key, ?VW2: to a key without one.
bool EncryptUtf8(const PublicKeyRing& ring, int chosen, const std::wstring& wide, ActionText& result) {
  std::string utf8;
  WipeOnExit wipe(utf8);
  Refusal refusal;
  refusal.status = StrongStatus::kTooLong;
  if (CodePageFromWide(CP_UTF8, wide, utf8)) {
    const uint16_t* secret = CurrentActionKeys().secretKey;
    const StrongKey& recipient = StrongKeyOfEntry(ring, chosen);
    refusal.status = recipient.present
                         ? EncryptV3Message(utf8, Now(), secret, ring.strong[0], recipient, result.bytes)
                         : EncryptStrongMessage(utf8, secret, ring.keys[0], ring.keys[chosen], result.bytes);
  }
  if (refusal.status != StrongStatus::kOk) {
    ReportRefusal(ring, refusal, nullptr);
    return false;
  }
  result.utf8 = true;
  return true;
}

bool EncryptOld(const PublicKeyRecord& key, const std::string& ansi, ActionText& result) {
  CurvePoint point;
  RecordPoint(key, point);
  if (!EncryptText(ansi, CurrentActionKeys().secretKey, point, result.bytes)) {
    ReportBadKey();
    return false;
  }
  result.utf8 = false;
  return true;
}

// A message that names its sender's key, ?VW3: or ?VW2:, opened with the
// ring's keys. True with the message in result and its sender; false with
// the refusal, result untouched. A ?VW2: message from a key that writes
// ?VW3: is refused once it has been read, since only the tag tells whose
// key it names; its text goes nowhere.
bool OpenNamed(const std::string& received, const PublicKeyRing& ring, ActionText& result, MessageSender& sender,
               Refusal& refusal) {
  const uint16_t* secret = CurrentActionKeys().secretKey;
  std::string plain;
  WipeOnExit wipe(plain);
  if (LooksLikeV3Message(received)) {
    V3Parties parties;
    refusal.status = DecryptV3Message(received, secret, ring.strong[0], ring.strong.data(), ring.count(), -1, plain,
                                      parties);
    std::copy(parties.senderId, parties.senderId + kKeyIdBytes, refusal.senderId);
    sender = {parties.senderIndex, true, parties.written};
  } else {
    StrongParties parties;
    refusal.status =
        DecryptStrongMessage(received, secret, ring.keys[0], ring.keys.data(), ring.count(), -1, plain, parties);
    std::copy(parties.senderId, parties.senderId + kKeyIdBytes, refusal.senderId);
    sender = {parties.senderIndex, false, 0};
    if (refusal.status == StrongStatus::kOk && WritesStrongMessages(ring, sender.index))
      refusal.olderFormatFrom = sender.index;
  }
  if (refusal.status != StrongStatus::kOk || refusal.olderFormatFrom >= 0) return false;
  result.bytes.swap(plain);
  result.utf8 = true;
  return true;
}

// The whole blocks of an old-format text (blanks removed) from ring entry
// index, which must have no strong key. False with the refusal.
bool OpenOld(const std::string& cipher, const PublicKeyRing& ring, int index, ActionText& result,
             MessageSender& sender, Refusal& refusal) {
  if (WritesStrongMessages(ring, index)) {
    refusal.olderFormatFrom = index;
    return false;
  }
  CurvePoint point;
  RecordPoint(ring.keys[index], point);
  if (!DecryptWholeBlocks(cipher, CurrentActionKeys().secretKey, point, result.bytes)) {
    refusal.status = StrongStatus::kNoUsableKey;
    return false;
  }
  result.utf8 = false;
  sender = {index, false, 0};
  return true;
}

// The old format: a received text must hold an encrypted block before a
// key is asked for, so that a plain text is never turned into garbage. An
// empty one decrypts to an empty one.
bool DecryptOld(const std::string& received, PublicKeyRing& ring, ActionText& result, MessageSender& sender,
                std::string* refused) {
  const std::string cipher = WithoutBlanks(received);
  if (!cipher.empty() && !IsEncryptedText(cipher)) {
    ShowNotice(IDS_NOT_ENCRYPTED);
    return false;
  }
  int chosen;
  if (!ChooseCorrespondent(false, ring, chosen)) return false;
  Refusal refusal;
  if (OpenOld(cipher, ring, chosen, result, sender, refusal)) return true;
  ReportRefusal(ring, refusal, refused);
  return false;
}

bool NamesItsSender(const std::string& received) {
  return LooksLikeV3Message(received) || LooksLikeStrongMessage(received);
}

}  // namespace

bool EncryptForKey(const PublicKeyRing& ring, int chosen, const PlainText& plain, ActionText& result) {
  const bool strong = WritesStrongMessages(ring, chosen);
  // A strong key's old-format mark is ignored: that format would hand over
  // the pair key to whoever guesses one message.
  const bool sent = strong || !UsesOldFormat(ring.keys[chosen]) ? EncryptUtf8(ring, chosen, plain.wide, result)
                                                                : EncryptOld(ring.keys[chosen], plain.ansi, result);
  if (sent && !strong) WarnOnceWithoutStrongKey(ring.keys[chosen]);
  return sent;
}

bool IsEncryptedMessage(const std::string& text) { return NamesItsSender(text) || IsEncryptedText(WithoutBlanks(text)); }

bool DecryptReceived(const std::string& received, PublicKeyRing& ring, ActionText& result, MessageSender& sender,
                     std::string* refused) {
  if (!NamesItsSender(received)) return DecryptOld(received, ring, result, sender, refused);
  if (!LoadActionRing(ring)) return false;
  Refusal refusal;
  if (OpenNamed(received, ring, result, sender, refusal)) return true;
  ReportRefusal(ring, refusal, refused);
  return false;
}

AutoDecryption DecryptUnasked(const std::string& received, const PublicKeyRing& ring, int correspondent,
                              ActionText& result, MessageSender& sender) {
  Refusal refusal;
  if (NamesItsSender(received))
    return OpenNamed(received, ring, result, sender, refusal) ? AutoDecryption::kDecrypted : AutoDecryption::kLeft;
  const std::string cipher = WithoutBlanks(received);
  if (cipher.empty()) return AutoDecryption::kLeft;
  if (!IsEncryptedText(cipher)) return AutoDecryption::kNotEncrypted;
  if (correspondent <= 0 || correspondent >= ring.count() ||
      !OpenOld(cipher, ring, correspondent, result, sender, refusal))
    return AutoDecryption::kLeft;
  return AutoDecryption::kDecrypted;
}

std::string SenderText(const PublicKeyRing& ring, const MessageSender& sender) {
  const PublicKeyRecord& key = ring.keys[sender.index];
  if (!sender.proven) return FilledText(IDS_FROM_OLDER_FORMAT, DisplayUserId(key));
  uint8_t id[kKeyIdBytes];
  char idText[kKeyIdChars + 1] = "?";
  if (RingKeyId(key, ring.strong[sender.index], id)) KeyIdText(id, idText);
  if (!IsOutOfTime(sender.written, Now())) return FilledText(IDS_FROM_SENDER, DisplayUserId(key), idText);
  return FilledText(IDS_FROM_SENDER_WRITTEN, DisplayUserId(key), idText, UtcTimeText(sender.written));
}
