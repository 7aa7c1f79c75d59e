// What the dialog buttons and the tray's clipboard commands share between
// reading a text and putting the result back: the choice of format, the
// transformation with the secret key in force (icq/action_keys.h), and the
// notices when a text cannot be transformed.
//
// Two formats are written and read (docs/message-format.md). The strong
// one, the default, carries the message as UTF-8 and names the keys it was
// written with, so that decrypting needs no key menu. The old block format
// is written only for keys marked so (icq/message_format.h), and works on
// the system's ANSI bytes exactly as it always did, for correspondents whose
// program reads nothing else.
#pragma once

#include <string>

#include "keys/key_files.h"

// A message to encrypt, in both forms the formats need: the ANSI bytes that
// the old format encrypts as they are, and UTF-16, which the strong format
// carries as UTF-8. Wiped when dropped.
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

// plain encrypted for ring entry chosen, in the format that entry's key is
// marked for, sent by ring entry 0, the user's own key. False after
// reporting why not (a key that cannot be used, a text too long, a failure
// of the system's cryptography); result is then untouched.
bool EncryptForKey(const PublicKeyRing& ring, int chosen, const PlainText& plain, ActionText& result);

// A received text (ANSI) decrypted. A strong message is opened with the key
// of its sender, found in the ring by its ID, without a menu; any other
// text must hold a block of the old format and is decrypted, whole blocks
// only, with the key the user picks from the menu. False after a notice
// (not encrypted, unknown sender, changed or not for us) or when the menu
// was dismissed: nothing is to be written then.
bool DecryptReceived(const std::string& received, ActionText& result);

// What the automatic decryption made of a received text.
enum class AutoDecryption {
  kDecrypted,     // result holds the message
  kLeft,          // empty, or encrypted but not to be opened without the user
  kNotEncrypted,  // a message that came in the clear
};

// A received text (ANSI) decrypted without asking or telling the user
// anything, for a message that has just arrived: a strong message with the
// key of its sender, found in ring by its ID; an old-format one with ring
// entry sender, the dialog's known correspondent (-1 when not known). Any
// refusal, an unknown sender, or a key that cannot be used leaves the text
// for the Decrypt button, which says why.
AutoDecryption DecryptUnasked(const std::string& received, const PublicKeyRing& ring, int sender,
                              ActionText& result);
