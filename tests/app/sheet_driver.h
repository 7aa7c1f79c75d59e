// The property sheet of the tray program seen from another process: finding
// it and its pages, reading lists and choosing items as the user would.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace sheet {

constexpr int kTabControlId = 12320;
constexpr int kApplyButtonId = 12321;

// SendMessage with the driver's time limit.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

bool IsSheet(HWND window);
// The visible sheets of process pid.
int CountSheets(DWORD pid);
// The sheet of process pid, polled for; null if none opened in time.
HWND WaitForSheet(DWORD pid);
// The page of sheet with that caption ("Settings", "Public Key Manager").
HWND Page(HWND sheet, const char* caption);

// The caption of the page the sheet shows.
std::string CurrentPageCaption(HWND sheet);
bool WaitForPage(HWND sheet, const std::string& caption);

// The lines of a list box or combo box of another process.
std::vector<std::string> Lines(HWND control, bool combo);

// Selects item index as the user would: the control changes, then tells its page.
void Select(HWND page, int id, int index, bool combo);

}  // namespace sheet
