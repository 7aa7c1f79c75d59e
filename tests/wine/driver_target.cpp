// driver_target.exe MODE [RESULT-FILE]: the windows the tray program shows,
// shown by a stand-in in a process of its own, so that the driver's tests can
// answer them from outside. Each mode reports what the user chose through its
// exit code and, where there is more to say, lines in RESULT-FILE.
//   exit N   ends at once with code N
//   wait     does nothing for a minute (a program that does not end)
//   cwd      its current folder in the file
//   msgbox   Yes/No question; exit code IDYES or IDNO
//   save     save dialog; the chosen path in the file; 0 on OK, 1 on Cancel
//   open     open dialog; as save
//   dialog   modal dialog with edit 901, OK 902, Cancel 903, check box 906;
//            "text|check" in the file; 1 on OK, 2 on Cancel
//   splash   captionless dialog with statics 701, 702, 705, ended by
//            WM_TIMER 601 after 60 s; 0 when that timer message ended it
//   tray     hidden main window with a tray icon, its callback and an
//            owner-drawn popup menu; one line per callback; removes the icon
//            and ends with 0 on "Exit"
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/wine/driver_target.h"
#include "tests/wine/dialogs.h"
#include "tests/wine/menu.h"

namespace {

const char* g_result = nullptr;

void Report(const std::string& line) {
  if (g_result == nullptr) return;
  if (FILE* f = std::fopen(g_result, "ab")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

int FileDialog(bool save) {
  char path[256] = "public.vwg";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "VWG Key Files (*.vwg)\0*.vwg\0";
  ofn.lpstrFile = path;
  ofn.nMaxFile = sizeof path;
  ofn.lpstrDefExt = "vwg";
  ofn.lpstrTitle = save ? target::kSaveTitle : target::kOpenTitle;
  ofn.Flags = OFN_HIDEREADONLY | (save ? OFN_OVERWRITEPROMPT : 0);
  const BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return 1;
  Report(path);
  return 0;
}

// A dialog template built in memory: DLGTEMPLATE and its items in the
// layout DialogBoxIndirect reads, strings as UTF-16 (ASCII here).
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, const char* caption) {
    Dword(style);
    Dword(0);
    count_ = words_.size();
    words_.push_back(0);
    for (short v : {short(0), short(0), cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the system's dialog class
    String(caption);
  }

  // classAtom: 0x80 button, 0x81 edit, 0x82 static.
  void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom,
            const char* text) {
    if (words_.size() % 2 != 0) words_.push_back(0);  // items start on a DWORD
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(0);
    for (short v : {x, y, cx, cy}) words_.push_back(static_cast<WORD>(v));
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    String(text);
    words_.push_back(0);  // no creation data
    ++words_[count_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Dword(DWORD v) {
    words_.push_back(LOWORD(v));
    words_.push_back(HIWORD(v));
  }
  void String(const char* s) {
    while (*s) words_.push_back(static_cast<WORD>(static_cast<unsigned char>(*s++)));
    words_.push_back(0);
  }
  std::basic_string<WORD> words_;
  size_t count_ = 0;
};

INT_PTR CALLBACK UserIdProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) {
    SetDlgItemTextA(dlg, target::kEditId, "Owner");
    CheckDlgButton(dlg, target::kCheckId, BST_CHECKED);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  if (LOWORD(wParam) == target::kOkId) {
    char text[64];
    GetDlgItemTextA(dlg, target::kEditId, text, sizeof text);
    Report(std::string(text) + "|" + std::to_string(IsDlgButtonChecked(dlg, target::kCheckId)));
    EndDialog(dlg, 1);
  } else if (LOWORD(wParam) == target::kCancelId) {
    EndDialog(dlg, 2);
  }
  return TRUE;
}

int UserIdDialog() {
  DialogTemplate t(DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 143, 80,
                   target::kDialogCaption);
  t.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 36, 23, 100, 13, target::kEditId, 0x81, "");
  t.Item(BS_AUTOCHECKBOX | WS_TABSTOP, 36, 40, 100, 10, target::kCheckId, 0x80, "Remember");
  t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 32, 58, 52, 16, target::kOkId, 0x80, "OK");
  t.Item(BS_PUSHBUTTON | WS_TABSTOP, 88, 58, 52, 16, target::kCancelId, 0x80, "Cancel");
  return static_cast<int>(DialogBoxIndirectParamA(nullptr, t.get(), nullptr, UserIdProc, 0));
}

INT_PTR CALLBACK SplashProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) {
    SetTimer(dlg, driver::kSplashTimerId, 60000, nullptr);
    return TRUE;
  }
  if (msg == WM_TIMER && wParam == driver::kSplashTimerId) {
    KillTimer(dlg, driver::kSplashTimerId);
    EndDialog(dlg, 0);
    return TRUE;
  }
  return FALSE;
}

