// Messages to another thread's windows under a time limit: a window whose
// thread stops answering costs one wait, the rest of the conversation is
// not sent, and a window that is gone is no failure to answer.
#include "icq/dialog_messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <thread>

namespace {

// A thread with an edit control, which answers until told to hang, then
// sleeps for hangMs without looking at its queue, and answers again until
// the end.
class OtherThread {
 public:
  explicit OtherThread(DWORD hangMs) {
    thread_ = std::thread([this, hangMs] {
      window_ = CreateWindowExA(0, "EDIT", "kept", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      SetEvent(ready_);
      const HANDLE events[] = {stop_, hang_};
      for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        const DWORD woken = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) break;
        if (woken == WAIT_OBJECT_0 + 1) {
          ResetEvent(hang_);
          SetEvent(hanging_);
          Sleep(hangMs);
        }
      }
      DestroyWindow(window_);
    });
    WaitForSingleObject(ready_, INFINITE);
  }
  ~OtherThread() {
    SetEvent(stop_);
    thread_.join();
    for (HANDLE event : {ready_, hang_, hanging_, stop_}) CloseHandle(event);
  }
  OtherThread(const OtherThread&) = delete;
  OtherThread& operator=(const OtherThread&) = delete;

  HWND window() const { return window_; }
  // Returns once the thread has stopped answering.
  void Hang() {
    SetEvent(hang_);
    WaitForSingleObject(hanging_, INFINITE);
  }

 private:
  HANDLE ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE hang_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE hanging_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HWND window_ = nullptr;
  std::thread thread_;
};

uint64_t Now() { return GetTickCount64(); }

TEST(DialogMessages, AnAnsweringWindowGivesItsAnswer) {
  OtherThread other(0);
  DialogMessages messages;
  LRESULT length = -1;
  ASSERT_TRUE(messages.SendA(other.window(), WM_GETTEXTLENGTH, 0, 0, &length));
  EXPECT_EQ(length, 4);
  wchar_t text[8] = {};
  ASSERT_TRUE(messages.SendW(other.window(), WM_GETTEXT, 8, reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ(text, L"kept");
  EXPECT_TRUE(messages.answered());
}

// The thread hangs for 3 s: the first message waits out its limit, the
// rest of its conversation and any other conversation with the window are
// refused at once for a while, and once the thread answers again, so does
// the window.
TEST(DialogMessages, AHungWindowCostsOneWaitAndIsLeftAloneForAWhile) {
  OtherThread other(3000);
  other.Hang();
  const uint64_t hung = Now();
  DialogMessages messages;
  LRESULT length = -1;
  uint64_t start = Now();
  EXPECT_FALSE(messages.SendA(other.window(), WM_GETTEXTLENGTH, 0, 0, &length));
  const uint64_t firstMs = Now() - start;
  EXPECT_EQ(length, 0);
  EXPECT_FALSE(messages.answered());
  start = Now();
  EXPECT_FALSE(messages.SendA(other.window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed")));
  EXPECT_FALSE(DialogAnswers(other.window()));
  const uint64_t nextMs = Now() - start;
  std::printf("first message %llu ms, the next two %llu ms\n", static_cast<unsigned long long>(firstMs),
              static_cast<unsigned long long>(nextMs));
  EXPECT_LE(firstMs, 2u * kDialogAnswerMs) << "the limit";
  EXPECT_LT(nextMs, kDialogAnswerMs / 2) << "not sent";
  Sleep(static_cast<DWORD>(hung + 3000 - std::min<uint64_t>(Now(), hung + 3000)));
  while (!DialogAnswers(other.window()) && Now() < hung + 3000 + 2 * kDialogQuietMs) Sleep(50);
  EXPECT_TRUE(DialogAnswers(other.window())) << "it answers again once its thread does";
  EXPECT_EQ(SendMessageA(other.window(), WM_GETTEXTLENGTH, 0, 0), 4) << "the refused WM_SETTEXT was never sent";
}

TEST(DialogMessages, AWindowThatIsGoneIsNoFailureToAnswer) {
  HWND gone = nullptr;
  {
    OtherThread other(0);
    gone = other.window();
  }
  DialogMessages messages;
  LRESULT result = 7;
  EXPECT_FALSE(messages.SendA(gone, WM_GETTEXTLENGTH, 0, 0, &result));
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(messages.answered());
}

}  // namespace
