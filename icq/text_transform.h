// What the dialog buttons and the tray's clipboard commands share between
// reading a text and putting the result back: the choice of format, the
// transformation with the secret key in force (icq/action_keys.h), the
// sender of what was decrypted, and the notices when a text cannot be
// transformed.
//
// Three formats are written and read (docs/message-format.md). A key with a
// strong key gets ?VW3:, which proves its sender and shares nothing with the
// older formats. A key without one, whose owner's program has not moved on
// yet, gets what it always got: ?VW2:, which carries the message as UTF-8
// and names the keys it was written with, or the old block format where the
// key is marked for it (icq/message_format.h), on the system's ANSI bytes.
// Neither proves its sender, and both are refused from a key that has a
// strong key: its owner's program writes ?VW3:, so such a text is forged or
// comes from a program that lacks our strong key.
#pragma once

#include <cstdint>
#include <string>

#include "keys/key_files.h"

// A message to encrypt, in both forms the formats need: the ANSI bytes that
// the old format encrypts as they are, and UTF-16, which the strong formats
// carry as UTF-8. Wiped when dropped.
struct PlainText {
  std::string ansi;
  std::wstring wide;
  PlainText() = default;
  ~PlainText();
  PlainText(const PlainText&) = delete;
  PlainText& operator=(const PlainText&) = delete;
};

// A result to put back, and what its bytes are: UTF-8 (a strong message's
// text, or its armour, which is ASCII), for a Unicode control or
// CF_UNICODETEXT; or ANSI (the old format's armour and texts), written as
// the old format always was. Wiped when dropped.
struct ActionText {
  std::string bytes;
  bool utf8 = false;
  ActionText() = default;
  ~ActionText();
  ActionText(const ActionText&) = delete;
  ActionText& operator=(const ActionText&) = delete;
};

// Who wrote a decrypted message.
struct MessageSender {
  int index = -1;        // the sender's ring entry
  bool proven = false;   // a ?VW3: message, which only the sender's strong key could write
  uint64_t written = 0;  // with proven, the time of writing it carries (seconds since 1970 UTC)
};

// plain encrypted for ring entry chosen, sent by ring entry 0, the user's
// own key, whose strong key ring holds (LoadCheckedRing): ?VW3: for a key
// with a strong key, otherwise ?VW2: or the old format where the key is
// marked so. The first message of a run to a key without a strong key
// raises a balloon that says what that means. False after reporting why not
// (a key that cannot be used, a text too long, a failure of the system's
// cryptography); result is then untouched.
bool EncryptForKey(const PublicKeyRing& ring, int chosen, const PlainText& plain, ActionText& result);

// True when text (ANSI) already is an encrypted message in one of the three
// formats, which encrypting again would only bury.
bool IsEncryptedMessage(const std::string& text);

// A received text (ANSI) decrypted with the ring in force, which is loaded
// into ring. A ?VW3: or ?VW2: message is opened with the key of its sender,
// found in the ring by its ID, without a menu; any other text must hold a
// block of the old format and is decrypted, whole blocks only, with the key
// the user picks from the menu. False after a notice (not encrypted, unknown
// sender, changed, not for us, an older format from a key with a strong key)
// or when the menu was dismissed: nothing is to be written then. With
// refused, a refusal's text goes there instead of a notice, for a caller
// that shows it its own way; it stays empty when the menu was dismissed or
// the ring could not be used (reported).
bool DecryptReceived(const std::string& received, PublicKeyRing& ring, ActionText& result, MessageSender& sender,
                     std::string* refused = nullptr);

// What the automatic decryption made of a received text.
enum class AutoDecryption {
  kDecrypted,     // result holds the message, sender its sender
  kLeft,          // empty, or encrypted but not to be opened without the user
  kNotEncrypted,  // a message that came in the clear
};

// A received text (ANSI) decrypted without asking or telling the user
// anything, for a message that has just arrived: a ?VW3: or ?VW2: message
// with the key of its sender, found in ring (checked, LoadCheckedRing) by
// its ID; an old-format one with ring entry correspondent, the dialog's
// known correspondent (-1 when not known). Any refusal, an unknown sender,
// or a key that cannot be used leaves the text for the Decrypt button,
// which says why.
AutoDecryption DecryptUnasked(const std::string& received, const PublicKeyRing& ring, int correspondent,
                              ActionText& result, MessageSender& sender);

// The line that names a decrypted message's sender: "From <user ID> (<key
// ID>).", with the time of writing when it is out of time (IsOutOfTime), or
// that an older format proves nothing.
std::string SenderText(const PublicKeyRing& ring, const MessageSender& sender);
