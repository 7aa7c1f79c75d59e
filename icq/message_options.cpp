#include "icq/message_options.h"

#include "keys/key_files.h"
#include "resources/strings.h"

namespace {

MessageOptions Options;
unsigned BalloonsAsked = 0;

}  // namespace

void SetMessageOptions(const MessageOptions& options) { Options = options; }

const MessageOptions& CurrentMessageOptions() { return Options; }

bool IsOn(const DWORD* flag) { return flag != nullptr && *flag != 0; }

void ShowBalloonNotice(UINT textId, const std::vector<std::string>& args) {
  ShowBalloonText(FillText(StringText(static_cast<int>(textId)), args));
}

void ShowBalloonText(const std::string& text) {
  ++BalloonsAsked;
  if (Options.showBalloon) Options.showBalloon(text.c_str());
}

unsigned BalloonCount() { return BalloonsAsked; }
