// What the program relies on in ICQ's message dialogs: the controls it reads
// positions from, the message edit control, and the inner dialog of incoming
// messages. The dialogs themselves are recognised by their captions, which
// are string-table entries IDS_CAPTION_SEND_ONLINE .. IDS_CAPTION_INCOMING.
#pragma once

// Send dialogs: the button takes the size and line of 1102 and stands
// between it and Cancel; 1102 is also the control it is placed behind.
constexpr int kSendReferenceControl = 1102;
// Incoming dialogs: the width comes from 1269 of the inner dialog, the gap
// the button is centred in runs from 1559 to Cancel; the button is placed
// behind 1559.
constexpr int kIncomingWidthControl = 1269;
constexpr int kIncomingAnchorControl = 1559;
// The message edit control: of the dialog when sending, of the inner dialog
// when receiving. Cancel (IDCANCEL) is the other reference of both kinds.
constexpr int kMessageEditControl = 1025;

constexpr char kInnerDialogClass[] = "#32770";

// Control ids of the buttons we add: base plus the list's count at creation.
constexpr int kEncryptButtonBase = 8000;
constexpr int kDecryptButtonBase = 3000;
