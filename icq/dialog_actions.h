// The actions behind the added buttons: the message in ICQ's edit control is
// replaced by its encrypted or decrypted form, for the key the user picks
// from the public key ring.
//
// Each action works on its own copy of the dialog's record: the key menu runs
// a modal loop in which scan ticks may drop the record from its list.
#pragma once

#include "icq/dialog_lists.h"

// For a send dialog: encrypts its message for the chosen recipient and
// leaves the edit control read-only with an empty undo buffer, so that the
// plain text cannot be brought back into what ICQ sends.
void EncryptDialogMessage(DialogRecord record);

// For an incoming dialog: decrypts its message with the chosen sender's key.
// Blanks that the way added are skipped, and only whole blocks are
// decrypted; a message that holds no encrypted block is left as it is, with
// a notice. Nothing tells whether the text was encrypted for this pair of
// keys: the wrong key gives meaningless text of the right length.
void DecryptDialogMessage(DialogRecord record);
