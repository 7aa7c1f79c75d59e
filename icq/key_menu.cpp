#include "icq/key_menu.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "app/app_state.h"
#include "app/win_handles.h"
#include "keys/key_files.h"
#include "keys/report_error.h"
#include "resources/strings.h"

namespace {

// Command of the submenu's item for ring entry i: kFirstKeyCommand + i.
constexpr UINT kSubmenuCommand = 500;
constexpr UINT kFirstKeyCommand = 501;

// A user ID with room for the owner's suffix.
constexpr int kItemChars = kUserIdBytes + kTextChars;

void AppendKeyItem(HMENU submenu, const PublicKeyRecord& key, int i) {
  char item[kItemChars];
  GetUserId(key, item);
  if (i == 0) {
    char suffix[kTextChars];
    LoadText(IDS_OWNER_SUFFIX, suffix);
    std::strcat(item, suffix);
  }
  if (!InsertMenuA(submenu, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, kFirstKeyCommand + i, item))
    ReportError(nullptr, false);  // the menu is shown with the items it has
}

}  // namespace

int16_t ChooseKey(bool sending, int16_t count, const PublicKeyRecord* keys) {
  MenuHandle popup(CreatePopupMenu());
  MenuHandle submenu(CreateMenu());
  char title[kTextChars];
  LoadText(sending ? IDS_SEND_TO : IDS_RECEIVED_FROM, title);
  // By command into an empty menu: the command is not found, and the item
  // becomes the menu's only one.
  if (InsertMenuA(popup.get(), kSubmenuCommand, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                  reinterpret_cast<UINT_PTR>(submenu.get()), title)) {
    // The popup destroys its submenu with itself from here on.
    HMENU items = submenu.release();
    for (int i = 0; i < count; ++i) AppendKeyItem(items, keys[i], i);
  } else {
    ReportError(nullptr, false);
  }

  POINT cursor;
  GetCursorPos(&cursor);
  // The owner must be in the foreground, or the menu does not close when the
  // user clicks elsewhere.
  SetForegroundWindow(MainWindow);
  SetFocus(MainWindow);
  const UINT command = static_cast<UINT>(
      TrackPopupMenuEx(popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y, MainWindow, nullptr));
  // Lets the menu's own clean-up run before anything else is shown.
  PostMessageA(MainWindow, WM_NULL, 0, 0);

  const int32_t index = static_cast<int32_t>(command) - static_cast<int32_t>(kFirstKeyCommand);
  return index >= 0 && index < count ? static_cast<int16_t>(index) : -1;
}

bool ChooseCorrespondent(bool sending, CurvePoint& point) {
  std::vector<PublicKeyRecord> ring(kMaxRingKeys);
  const int count = LoadPublicKeyRing(ring.data(), true);
  if (count <= 0) return false;
  const int16_t chosen = ChooseKey(sending, static_cast<int16_t>(count), ring.data());
  if (chosen < 0) return false;
  RecordPoint(ring[chosen], point);
  return true;
}
