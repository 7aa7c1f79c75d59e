#include "app/read_selection.h"

#include <algorithm>
#include <string>
#include <vector>

#include "app/reading_window.h"
#include "app/selected_text.h"
#include "app/shown_message.h"
#include "icq/message_options.h"
#include "icq/text_transform.h"
#include "keys/formats/message_search.h"
#include "keys/wiped_text.h"
#include "resources/strings.h"
#include "win/foreground.h"
#include "win/program.h"
#include "win/unicode_text.h"

namespace {

// What opening the messages of a text came to.
struct Reading {
  std::vector<ShownMessage> shown;
  size_t refused = 0;
  std::string why;  // the first refusal's text
};

// Opens each message in turn: the strong formats by the key their sender's
// ID names, the old one with a key from the menu. A refusal is counted and
// the next message tried; a dismissed menu, or a ring that cannot be used
// (reported), ends the reading with what was opened so far.
void OpenMessages(const std::string& bytes, const std::vector<FoundMessage>& found, Reading& reading) {
  reading.shown.reserve(found.size());
  for (const FoundMessage& message : found) {
    PublicKeyRing ring;
    ActionText result;
    MessageSender sender;
    std::string why;
    if (DecryptReceived(bytes.substr(message.begin, message.end - message.begin), ring, result, sender, &why)) {
      reading.shown.push_back(ShownMessageOf(ring, sender, result));
    } else if (why.empty()) {
      return;
    } else if (reading.refused++ == 0) {
      reading.why = why;
    }
  }
}

}  // namespace

void ReadSelectedMessages(UINT heldKey) {
  std::wstring text;
  WipeOnExit wipe(text);
  TextSource source;
  switch (ReadSelectedText(heldKey, text, source)) {
    case SelectedRead::kRead:
      break;
    case SelectedRead::kNotAnswering:
      return ShowBalloonNotice(IDS_SELECTION_NOT_ANSWERING);
    case SelectedRead::kFailed:
      return;
  }
  // Messages are of ASCII and the code page's bytes: a byte per unit finds
  // them where they stand among the other lines, whatever their script.
  std::string bytes = AnsiBytePerUnit(text);
  WipeOnExit wipeBytes(bytes);
  const std::vector<FoundMessage> found = FindMessages(bytes);
  if (found.empty())
    return ShowBalloonNotice(source == TextSource::kSelection ? IDS_NO_MESSAGE_SELECTED : IDS_NO_MESSAGE_ON_CLIPBOARD);
  // The old format's sender is chosen from a menu, which the keyboard must
  // reach: Enter would otherwise go to the chat and send what it holds.
  const bool asks = std::any_of(found.begin(), found.end(),
                                [](const FoundMessage& message) { return message.kind == MessageKind::kOld; });
  if (asks && !TakeForeground(MainWindow, nullptr)) return ShowBalloonNotice(IDS_READ_MENU_NOT_IN_FRONT);
  Reading reading;
  OpenMessages(bytes, found, reading);
  if (reading.refused > 0 && reading.shown.empty()) return ShowBalloonText(reading.why);
  if (reading.refused > 0)
    ShowBalloonNotice(IDS_SOME_NOT_OPENED, std::to_string(reading.refused), std::to_string(found.size()), reading.why);
  if (!reading.shown.empty()) ShowReadingWindow(reading.shown);
}
