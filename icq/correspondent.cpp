#include "icq/correspondent.h"

#include <algorithm>
#include <string>
#include <vector>

#include "icq/uin_rule.h"
#include "win/callback_guard.h"

namespace {

struct Gathering {
  HWND messageEdit;
  DialogMessages& messages;
  std::vector<std::string> uins;
};

// A window's text through WM_GETTEXT: GetWindowText would read only the
// window's own title, which another process's control does not show.
std::string WindowText(DialogMessages& messages, HWND window) {
  LRESULT length = 0;
  if (!messages.SendA(window, WM_GETTEXTLENGTH, 0, 0, &length) || length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = 0;
  if (!messages.SendA(window, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()),
                      &copied))
    return {};
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(copied, 0, length)));
  return text;
}

BOOL CALLBACK AddControlUins(HWND control, LPARAM value) {
  auto* gathering = reinterpret_cast<Gathering*>(value);
  Guarded([&] {
    if (control != gathering->messageEdit) AddUins(WindowText(gathering->messages, control), gathering->uins);
  });
  return gathering->messages.answered();
}

}  // namespace

int DialogCorrespondent(const DialogRecord& record, const PublicKeyRing& ring, DialogMessages& messages) {
  Gathering gathering{record.messageEdit, messages, {}};
  AddUins(WindowText(messages, record.dialog), gathering.uins);
  // Every descendant: the inner dialog's controls too.
  if (messages.answered()) EnumChildWindows(record.dialog, AddControlUins, reinterpret_cast<LPARAM>(&gathering));
  return messages.answered() ? FindCorrespondent(ring, gathering.uins) : -1;
}
