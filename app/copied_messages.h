// What "Decrypt what I copy" takes from a copy. It reads the clipboard by
// itself at every copy, with nobody there to choose a key or to read a
// refusal, so it takes only the messages that open with the user's own key
// without asking: the strong formats, which name their sender's key. The
// old format needs the key chosen from a menu and is left to the Decrypt
// hotkey. A program may change the clipboard several times for one copy,
// and a user may copy the same lines again: a copy whose messages are those
// of the change before opens nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The strong messages of text (one byte per character, as FindMessages
// takes it), in order, each as it stands there, blanks inside it included.
std::vector<std::string> MessagesOpenedUnasked(std::string_view text);

// The messages of the last change seen, which are public: only what was
// encrypted, never a plain text around them, is kept.
class LastCopy {
 public:
  // Remembers messages as the last change's, and tells whether they were
  // the change before's too. A change without messages is remembered as
  // well: the same message copied again after it opens again.
  bool Repeats(std::vector<std::string> messages) {
    const bool same = messages == messages_;
    messages_.swap(messages);
    return same;
  }

 private:
  std::vector<std::string> messages_;
};
