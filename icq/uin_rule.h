// Knowing the correspondent of a dialog by the number the messenger gives
// every user, the UIN. A dialog shows its correspondent's UIN (in its
// caption or beside the message), and a public key belongs to the
// correspondent whose UIN its user ID holds. These are rules on texts alone,
// kept apart from the window calls that gather the texts
// (icq/correspondent.h), so that they build and are tested natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "keys/key_files.h"

constexpr size_t kMinUinDigits = 5;
constexpr size_t kMaxUinDigits = 10;

// Appends to uins every run of 5 to 10 digits (0-9) in text that touches no
// other digit; letters and other characters may touch it. "UIN 1234567" and
// "Bob1234567" both hold 1234567, "4444" and "12345678901" hold none, and
// "123456-7654321" holds two. A UIN already in uins is not added again.
void AddUins(std::string_view text, std::vector<std::string>& uins);

// True when the user ID of key holds one of uins as a run of digits that
// touches no other digit: "Bob 1234567" holds 1234567, "Bob 01234567" not.
bool KeyHoldsUin(const PublicKeyRecord& key, const std::vector<std::string>& uins);

// The correspondent of a dialog that shows uins: the index of the one ring
// entry other than entry 0 (the user's own key) whose user ID holds one of
// them; -1 when none does, or several do, since a guess could encrypt for
// the wrong person.
int FindCorrespondent(const PublicKeyRing& ring, const std::vector<std::string>& uins);

// True when some entry other than entry 0 holds a UIN in its user ID: the
// automatic modes can find a correspondent only then.
bool RingHoldsUins(const PublicKeyRing& ring);
