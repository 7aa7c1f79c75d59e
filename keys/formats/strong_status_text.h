// What the programs tell the user when a strong message cannot be written
// or read: one line from the string table, the same in the tray program and
// in vwg.
#pragma once

#include <cstdint>
#include <string>

#include "keys/formats/strong_message.h"

// The text for a status other than kOk. A refusal that names a key
// (kUnknownSender, kOtherSender) shows senderId, the sender's key ID as the
// message's header gives it; it may be null for the other statuses. Every
// refusal that could come from a changed message, or from one meant for
// another key, has the same text: they cannot be told apart, and saying which
// check failed would only help a forger.
std::string StrongStatusText(StrongStatus status, const uint8_t* senderId);
