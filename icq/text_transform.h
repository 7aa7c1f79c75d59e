// What the dialog buttons and the tray's clipboard commands share between
// reading a text and putting the result back: the check that a text to
// decrypt is encrypted at all, and the transformation with the chosen key
// and the secret key in force (icq/action_keys.h).
#pragma once

#include <string>

#include "crypto/curve.h"

// The text to decrypt without its blanks (see keys/message_text.h). False,
// after telling the user "This message is not encrypted.", when it holds no
// encrypted block: decrypting it would only put garbage in its place.
bool CipherTextOf(const std::string& text, std::string& cipher);

// Sending: text encrypted for the key at point. Receiving: the whole blocks
// of the blank-free cipher decrypted from it. False after reporting a key
// that cannot be used, which is never multiplied with our secret scalar.
bool TransformText(bool sending, const std::string& text, const CurvePoint& point, std::string& result);
