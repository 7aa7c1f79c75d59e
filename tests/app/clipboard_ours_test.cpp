// Which clipboard changes the program counts as its own, in-process against
// Wine's real clipboard: a change made without an owner stands for another
// program's.
#include "app/clipboard_ours.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// A change of the clipboard, emptied with owner as its owner (null: no
// window of this process).
bool ChangeClipboard(HWND owner) {
  if (!OpenClipboard(owner)) return false;
  const bool emptied = EmptyClipboard() != FALSE;
  CloseClipboard();
  return emptied;
}

TEST(ClipboardOurs, MarkedChangesAndThoseOfOurWindowsAreOursLaterOnesAreNot) {
  ASSERT_TRUE(ChangeClipboard(nullptr));
  EXPECT_FALSE(ClipboardChangeIsOurs()) << "another program's change";

  MarkClipboardChangesOurs();
  EXPECT_TRUE(ClipboardChangeIsOurs()) << "the copy a hotkey asked for, marked";
  ASSERT_TRUE(ChangeClipboard(nullptr));
  EXPECT_FALSE(ClipboardChangeIsOurs()) << "a change after the mark";

  HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ChangeClipboard(window));
  EXPECT_TRUE(ClipboardChangeIsOurs()) << "written by a window of ours";
  DestroyWindow(window);
  ASSERT_TRUE(ChangeClipboard(nullptr));
  EXPECT_FALSE(ClipboardChangeIsOurs());
}

}  // namespace
