#include "keys/formats/strong_status_text.h"

#include "keys/text_fill.h"
#include "resources/strings.h"

namespace {

int StrongStatusTextId(StrongStatus status) {
  switch (status) {
    case StrongStatus::kUnknownSender: return IDS_UNKNOWN_SENDER;
    case StrongStatus::kOtherSender: return IDS_OTHER_SENDER;
    case StrongStatus::kNoUsableKey: return IDS_BAD_KEY;
    case StrongStatus::kTooLong: return IDS_MESSAGE_TOO_LONG;
    case StrongStatus::kSystemError: return IDS_CRYPTO_FAILED;
    case StrongStatus::kOk:
    case StrongStatus::kNotStrong:
    case StrongStatus::kMalformed:
    case StrongStatus::kNotForThisKey:
    case StrongStatus::kFailedCheck: break;
  }
  return IDS_MESSAGE_REFUSED;
}

}  // namespace

std::string StrongStatusText(StrongStatus status, const uint8_t* senderId) {
  const int id = StrongStatusTextId(status);
  if (id != IDS_UNKNOWN_SENDER && id != IDS_OTHER_SENDER) return StringText(id);
  char keyId[kKeyIdChars + 1] = "?";
  if (senderId) KeyIdText(senderId, keyId);
  return FilledText(id, keyId);
}
