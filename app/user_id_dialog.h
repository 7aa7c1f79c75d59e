// The user-ID dialog (template 900): asks for the ID under which a public key
// is exported, or listed in the ring.
#pragma once

#include <windows.h>

#include "keys/key_records.h"

enum class UserIdAnswer { Ok, Cancel, Failed };

// Shows initial (or, when it is null, "Owner" under the caption "Public Key
// ID") in an edit field limited to 20 characters. On Ok, id holds the typed
// text. Failed: the dialog could not be created. A caption (a string-table
// id) replaces the template's "Export Public Key".
UserIdAnswer UserIdDialog(const char* initial, char id[kUserIdBytes + 1], UINT captionId = 0);
