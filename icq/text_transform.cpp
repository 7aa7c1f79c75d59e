#include "icq/text_transform.h"

#include "icq/action_keys.h"
#include "icq/key_menu.h"
#include "icq/message_format.h"
#include "keys/cipher.h"
#include "keys/message_text.h"
#include "keys/strong_message.h"
#include "keys/strong_status_text.h"
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

void ReportBadKey() {
  char message[kTextChars];
  LoadText(IDS_BAD_KEY, message);
  ReportError(message, false);
}

// A key that cannot be used is an error, as in the old format; every other
// status is a notice about this one message.
void ReportStrongStatus(StrongStatus status, const uint8_t* senderId) {
  if (status == StrongStatus::kNoUsableKey) {
    ReportBadKey();
    return;
  }
  ShowNoticeText(StrongStatusText(status, senderId).c_str());
}

bool EncryptStrong(const PublicKeyRing& ring, int chosen, const std::wstring& wide, ActionText& result) {
  std::string utf8;
  WipeOnExit wipe(utf8);
  StrongStatus status = StrongStatus::kTooLong;
  if (CodePageFromWide(CP_UTF8, wide, utf8)) {
    status = EncryptStrongMessage(utf8, CurrentActionKeys().secretKey, ring.keys[0], ring.keys[chosen], result.bytes);
  }
  if (status != StrongStatus::kOk) {
    ReportStrongStatus(status, nullptr);
    return false;
  }
  result.utf8 = true;
  return true;
}

bool DecryptStrong(const std::string& received, ActionText& result) {
  PublicKeyRing ring;
  if (!LoadActionRing(ring)) return false;
  StrongParties parties;
  const StrongStatus status = DecryptStrongMessage(received, CurrentActionKeys().secretKey, ring.keys[0],
                                                   ring.keys.data(), ring.count(), -1, result.bytes, parties);
  if (status != StrongStatus::kOk) {
    ReportStrongStatus(status, parties.senderId);
    return false;
  }
  result.utf8 = true;
  return true;
}

// The old format: a received text must hold an encrypted block before a
// key is asked for, so that a plain text is never turned into garbage. An
// empty one decrypts to an empty one.
bool DecryptOld(const std::string& received, ActionText& result) {
  const std::string cipher = WithoutBlanks(received);
  if (!cipher.empty() && !IsEncryptedText(cipher)) {
    ShowNotice(IDS_NOT_ENCRYPTED);
    return false;
  }
  PublicKeyRing ring;
  int chosen;
  if (!ChooseCorrespondent(false, ring, chosen)) return false;
  CurvePoint point;
  RecordPoint(ring.keys[chosen], point);
  if (!DecryptWholeBlocks(cipher, CurrentActionKeys().secretKey, point, result.bytes)) {
    ReportBadKey();
    return false;
  }
  result.utf8 = false;
  return true;
}

}  // namespace

bool EncryptForKey(const PublicKeyRing& ring, int chosen, const PlainText& plain, ActionText& result) {
  if (!UsesOldFormat(ring.keys[chosen])) return EncryptStrong(ring, chosen, plain.wide, result);
  CurvePoint point;
  RecordPoint(ring.keys[chosen], point);
  if (!EncryptText(plain.ansi, CurrentActionKeys().secretKey, point, result.bytes)) {
    ReportBadKey();
    return false;
  }
  result.utf8 = false;
  return true;
}

bool DecryptReceived(const std::string& received, ActionText& result) {
  return LooksLikeStrongMessage(received) ? DecryptStrong(received, result) : DecryptOld(received, result);
}
