// User IDs as text to show. An ID is chosen by whoever made the key, and is
// shown in menus, list boxes, message boxes and terminals, where a control
// character would break a line, move the cursor or start an escape sequence.
#pragma once

#include <string>

#include "keys/key_records.h"

// True when text holds no control character (below 0x20, or 0x7F): the rule
// for every new user ID.
bool IsPrintableUserId(const char* text);

// The record's user ID to show, every control character written as \xNN
// (upper-case hex), so that an ID from before the rule shows what it holds.
std::string DisplayUserId(const PublicKeyRecord& r);
