#include "icq/control_text.h"

#include <algorithm>

#include "keys/wiped_text.h"
#include "win/unicode_text.h"

namespace {

// Only what WM_GETTEXT actually copied counts, should the text have shrunk
// since its length was asked. Read in place: the text may be the plain
// message.
template <typename Text>
bool ReadText(DialogMessages& messages, HWND edit, Text& text) {
  const auto send = [&](UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if constexpr (sizeof(typename Text::value_type) == sizeof(wchar_t))
      return messages.SendW(edit, message, wParam, lParam, result);
    else
      return messages.SendA(edit, message, wParam, lParam, result);
  };
  LRESULT length = 0;
  if (!send(WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) return messages.answered();
  text.resize(static_cast<size_t>(length) + 1);
  LRESULT copied = 0;
  send(WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()), &copied);
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return messages.answered();
}

}  // namespace

bool ReadControlText(DialogMessages& messages, HWND edit, std::string& text) {
  return ReadText(messages, edit, text);
}

bool ReadControlText(DialogMessages& messages, HWND edit, std::wstring& text) {
  return ReadText(messages, edit, text);
}

bool WriteControlText(DialogMessages& messages, HWND edit, const ActionText& text) {
  if (!text.utf8) return messages.SendA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.bytes.c_str()));
  std::wstring wide;
  WipeOnExit wipe(wide);
  return WideFromCodePage(CP_UTF8, text.bytes, wide) &&
         messages.SendW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}
