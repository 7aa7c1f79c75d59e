#include "icq/placement.h"

#include "icq/button_geometry.h"
#include "icq/icq_client.h"
#include "icq/message_pump.h"

namespace {

struct Control {
  HWND window;
  RECT rect;  // screen coordinates
};

// The control id of parent and its window rectangle; false when either is
// missing.
bool ReadControl(HWND parent, int id, Control& c) {
  c.window = parent ? GetDlgItem(parent, id) : nullptr;
  return c.window != nullptr && GetWindowRect(c.window, &c.rect);
}

// A screen point in the client coordinates of window.
bool ToClient(HWND window, LONG x, LONG y, POINT& p) {
  p = {x, y};
  return ScreenToClient(window, &p);
}

bool PlaceSendButton(HWND dialog, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  PumpMessages();
  Control a, k;
  if (!ReadControl(dialog, kSendReferenceControl, a) || !ReadControl(dialog, IDCANCEL, k)) return false;
  PumpMessages();
  POINT aTopLeft, kTopRight, kTopLeft;
  if (!ToClient(dialog, a.rect.left, a.rect.top, aTopLeft) || !ToClient(dialog, k.rect.right, k.rect.top, kTopRight) ||
      !ToClient(dialog, k.rect.left, k.rect.top, kTopLeft))
    return false;
  x = SendButtonX(aTopLeft.x, kTopLeft.x, kTopRight.x);
  y = aTopLeft.y;
  width = a.rect.right - a.rect.left;
  height = a.rect.bottom - a.rect.top;
  return true;
}

bool PlaceIncomingButton(HWND dialog, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  PumpMessages();
  HWND inner = FindWindowExA(dialog, nullptr, kInnerDialogClass, nullptr);
  Control k, b, d;
  if (!ReadControl(dialog, IDCANCEL, k) || !ReadControl(dialog, kIncomingAnchorControl, b) ||
      !ReadControl(inner, kIncomingWidthControl, d))
    return false;
  PumpMessages();
  POINT kTopLeft, bTopRight, dTopRight, dTopLeft;
  if (!ToClient(dialog, k.rect.left, k.rect.top, kTopLeft) || !ToClient(dialog, b.rect.right, b.rect.top, bTopRight) ||
      !ToClient(inner, d.rect.right, d.rect.top, dTopRight) || !ToClient(inner, d.rect.left, d.rect.top, dTopLeft))
    return false;
  x = IncomingButtonX(bTopRight.x, kTopLeft.x, dTopLeft.x, dTopRight.x);
  y = kTopLeft.y;
  width = d.rect.right - d.rect.left;
  height = k.rect.bottom - k.rect.top;
  return true;
}

}  // namespace

bool ComputeButtonPlacement(bool incoming, HWND dialog, int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
  x = y = width = height = 0;
  int32_t px = 0, py = 0, pw = 0, ph = 0;
  const bool placed = incoming ? PlaceIncomingButton(dialog, px, py, pw, ph) : PlaceSendButton(dialog, px, py, pw, ph);
  if (!placed) return false;
  x = px, y = py, width = pw, height = ph;
  return true;
}