int Splash() {
  DialogTemplate t(DS_CENTER | WS_POPUP | WS_BORDER, 200, 150, "");
  t.Item(SS_LEFT, 10, 120, 180, 10, 701, 0x82, "Version 1.0");
  t.Item(SS_LEFT, 10, 130, 180, 10, 702, 0x82, "Build 650");
  t.Item(SS_LEFT, 10, 140, 180, 10, 705, 0x82, "Registered");
  return static_cast<int>(DialogBoxIndirectParamA(nullptr, t.get(), nullptr, SplashProc, 100));
}

NOTIFYICONDATAA g_icon{};

// The tray menu's layout: a banner column, then commands and separators.
HMENU TrayMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_OWNERDRAW, target::kBannerId, nullptr);
  for (int i = 0; i < target::kCommandCount; ++i) {
    if (i > 0) AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    const UINT flags = MF_OWNERDRAW | (i == 0 ? MF_MENUBREAK : 0);
    AppendMenuA(menu, flags, target::kFirstCommandId + i,
                reinterpret_cast<LPCSTR>(static_cast<INT_PTR>(target::kFirstCommandId + i)));
  }
  return menu;
}

void DrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = item.itemState == ODS_SELECTED;
  FillRect(item.hDC, &item.rcItem,
           GetSysColorBrush(item.itemID == target::kBannerId ? COLOR_WINDOWTEXT
                            : selected                        ? COLOR_HIGHLIGHT
                                                              : COLOR_MENU));
  if (item.itemID == target::kBannerId) return;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  const std::string text = "Command " + std::to_string(item.itemID);
  RECT r = item.rcItem;
  r.left += 25;
  DrawTextA(item.hDC, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER);
}

void RunTrayMenu(HWND window) {
  HMENU menu = TrayMenu();
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(window);
  const int chosen = TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y,
                                      window, nullptr);
  PostMessageA(window, WM_NULL, 0, 0);
  DestroyMenu(menu);
  Report("menu " + std::to_string(chosen));
  if (chosen == target::kExitId) DestroyWindow(window);
}

LRESULT CALLBACK TrayProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      item->itemWidth = item->itemID == target::kBannerId ? 9 : 170;
      item->itemHeight = item->itemID == target::kBannerId ? 100 : 20;
      return TRUE;
    }
    case WM_DRAWITEM:
      DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case driver::kTrayMessage:
      if (wParam != driver::kTrayIconId) return 0;
      if (lParam == WM_RBUTTONDOWN) RunTrayMenu(window);
      if (lParam == WM_LBUTTONDBLCLK) Report("dblclk");
      return 0;
    case WM_DESTROY:
      Shell_NotifyIconA(NIM_DELETE, &g_icon);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, msg, wParam, lParam);
  }
}

int Tray() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = TrayProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = target::kMainClass;
  if (!RegisterClassA(&wc)) return 101;
  HWND main = CreateWindowExA(WS_EX_TOOLWINDOW, target::kMainClass, "", WS_MINIMIZE, 0, 0, 0,
                              0, nullptr, nullptr, wc.hInstance, nullptr);
  if (main == nullptr) return 102;
  g_icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  g_icon.hWnd = main;
  g_icon.uID = driver::kTrayIconId;
  g_icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  g_icon.uCallbackMessage = driver::kTrayMessage;
  g_icon.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
  std::strcpy(g_icon.szTip, "Driver Target");
  if (!Shell_NotifyIconA(NIM_ADD, &g_icon)) return 103;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  g_result = argc > 2 ? argv[2] : nullptr;
  if (mode == "exit") return argc > 2 ? std::atoi(argv[2]) : 0;
  if (mode == "cwd") {
    char folder[MAX_PATH];
    Report(std::string(folder, GetCurrentDirectoryA(MAX_PATH, folder)));
    return 0;
  }
  if (mode == "wait") {
    Sleep(60000);
    return 0;
  }
  if (mode == "msgbox") {
    return MessageBoxA(nullptr, target::kQuestionText, target::kQuestionCaption,
                       MB_YESNO | MB_ICONWARNING);
  }
  if (mode == "save" || mode == "open") return FileDialog(mode == "save");
  if (mode == "dialog") return UserIdDialog();
  if (mode == "splash") return Splash();
  if (mode == "tray") return Tray();
  return 100;
}
