// The look-alike writing window: a stand-in for any program in which the
// user writes a message into a standard Unicode Edit control (a mail
// program's form, a chat whose box is the system's), for the tests of the
// Encrypt hotkey. One top-level window of class kWriterClass, captioned with
// its whole command line, holding the Edit box (kWriterEdit), which has the
// keyboard focus while the window is active, and a list box (kWriterList),
// a control that is no edit control. Sending kFocusList to the window moves
// the focus to the list box.
#pragma once

#include <windows.h>

namespace writer {

constexpr char kWriterClass[] = "VwgLookAlikeWriter";
constexpr int kWriterEdit = 100;
constexpr int kWriterList = 101;
constexpr UINT kFocusList = WM_APP + 1;

}  // namespace writer
