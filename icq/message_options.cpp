#include "icq/message_options.h"

#include <cstdio>

#include "win/program.h"

namespace {

MessageOptions Options;

}  // namespace

void SetMessageOptions(const MessageOptions& options) { Options = options; }

const MessageOptions& CurrentMessageOptions() { return Options; }

bool IsOn(const DWORD* flag) { return flag != nullptr && *flag != 0; }

void ShowBalloonNotice(UINT textId, const char* arg) {
  if (!Options.showBalloon) return;
  char text[kTextChars];
  LoadText(textId, text);
  if (!arg) {
    Options.showBalloon(text);
    return;
  }
  char filled[kTextChars];
  std::snprintf(filled, sizeof filled, text, arg);
  Options.showBalloon(filled);
}
