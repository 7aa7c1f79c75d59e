// Two counts the program publishes on its main window for another process to
// read: the scan passes finished and the balloons asked for. The end-to-end
// tests wait on them instead of on time (a balloon shows under Wine 2 s
// after it is asked for, and a fixed wait for "nothing came" is both slow and
// a guess). Neither count says anything about a message or a key. They are
// window properties because GetPropA answers for another process's window
// without the program's help, so a test reads them even while a menu or a
// message box of the program is open. Both are published at the end of each
// pass (icq/scanner.cpp): a balloon that a press asked for is counted at the
// end of the next pass.
#pragma once

#include <windows.h>

// The properties' names; each holds its count as the property's value.
constexpr char kScanPassesProperty[] = "VWG scan passes";
constexpr char kBalloonsAskedProperty[] = "VWG balloons asked";

// Sets property of window to count.
void PublishCount(HWND window, const char* property, unsigned count);
