// The actions behind the added buttons: the message in ICQ's edit control is
// replaced by its encrypted or decrypted form (icq/text_transform.h).
//
// Each action works on its own copy of the dialog's record: the key menu runs
// a modal loop in which scan ticks may drop the record from its list. The
// dialog belongs to another program, which may have stopped answering
// (icq/dialog_messages.h): a press then changes nothing and says so.
#pragma once

#include "icq/dialog_lists.h"

// For a send dialog: encrypts its message for the recipient chosen from the
// key menu, in the format that key takes (text_transform.h), and leaves the
// edit control read-only with an empty undo buffer, so that the plain text
// cannot be brought back into what ICQ sends.
void EncryptDialogMessage(DialogRecord record);

// For an incoming dialog: decrypts its message. A strong message names its
// sender's key, and is refused whole, with a notice, when it was changed or
// is not for us; the old format needs the sender's key from the menu, skips
// the blanks that the way added and decrypts whole blocks only, and nothing
// tells whether it was encrypted for this pair of keys. A message that holds
// neither is left as it is, with a notice. One from another key than the
// dialog's known correspondent's is written only after the user's Yes; a
// balloon names the sender of every message written.
void DecryptDialogMessage(DialogRecord record);

// For an incoming dialog just equipped, with Auto-Decrypt on: decrypts its
// message without a press, a menu or a box (text_transform.h,
// DecryptUnasked), and names its sender in a balloon. A message that cannot
// be decrypted so is left for the Decrypt button, and so, with a balloon, is
// one from another key than the dialog's known correspondent's, and so, with
// a balloon, is one whose dialog belongs to a program that may not be given
// a plain text unasked (icq/write_trust.h). One that came unencrypted from a
// known correspondent raises a balloon, unless that warning is off; so does
// a ring that cannot be read or is not the secret key's. False when the
// dialog did not answer before anything was changed or said: it is to be
// looked at again on a later tick.
bool DecryptArrivedMessage(DialogRecord record);
