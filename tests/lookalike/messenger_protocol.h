// The look-alike messenger: a stand-in for the ICQ client whose message
// dialogs carry the captions and control ids the tray program looks for,
// laid out in fixed pixel positions so that a test knows where the added
// button belongs without asking the program under test.
//
// Every dialog shows its correspondent, as a messenger's dialogs do: the
// name and the UIN in fields of their own beside the message (in the inner
// dialog of an incoming message), "To:" on a send dialog and "From:" on an
// incoming one.
//
// A test opens dialogs by sending WM_COPYDATA to the control window (class
// kMessengerClass): dwData is a MessengerCommand, lpData texts each ended by
// a NUL: the caption, then optionally the correspondent's name, their UIN
// and the message the dialog opens with. Without them a send dialog is to
// Bob (1234567), an incoming one from Alice (7654321), and the message is
// empty. The result is the new dialog's handle, whose caption is set last,
// once everything else is in place, so that nobody finds the dialog half
// made. A test rearranges a dialog by posting kMoveControl or kResizeControl
// to it, and closes one with WM_CLOSE. It makes the messenger hang, as a
// messenger that is busy or stuck does, by posting kHang to the control
// window. On the command line, "--send CAPTION" and "--incoming CAPTION"
// open dialogs at start.
#pragma once

#include <windows.h>

namespace messenger {

constexpr char kMessengerClass[] = "VwgLookAlikeMessenger";

enum MessengerCommand : ULONG_PTR {
  kOpenSendDialog = 1,
  kOpenIncomingDialog = 2,
  kOpenIncomingWithoutInner = 3,  // the message edit on the dialog itself
  // As the first two, with a Unicode message edit (made with the W
  // functions), as a messenger of our time has: it holds any character.
  kOpenUnicodeSendDialog = 4,
  kOpenUnicodeIncomingDialog = 5,
};

// Posted to a dialog: wParam a control id of the dialog or of its inner
// dialog, lParam MAKELPARAM(dx, dy) as signed 16-bit values.
constexpr UINT kMoveControl = WM_APP + 1;    // moves the control by (dx, dy)
constexpr UINT kResizeControl = WM_APP + 2;  // grows it by (dx, dy)

// Posted to the control window: the thread of every dialog stops answering
// for wParam milliseconds.
constexpr UINT kHang = WM_APP + 3;

// ICQ's control ids.
constexpr int kSendReference = 1102;  // "Send" on a send dialog
constexpr int kMessageEdit = 1025;
constexpr int kIncomingWidth = 1269;   // the "Message:" label of the inner dialog
constexpr int kIncomingAnchor = 1559;  // "Reply" on an incoming dialog
// The look-alike's own: the read-only fields with the correspondent.
constexpr int kCorrespondentName = 1601;
constexpr int kCorrespondentUin = 1602;

struct Box {
  int x, y, width, height;
};

// Client size of every dialog.
constexpr int kDialogWidth = 370;
constexpr int kDialogHeight = 234;

// Send dialog: the correspondent at the top, Cancel at the left, Send at
// the right, the edit between.
constexpr Box kSendNameLabelBox{10, 12, 24, 16};
constexpr Box kSendNameBox{36, 10, 170, 18};
constexpr Box kSendUinLabelBox{214, 12, 28, 16};
constexpr Box kSendUinBox{244, 10, 116, 18};
constexpr Box kSendEditBox{10, 34, 350, 156};
constexpr Box kSendCancelBox{10, 200, 70, 24};
constexpr Box kSendButtonBox{276, 200, 84, 24};

// Incoming dialog: the inner dialog covers the top with the label and the
// edit; Reply at the left and Close (IDCANCEL) at the right of the outer one.
constexpr Box kInnerDialogBox{0, 0, 370, 192};
constexpr Box kIncomingLabelBox{10, 10, 74, 18};
constexpr Box kIncomingNameLabelBox{90, 12, 32, 16};
constexpr Box kIncomingNameBox{124, 10, 110, 18};
constexpr Box kIncomingUinLabelBox{240, 12, 26, 16};
constexpr Box kIncomingUinBox{268, 10, 92, 18};
constexpr Box kIncomingEditBox{10, 32, 350, 150};
constexpr Box kReplyBox{10, 200, 80, 24};
constexpr Box kCloseBox{280, 200, 80, 24};

}  // namespace messenger
