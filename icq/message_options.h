// The Messages options of the Settings page as the ICQ integration sees
// them. The flags belong to the tray program (app/process_state.h), which
// hands their addresses over at start-up, so that a box clicked on the page
// counts from the next press or tick on; as for every setting, any value but
// 0 is on. The tray program also lends its way of telling the user something
// without waiting for an answer: a balloon at its tray icon, which a scan
// tick can raise without being held up by a message box.
#pragma once

#include <windows.h>

#include <string>

#include "keys/text_fill.h"

struct MessageOptions {
  const DWORD* autoEncrypt = nullptr;        // Auto-Encrypt Outgoing Messages
  const DWORD* autoDecrypt = nullptr;        // Auto-Decrypt Incoming Messages
  const DWORD* noEncryptWarning = nullptr;   // Don't Warn If Encryption Fails
  const DWORD* noInsecureWarning = nullptr;  // Don't Warn About Insecure Messages
  // Shows text in a balloon and returns at once.
  void (*showBalloon)(const char* text) = nullptr;
};

// Called once at start-up, before the first scan tick. Until then every
// option is off and no balloon is shown.
void SetMessageOptions(const MessageOptions& options);
const MessageOptions& CurrentMessageOptions();

// True when flag has been handed over and is not 0.
bool IsOn(const DWORD* flag);

// A text made already (several notices' lines) in a balloon.
void ShowBalloonText(const std::string& text);
// The string-table text id in a balloon, its places filled with args.
template <typename... Args>
void ShowBalloonNotice(UINT textId, const Args&... args) {
  ShowBalloonText(FilledText(static_cast<int>(textId), args...));
}

// How many balloons have been asked for in this run: a balloon replaces the
// one shown, so a notice that can wait looks whether another came first.
unsigned BalloonCount();
