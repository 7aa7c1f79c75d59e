#include "icq/window_rules.h"

#include <array>
#include <string>
#include <vector>

#include "icq/uin_rule.h"

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Letters of any code page (bytes from 0x80 on) count as word characters,
// so that an ID is not found inside a longer name in another script.
bool IsWordChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_' || b >= 0x80;
}

bool HoldsWord(std::string_view text, std::string_view word) {
  if (word.empty() || word.size() > text.size()) return false;
  for (size_t at = 0; at + word.size() <= text.size(); ++at) {
    if (!SameLetters(text.substr(at, word.size()), word)) continue;
    const bool startsWord = at == 0 || !IsWordChar(text[at - 1]) || !IsWordChar(word.front());
    const size_t end = at + word.size();
    const bool endsWord = end == text.size() || !IsWordChar(text[end]) || !IsWordChar(word.back());
    if (startsWord && endsWord) return true;
  }
  return false;
}

}  // namespace

bool IsStandardEditClass(std::string_view className) {
  static constexpr std::array<std::string_view, 5> kClasses = {"Edit", "RichEdit", "RichEdit20A", "RichEdit20W",
                                                              "RICHEDIT50W"};
  for (std::string_view known : kClasses)
    if (SameLetters(className, known)) return true;
  return false;
}

bool IsConsoleWindow(std::string_view windowClass, std::string_view focusClass, std::string_view program) {
  static constexpr std::array<std::string_view, 2> kClasses = {"ConsoleWindowClass", "CASCADIA_HOSTING_WINDOW_CLASS"};
  static constexpr std::array<std::string_view, 2> kHosts = {"conhost.exe", "OpenConsole.exe"};
  for (std::string_view known : kClasses)
    if (SameLetters(windowClass, known) || SameLetters(focusClass, known)) return true;
  for (std::string_view host : kHosts)
    if (SameLetters(program, host)) return true;
  return false;
}

int CaptionCorrespondent(std::string_view caption, const PublicKeyRing& ring) {
  std::vector<std::string> uins;
  AddUins(caption, uins);
  int found = -1;
  for (int i = 1; i < ring.count(); ++i) {
    char id[kUserIdBytes + 1];
    GetUserId(ring.keys[i], id);
    if (!HoldsWord(caption, id) && !KeyHoldsUin(ring.keys[i], uins)) continue;
    if (found >= 0) return -1;
    found = i;
  }
  return found;
}
