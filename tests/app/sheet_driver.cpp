#include "tests/app/sheet_driver.h"

#include <commctrl.h>

#include "tests/wine/driver.h"

namespace sheet {

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, driver::kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

bool IsSheet(HWND window) { return driver::FindControl(window, kTabControlId) != nullptr; }

namespace {

struct SheetCount {
  DWORD pid;
  int n;
};

BOOL CALLBACK CountSheet(HWND w, LPARAM p) {
  auto* c = reinterpret_cast<SheetCount*>(p);
  if (IsWindowVisible(w) && driver::WindowProcess(w) == c->pid && driver::WindowClass(w) == "#32770" && IsSheet(w))
    ++c->n;
  return TRUE;
}

LRESULT SendW(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, driver::kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

}  // namespace

int CountSheets(DWORD pid) {
  SheetCount count{pid, 0};
  EnumWindows(CountSheet, reinterpret_cast<LPARAM>(&count));
  return count.n;
}

std::string CurrentPageCaption(HWND sheet) {
  HWND page = reinterpret_cast<HWND>(Send(sheet, PSM_GETCURRENTPAGEHWND));
  char caption[64] = "";
  GetWindowTextA(page, caption, sizeof caption);
  return caption;
}

bool WaitForPage(HWND sheet, const std::string& caption) {
  return driver::PollUntil(driver::kDefaultTimeoutMs, [&] { return CurrentPageCaption(sheet) == caption; });
}

// The lines of a list box or combo box of another process. Asked in Unicode:
// Wine hands the item text of such a control to another process unconverted,
// so the ANSI message would come back with wide characters.
std::vector<std::string> Lines(HWND control, bool combo) {
  const UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT, length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN,
             text = combo ? CB_GETLBTEXT : LB_GETTEXT;
  std::vector<std::string> lines;
  const LRESULT n = SendW(control, count);
  for (LRESULT i = 0; i < n; ++i) {
    std::wstring wide(static_cast<size_t>(SendW(control, length, i)) + 1, L'\0');
    wide.resize(static_cast<size_t>(SendW(control, text, i, reinterpret_cast<LPARAM>(wide.data()))));
    std::string line(wide.size() * 2, '\0');
    line.resize(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                        line.data(), static_cast<int>(line.size()), nullptr, nullptr)));
    lines.push_back(line);
  }
  return lines;
}

void Select(HWND page, int id, int index, bool combo) {
  HWND control = GetDlgItem(page, id);
  Send(control, combo ? CB_SETCURSEL : LB_SETCURSEL, index);
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
}

HWND WaitForSheet(DWORD pid) {
  driver::WindowQuery query{"#32770"};
  query.pid = pid;
  query.accept = IsSheet;
  return driver::WaitForWindow(query);
}

HWND Page(HWND sheet, const char* caption) { return FindWindowExA(sheet, nullptr, "#32770", caption); }

}  // namespace sheet
