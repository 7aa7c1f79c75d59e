// A decrypted message as the reading window shows it, for every way of
// getting there: the Decrypt hotkey and the copies that are read by
// themselves.
#pragma once

#include "app/reading_window.h"
#include "icq/text_transform.h"
#include "keys/key_files.h"

// The message of result, from sender of ring: its text (a strong message's
// UTF-8, the old format's ANSI bytes without the spaces that filled its last
// block; every line break CR LF, which the edit control needs), the sender's
// user ID as IDs are shown, and with a ?VW3: message its key ID and time.
// The padding is trimmed off result in place.
ShownMessage ShownMessageOf(const PublicKeyRing& ring, const MessageSender& sender, ActionText& result);
