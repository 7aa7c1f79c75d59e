#include "win/offered_text.h"

#include "win/callback_guard.h"
#include "win/clipboard.h"

namespace {

constexpr char kClassName[] = "VaultwingOfferedText";

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  if (window) GetWindowThreadProcessId(window, &process);
  return process;
}

bool RegisterOnce(WNDPROC proc) {
  static const bool registered = [proc] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    return RegisterClassA(&windowClass) != 0;
  }();
  return registered;
}

}  // namespace

OfferedText::OfferedText(const std::wstring& text, DWORD taker) : text_(text), taker_(taker) {
  // A message-only window: the clipboard's owner, which is asked to render.
  if (RegisterOnce(Proc))
    window_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

OfferedText::~OfferedText() {
  if (window_) DestroyWindow(window_);
}

bool OfferedText::Offer() {
  if (!window_) return false;
  OpenedClipboard clipboard(window_);
  // Clipboard history and monitors that honour the exclusion formats do not
  // ask for the text: a render for them would leave the text on the
  // clipboard, and the paste would take it without asking.
  if (!clipboard.ok() || !EmptyClipboard() || !PlaceExclusionFormats()) return false;
  // Success and failure both return null for an offer: what the clipboard
  // holds afterwards tells.
  SetClipboardData(CF_UNICODETEXT, nullptr);
  return IsClipboardFormatAvailable(CF_UNICODETEXT) && GetClipboardOwner() == window_;
}

bool OfferedText::Taken() const { return rendered_ && GetOpenClipboardWindow() == nullptr; }

void OfferedText::Leave() {
  OpenedClipboard clipboard(window_);
  if (clipboard.ok() && GetClipboardOwner() == window_) Render();
}

void OfferedText::Render() { PlaceData(CF_UNICODETEXT, text_.c_str(), (text_.size() + 1) * sizeof(wchar_t)); }

LRESULT CALLBACK OfferedText::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(0, [&] { return OnMessage(window, message, wParam, lParam); });
}

LRESULT OfferedText::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<OfferedText*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_RENDERFORMAT:
      if (!self || wParam != CF_UNICODETEXT) return 0;
      self->Render();
      // Any program may ask (a clipboard manager, clipboard history); only
      // the taker's asking is the paste.
      if (ProcessOf(GetOpenClipboardWindow()) == self->taker_) self->rendered_ = true;
      return 0;
    case WM_RENDERALLFORMATS:
      // The window goes while the offer stands: the text stays behind.
      if (self && OpenClipboard(window)) {
        if (GetClipboardOwner() == window) self->Render();
        CloseClipboard();
      }
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
