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

// A strong message opened with the key of its sender, found in ring by its
// ID.
StrongStatus OpenStrong(const std::string& received, const PublicKeyRing& ring, ActionText& result,
                        StrongParties& parties) {
  const StrongStatus status = DecryptStrongMessage(received, CurrentActionKeys().secretKey, ring.keys[0],
                                                   ring.keys.data(), ring.count(), -1, result.bytes, parties);
  result.utf8 = true;
  return status;
}

// The whole blocks of an old-format text (blanks removed) from sender.
bool OpenOld(const std::string& cipher, const PublicKeyRecord& sender, ActionText& result) {
  CurvePoint point;
  RecordPoint(sender, point);
  result.utf8 = false;
  return DecryptWholeBlocks(cipher, CurrentActionKeys().secretKey, point, result.bytes);
}

bool DecryptStrong(const std::string& received, ActionText& result) {
  PublicKeyRing ring;
  if (!LoadActionRing(ring)) return false;
  StrongParties parties;
  const StrongStatus status = OpenStrong(received, ring, result, parties);
  if (status != StrongStatus::kOk) {
    ReportStrongStatus(status, parties.senderId);
    return false;
  }
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
  if (!OpenOld(cipher, ring.keys[chosen], result)) {
    ReportBadKey();
    return false;
  }
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

AutoDecryption DecryptUnasked(const std::string& received, const PublicKeyRing& ring, int sender,
                              ActionText& result) {
  if (LooksLikeStrongMessage(received)) {
    StrongParties parties;
    return OpenStrong(received, ring, result, parties) == StrongStatus::kOk ? AutoDecryption::kDecrypted
                                                                            : AutoDecryption::kLeft;
  }
  const std::string cipher = WithoutBlanks(received);
  if (cipher.empty()) return AutoDecryption::kLeft;
  if (!IsEncryptedText(cipher)) return AutoDecryption::kNotEncrypted;
  if (sender <= 0 || sender >= ring.count() || !OpenOld(cipher, ring.keys[sender], result))
    return AutoDecryption::kLeft;
  return AutoDecryption::kDecrypted;
}
