#include "app/decrypt_copied.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/clipboard_commands.h"
#include "app/clipboard_ours.h"
#include "app/copied_messages.h"
#include "app/reading_window.h"
#include "app/shown_message.h"
#include "icq/key_menu.h"
#include "icq/text_transform.h"
#include "keys/wiped_text.h"
#include "win/program.h"
#include "win/unicode_text.h"

namespace {

// Whether the main window gets the clipboard's notices: set by ListenToCopies
// as the setting is applied.
bool Listening = false;
// The messages last shown, so that a copy of the same ones shows nothing:
// kept by OnClipboardUpdate.
LastCopy Last;

// The strong messages of the clipboard's text; none when it holds no text
// or cannot be opened.
std::vector<std::string> CopiedMessages() {
  PlainText copied;
  if (!ReadClipboardTextQuietly(copied)) return {};
  // Messages are of ASCII and the code page's bytes: a byte per unit finds
  // them where they stand among the other lines, whatever their script.
  std::string bytes = AnsiBytePerUnit(copied.wide);
  WipeOnExit wipe(bytes);
  return MessagesOpenedUnasked(bytes);
}

// Each message that opens with the user's own key, in order; the others
// are left out without a word.
std::vector<ShownMessage> OpenedMessages(const std::vector<std::string>& messages) {
  std::vector<ShownMessage> shown;
  PublicKeyRing ring;
  KeyFileStatus loaded;
  if (LoadCheckedRing(ring, loaded) != RingInForce::kOk) return shown;
  for (const std::string& message : messages) {
    ActionText result;
    MessageSender sender;
    if (DecryptUnasked(message, ring, -1, result, sender) == AutoDecryption::kDecrypted)
      shown.push_back(ShownMessageOf(ring, sender, result));
  }
  return shown;
}

}  // namespace

void ListenToCopies(bool on) {
  if (on == Listening) return;
  if (on) {
    Listening = AddClipboardFormatListener(MainWindow) != FALSE;
  } else {
    RemoveClipboardFormatListener(MainWindow);
    Listening = false;
  }
}

void OnClipboardUpdate() {
  if (!Listening || ClipboardChangeIsOurs()) return;
  const std::vector<std::string> messages = CopiedMessages();
  if (Last.Repeats(messages) || messages.empty()) return;
  const std::vector<ShownMessage> shown = OpenedMessages(messages);
  if (!shown.empty()) ShowReadingWindow(shown);
}
