#include "app/splash_about.h"

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "app/process_state.h"
#include "resources/resource.h"
#include "win/callback_guard.h"
#include "win/handles.h"
#include "win/program.h"
#include "win/report_error.h"

namespace {

constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kLinkPressedColour = RGB(220, 0, 0);
constexpr int kSplashPictureWidth = 193, kSplashPictureHeight = 148;
constexpr int kAboutPictureWidth = 77, kAboutPictureHeight = 149;

// Whether the mouse is down over the About box's link, which is then drawn
// red: set by the link's subclass procedure as the mouse moves and on release.
bool LinkPressed;
// The link button's own procedure, which the subclass passes the rest to:
// set when the About box subclasses the link.
WNDPROC SavedLinkProc;

// The texts of the program's own version block.
struct VersionTexts {
  char productName[kTextChars] = "";
  char productVersion[kTextChars] = "";
  char copyright[kTextChars] = "";
  int build = 0;
};

void QueryText(const std::vector<char>& block, const char* field, char* out) {
  char query[128];
  std::snprintf(query, sizeof query, "\\StringFileInfo\\040904E4\\%s", field);
  char* value = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &length) && value) {
    std::strncpy(out, value, kTextChars - 1);
    out[kTextChars - 1] = '\0';
  }
}

// False when the program file has no version block; the failure has been
// reported and the dialog keeps its template's texts.
bool ReadVersionTexts(VersionTexts& texts) {
  char path[MAX_PATH];
  GetModuleFileNameA(AppInstance, path, MAX_PATH);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(path, &handle);
  if (size == 0) {
    ReportError(nullptr, false);
    return false;
  }
  std::vector<char> block(size);
  if (!GetFileVersionInfoA(path, 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
    texts.build = static_cast<int>(fixed->dwFileVersionLS);
  QueryText(block, "ProductName", texts.productName);
  QueryText(block, "ProductVersion", texts.productVersion);
  QueryText(block, "LegalCopyright", texts.copyright);
  return true;
}

// Puts the version line, formatted from the product name, the product
// version and the build number, into control id; false (and the template's
// text left) when the program has no version block.
bool ShowVersionLine(HWND dialog, int id, const char* format, VersionTexts& texts) {
  if (!ReadVersionTexts(texts)) return false;
  char line[3 * kTextChars];
  std::snprintf(line, sizeof line, format, texts.productName, texts.productVersion, texts.build);
  SetDlgItemTextA(dialog, id, line);
  return true;
}

// Stretches the picture over its frame control; called whenever a static of
// the dialog asks for its colours, which is whenever the dialog repaints.
void PaintPicture(HWND dialog, int frameId, HBITMAP picture, int width, int height) {
  HWND frame = GetDlgItem(dialog, frameId);
  RECT r;
  if (!frame || !picture || !GetWindowRect(frame, &r)) return;
  WindowDC dc(frame);
  MemoryDC memory(CreateCompatibleDC(dc.get()));
  SelectGuard select(memory.get(), picture);
  StretchBlt(dc.get(), 0, 0, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, width, height, SRCCOPY);
}

// The web link: blue, red while the left button is held over it.
void DrawLink(const DRAWITEMSTRUCT* item) {
  char text[kTextChars];
  GetWindowTextA(item->hwndItem, text, sizeof text);
  SetTextColor(item->hDC, LinkPressed ? kLinkPressedColour : kLinkColour);
  RECT r = item->rcItem;
  DrawTextA(item->hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_END_ELLIPSIS);
}

}  // namespace

static INT_PTR OnSplashMessage(HWND dialog, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_INITDIALOG: {
      VersionTexts texts;
      if (ShowVersionLine(dialog, IDC_SPLASH_VERSION, "%s %s\n Build #%d", texts))
        SetDlgItemTextA(dialog, IDC_SPLASH_COPYRIGHT, texts.copyright);
      SetTimer(dialog, IDT_SPLASH, kSplashMs, nullptr);
      return FALSE;
    }
    case WM_TIMER:
      if (wParam != IDT_SPLASH) return FALSE;
      KillTimer(dialog, IDT_SPLASH);
      EndDialog(dialog, 1);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      PaintPicture(dialog, IDC_SPLASH_PICTURE, SplashBitmap.get(), kSplashPictureWidth, kSplashPictureHeight);
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK SplashDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnSplashMessage(dialog, message, wParam); });
}

static INT_PTR OnAboutMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      VersionTexts texts;
      ShowVersionLine(dialog, IDC_ABOUT_VERSION, "%s %s Build #%d", texts);
      SavedLinkProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
          GetDlgItem(dialog, IDC_ABOUT_LINK), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkButtonProc)));
      return FALSE;
    }
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(nullptr, IDC_ARROW));
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID == IDC_ABOUT_LINK && item->CtlType == ODT_BUTTON) DrawLink(item);
      return TRUE;
    }
    case WM_COMMAND:
      // OK, and also Esc and the caption's close box (IDCANCEL).
      if (LOWORD(wParam) == IDC_ABOUT_OK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, IDC_ABOUT_OK);
      return TRUE;
    case WM_CTLCOLORSTATIC:
      PaintPicture(dialog, IDC_ABOUT_PICTURE, AboutBitmap.get(), kAboutPictureWidth, kAboutPictureHeight);
      return FALSE;
  }
  return FALSE;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<INT_PTR>(FALSE, [&] { return OnAboutMessage(dialog, message, wParam, lParam); });
}

static LRESULT OnLinkMessage(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursorA(AppInstance, MAKEINTRESOURCEA(IDC_LINK_HAND)));
      return TRUE;
    case WM_MOUSEMOVE:
      LinkPressed = (wParam & MK_LBUTTON) != 0;
      InvalidateRect(button, nullptr, TRUE);
      return TRUE;
    case WM_LBUTTONUP:
      LinkPressed = false;
      InvalidateRect(button, nullptr, TRUE);
      ShellExecuteA(nullptr, "open", VWG_WEB_ADDRESS, nullptr, nullptr, SW_SHOW);
      return TRUE;
  }
  return CallWindowProcA(SavedLinkProc, button, message, wParam, lParam);
}

LRESULT CALLBACK LinkButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(0, [&] { return OnLinkMessage(button, message, wParam, lParam); });
}

void ShowSplash() {
  DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_SPLASH), MainWindow, SplashDialogProc, 0);
}

void ShowAboutBox() {
  DialogBoxParamA(AppInstance, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, AboutDialogProc, 0);
}
