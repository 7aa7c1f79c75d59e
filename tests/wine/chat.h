// Driving the look-alike modern chat window (tests/lookalike/chat_protocol.h)
// from a test: its panes answer no text message, so what they hold is asked
// for through the chat's private messages. Keys for it come from
// keyboard.h (BringToFront, then PressKeys or TypeText), as a user's do.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/lookalike/chat_protocol.h"
#include "tests/wine/process.h"

namespace driver {

// A started chat and its windows; window is null when it did not show in
// time (Describe(program) says what became of it), and so is every part.
struct Chat {
  Program program;
  HWND window = nullptr, history = nullptr, messageBox = nullptr, edit = nullptr;
};

// Starts the chat (exe: the Windows path of chat.exe) captioned caption and
// waits for its window and its three parts.
Chat StartChat(const std::string& exe, const std::string& caption, uint32_t timeoutMs = kDefaultTimeoutMs);

// Gives the chat's part partId (chat::kHistoryId, kMessageBoxId or kEditId)
// the keyboard focus, set by the chat's own thread; true once it has it.
// The chat keeps it for when its window is brought to the front again.
bool FocusChatPart(const Chat& chat, int partId);

// Replaces a pane's entries: the history's lines, or the message box's text
// (exactly one entry). The selection is cleared.
bool SetPaneEntries(HWND pane, const std::vector<std::wstring>& entries);

// Selects a pane's entries first to last (inclusive), as a user's drag
// would; false when they do not exist.
bool SelectPaneEntries(HWND pane, size_t first, size_t last);

// What a pane holds, its entries joined by CR LF (the message box's text),
// or the part selected (what Ctrl+C would copy); nothing when the pane did
// not answer.
std::optional<std::wstring> PaneText(HWND pane, chat::ReportedPart part = chat::kWholeText);

}  // namespace driver
