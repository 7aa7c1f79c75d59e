#include "icq/key_menu.h"

#include <windows.h>

#include <string>

#include "icq/action_keys.h"
#include "keys/user_id_text.h"
#include "resources/strings.h"
#include "win/handles.h"
#include "win/popup_menu.h"
#include "win/program.h"
#include "win/report_error.h"

namespace {

// Command of the submenu's item for ring entry i: kFirstKeyCommand + i.
constexpr UINT kSubmenuCommand = 500;
constexpr UINT kFirstKeyCommand = 501;

// The ID as the menu shows it: control characters escaped, and each '&'
// doubled so that it is shown rather than taken for a mnemonic.
std::string MenuText(const PublicKeyRecord& key) {
  std::string text;
  for (char c : DisplayUserId(key)) {
    text += c;
    if (c == '&') text += '&';
  }
  return text;
}

void AppendKeyItem(HMENU submenu, const PublicKeyRecord& key, int i) {
  std::string item = MenuText(key);
  if (i == 0) {
    char suffix[kTextChars];
    LoadText(IDS_OWNER_SUFFIX, suffix);
    item += suffix;
  }
  if (!InsertMenuA(submenu, static_cast<UINT>(-1), MF_BYPOSITION | MF_STRING, kFirstKeyCommand + i, item.c_str()))
    ReportError(nullptr, false);  // the menu is shown with the items it has
}

}  // namespace

int16_t ChooseKey(bool sending, int16_t count, const PublicKeyRecord* keys, const KeyMenuPlace& place) {
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
    const bool first = place.first >= 0 && place.first < count;
    if (first) AppendKeyItem(items, keys[place.first], place.first);
    for (int i = 0; i < count; ++i)
      if (!first || i != place.first) AppendKeyItem(items, keys[i], i);
  } else {
    ReportError(nullptr, false);
  }

  const UINT command =
      place.at ? TrackMenuAt(popup.get(), MainWindow, *place.at) : TrackMenuAtCursor(popup.get(), MainWindow);
  const int32_t index = static_cast<int32_t>(command) - static_cast<int32_t>(kFirstKeyCommand);
  return index >= 0 && index < count ? static_cast<int16_t>(index) : -1;
}

RingInForce LoadCheckedRing(PublicKeyRing& ring, KeyFileStatus& loaded) {
  const ActionKeys& keys = CurrentActionKeys();
  loaded = LoadPublicKeyRing(keys.ringPath, ring);
  if (loaded != KeyFileStatus::kOk) return RingInForce::kUnreadable;
  // The files may have been replaced while the program runs (vwg keygen
  // --force, say): a ring whose first key is not ours any more is refused,
  // not used with a secret key it does not belong to.
  if (!IsKeyPairOf(keys.secretKey, ring.keys[0], ring.strong[0])) return RingInForce::kNotThePair;
  return CompleteOwnStrongKey(keys.secretKey, ring) ? RingInForce::kOk : RingInForce::kNoOwnStrongKey;
}

bool LoadActionRing(PublicKeyRing& ring) {
  const ActionKeys& keys = CurrentActionKeys();
  KeyFileStatus loaded;
  switch (LoadCheckedRing(ring, loaded)) {
    case RingInForce::kOk:
      return true;
    case RingInForce::kUnreadable:
      keys.ringUnreadable(loaded);
      return false;
    case RingInForce::kNoOwnStrongKey:
      ShowNotice(IDS_CRYPTO_FAILED);
      return false;
    case RingInForce::kNotThePair:
      break;
  }
  ReportError(KeyPairMismatchText(keys.secretPath, keys.ringPath).c_str(), false);
  return false;
}

bool ChooseCorrespondent(bool sending, PublicKeyRing& ring, int& chosen) {
  if (!LoadActionRing(ring)) return false;
  chosen = ChooseKey(sending, static_cast<int16_t>(ring.count()), ring.keys.data());
  return chosen >= 0;
}
