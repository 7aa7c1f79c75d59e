#include "icq/message_options.h"

#include "icq/process_state.h"
#include "keys/key_files.h"
#include "resources/strings.h"

MessageOptions HandedMessageOptions;
unsigned BalloonsAsked = 0;

void SetMessageOptions(const MessageOptions& options) { HandedMessageOptions = options; }

const MessageOptions& CurrentMessageOptions() { return HandedMessageOptions; }

bool IsOn(const DWORD* flag) { return flag != nullptr && *flag != 0; }

void ShowBalloonText(const std::string& text) {
  ++BalloonsAsked;
  if (HandedMessageOptions.showBalloon) HandedMessageOptions.showBalloon(text.c_str());
}

unsigned BalloonCount() { return BalloonsAsked; }
