// The correspondent of an ICQ dialog: the key in the ring whose user ID
// holds the UIN that the dialog shows (the rule is icq/uin_rule.h).
#pragma once

#include "icq/dialog_lists.h"
#include "icq/dialog_messages.h"
#include "keys/key_files.h"

// The ring index of the correspondent of record's dialog, or -1 when not
// known. The UINs are taken from the dialog's caption and the texts of its
// controls, the inner dialog's included, but not from the message edit,
// whose text is the message and says nothing about who wrote it. The texts
// are asked for in the conversation messages: when the dialog does not
// answer, the gathering stops there, and -1 comes with messages.answered()
// false.
int DialogCorrespondent(const DialogRecord& record, const PublicKeyRing& ring, DialogMessages& messages);
