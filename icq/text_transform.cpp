#include "icq/text_transform.h"

#include "icq/action_keys.h"
#include "keys/cipher.h"
#include "keys/message_text.h"
#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"

bool CipherTextOf(const std::string& text, std::string& cipher) {
  cipher = WithoutBlanks(text);
  if (cipher.empty() || IsEncryptedText(cipher)) return true;
  ShowNotice(IDS_NOT_ENCRYPTED);
  return false;
}

bool TransformText(bool sending, const std::string& text, const CurvePoint& point, std::string& result) {
  const uint16_t* secret = CurrentActionKeys().secretKey;
  const int derived = sending ? EncryptText(text, secret, point, result)
                              : DecryptWholeBlocks(text, secret, point, result);
  if (derived) return true;
  char message[kTextChars];
  LoadText(IDS_BAD_KEY, message);
  ReportError(message, false);
  return false;
}
