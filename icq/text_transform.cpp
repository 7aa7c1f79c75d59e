#include "icq/text_transform.h"

#include "keys/cipher.h"
#include "keys/key_records.h"
#include "keys/message_text.h"
#include "keys/report_error.h"
#include "resources/strings.h"
#include "win/program.h"

bool CipherTextOf(const std::string& text, std::string& cipher) {
  cipher = WithoutBlanks(text);
  if (cipher.empty() || IsEncryptedText(cipher)) return true;
  ShowNotice(IDS_NOT_ENCRYPTED);
  return false;
}

bool TransformText(bool sending, const std::string& text, const CurvePoint& point, std::string& result) {
  const int derived = sending ? EncryptText(text, SecretKey, point, result)
                              : DecryptWholeBlocks(text, SecretKey, point, result);
  if (derived) return true;
  char message[kTextChars];
  LoadText(IDS_BAD_KEY, message);
  ReportError(message, false);
  return false;
}
