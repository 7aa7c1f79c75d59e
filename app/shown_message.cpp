#include "app/shown_message.h"

#include <string>

#include "keys/fingerprint.h"
#include "keys/formats/message_text.h"
#include "keys/user_id_text.h"
#include "keys/wiped_text.h"
#include "win/unicode_text.h"

namespace {

void ShownTextOf(ActionText& result, std::wstring& text) {
  if (!result.utf8) TrimPadding(result.bytes);
  std::wstring wide;
  WipeOnExit wipe(wide);
  WideFromCodePage(result.utf8 ? CP_UTF8 : CP_ACP, result.bytes, wide);
  size_t bare = 0;
  for (size_t i = 0; i < wide.size(); ++i)
    if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) ++bare;
  text.reserve(wide.size() + bare);
  for (size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\n' && (i == 0 || wide[i - 1] != L'\r')) text += L'\r';
    text += wide[i];
  }
}

}  // namespace

ShownMessage ShownMessageOf(const PublicKeyRing& ring, const MessageSender& sender, ActionText& result) {
  ShownMessage shown;
  ShownTextOf(result, shown.text);
  shown.sender = DisplayUserId(ring.keys[sender.index]);
  shown.proven = sender.proven;
  shown.written = sender.written;
  uint8_t id[kKeyIdBytes];
  char idText[kKeyIdChars + 1] = "?";
  if (RingKeyId(ring.keys[sender.index], ring.strong[sender.index], id)) KeyIdText(id, idText);
  shown.keyId = idText;
  return shown;
}
