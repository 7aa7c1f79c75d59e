// What escapes a procedure that the system calls: reported as a warning, the
// procedure's safe answer goes back to the system, and the program goes on.
#include "win/callback_guard.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <new>
#include <stdexcept>
#include <string>

#include "base/system_error.h"
#include "tests/support/report_capture.h"
#include "win/program.h"

namespace {

constexpr char kClass[] = "CallbackGuardTest";
constexpr UINT WM_FAIL_ALLOCATION = WM_APP;
constexpr UINT WM_FAIL_OTHERWISE = WM_APP + 1;
constexpr UINT WM_ANSWER = WM_APP + 2;
constexpr LRESULT kSafe = 7;

std::string SystemText(DWORD error) {
  SetLastError(error);
  char buf[256];
  return SystemErrorText(buf, sizeof buf);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Guarded<LRESULT>(kSafe, [&]() -> LRESULT {
    switch (message) {
      case WM_FAIL_ALLOCATION:
        throw std::bad_alloc();
      case WM_FAIL_OTHERWISE:
        throw std::length_error("vector");
      case WM_ANSWER:
        return 42;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  });
}

int Visited;

// Fails on the first window it is given.
BOOL CALLBACK TestEnumProc(HWND, LPARAM) {
  Guarded([] {
    if (Visited++ == 0) throw std::bad_alloc();
  });
  return TRUE;
}

class CallbackGuard : public ::testing::Test {
 protected:
  CallbackGuard() {
    AppInstance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = AppInstance;
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    for (HWND& w : windows_) w = CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, AppInstance, nullptr);
    ClearReportedErrors();
  }
  ~CallbackGuard() override {
    for (HWND w : windows_) DestroyWindow(w);
    UnregisterClassA(kClass, AppInstance);
  }

  HWND windows_[2];
};

}  // namespace

TEST_F(CallbackGuard, AWindowProcedureAnswersSafelyAndReportsWhatEscaped) {
  ASSERT_NE(windows_[0], nullptr);
  EXPECT_EQ(SendMessageA(windows_[0], WM_ANSWER, 0, 0), 42);
  EXPECT_EQ(Reported.count, 0);

  EXPECT_EQ(SendMessageA(windows_[0], WM_FAIL_ALLOCATION, 0, 0), kSafe);
  EXPECT_EQ(Reported.count, 1);
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_EQ(Reported.lastText, SystemText(ERROR_NOT_ENOUGH_MEMORY));

  EXPECT_EQ(SendMessageA(windows_[0], WM_FAIL_OTHERWISE, 0, 0), kSafe);
  EXPECT_EQ(Reported.count, 2);
  EXPECT_FALSE(Reported.lastFatal);
  EXPECT_EQ(Reported.lastText, "Unknown error");

  EXPECT_EQ(SendMessageA(windows_[0], WM_ANSWER, 0, 0), 42) << "the window works on";
}

TEST_F(CallbackGuard, AnEnumerationGoesOnPastTheWindowThatFailed) {
  Visited = 0;
  EXPECT_TRUE(EnumThreadWindows(GetCurrentThreadId(), TestEnumProc, 0));
  EXPECT_GE(Visited, 2) << "both of our windows, and any the system made for the thread";
  EXPECT_EQ(Reported.count, 1);
}
