#include "win/unicode_text.h"

#include <climits>

namespace {

// The conversion functions count in int.
bool FitsInt(size_t n) { return n <= static_cast<size_t>(INT_MAX); }

}  // namespace

bool WideFromCodePage(UINT codePage, std::string_view bytes, std::wstring& out) {
  out.clear();
  if (bytes.empty()) return true;
  if (!FitsInt(bytes.size())) return false;
  const int size = static_cast<int>(bytes.size());
  const int chars = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (chars <= 0) return false;
  out.resize(static_cast<size_t>(chars));
  MultiByteToWideChar(codePage, 0, bytes.data(), size, out.data(), chars);
  return true;
}

bool CodePageFromWide(UINT codePage, std::wstring_view text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  if (!FitsInt(text.size())) return false;
  const int size = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return false;
  out.resize(static_cast<size_t>(bytes));
  WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
  return true;
}

std::string AnsiBytePerUnit(std::wstring_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t unit = text[i];
    if (unit < 0x80) {
      out[i] = static_cast<char>(unit);
      continue;
    }
    char bytes[2];
    BOOL guessed = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &unit, 1, bytes, sizeof bytes, nullptr, &guessed) == 1 &&
        !guessed)
      out[i] = bytes[0];
  }
  return out;
}
