// The ICQ integration's process state, all of it declared here; each
// variable is defined beside the functions that write it, which its comment
// names. What the tray program owns (the keys, the settings) is not copied
// here: start-up hands down pointers to it. What one file alone uses (the
// button pictures, the scan's guard against running twice and its count of
// passes, the dialogs found not answering, the keys already warned about)
// stays private to that file.
#pragma once

#include <windows.h>

#include "icq/action_keys.h"
#include "icq/dialog_lists.h"
#include "icq/message_options.h"

// Set once by SetActionKeys at the tray program's start-up, before the first scan tick; read through CurrentActionKeys.
extern ActionKeys HandedActionKeys;
// Set once by SetMessageOptions at start-up, before the first scan tick; read through CurrentMessageOptions.
extern MessageOptions HandedMessageOptions;
// Counted up by ShowBalloonText at each balloon asked for; read through BalloonCount.
extern unsigned BalloonsAsked;

// The equipped dialogs (icq/dialog_lists.h), from start-up to exit: a record added by EquipDialog when a scan tick
// first meets its dialog; updated, and dropped once the dialog is gone, by the tick's RefreshDialogs.
extern DialogList SendDialogs;
extern DialogList ReceiveDialogs;

// The "BUTTON" class procedure that subclassing replaced, one for every added button: set by SubclassButton as each
// button is made; ButtonProc passes on to it what it does not handle.
extern WNDPROC SavedButtonProc;
