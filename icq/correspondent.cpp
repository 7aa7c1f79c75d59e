#include "icq/correspondent.h"

#include <algorithm>
#include <string>
#include <vector>

#include "icq/uin_rule.h"
#include "win/callback_guard.h"

namespace {

// A control that does not answer in this time adds nothing, rather than
// holding up the scan tick that asked.
constexpr UINT kTextTimeoutMs = 500;

struct Gathering {
  HWND messageEdit;
  std::vector<std::string> uins;
};

// A window's text through WM_GETTEXT: GetWindowText would read only the
// window's own title, which another process's control does not show.
std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length) || length == 0)
    return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kTextTimeoutMs, &copied))
    return {};
  text.resize(std::min<DWORD_PTR>(copied, length));
  return text;
}

BOOL CALLBACK AddControlUins(HWND control, LPARAM value) {
  Guarded([&] {
    auto* gathering = reinterpret_cast<Gathering*>(value);
    if (control != gathering->messageEdit) AddUins(WindowText(control), gathering->uins);
  });
  return TRUE;
}

}  // namespace

int DialogCorrespondent(const DialogRecord& record, const PublicKeyRing& ring) {
  Gathering gathering{record.messageEdit, {}};
  AddUins(WindowText(record.dialog), gathering.uins);
  // Every descendant: the inner dialog's controls too.
  EnumChildWindows(record.dialog, AddControlUins, reinterpret_cast<LPARAM>(&gathering));
  return FindCorrespondent(ring, gathering.uins);
}
