// The tray callback and the owner-drawn popup menu of the stand-in, chosen
// from with posted keys, and a picture of the display while the menu is open.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/driver_target.h"
#include "tests/wine/target_session.h"

using namespace driver;

namespace {

std::string MenuLine(unsigned id) { return "menu " + std::to_string(id); }

// Posts the right-button callback and waits for the menu it opens.
HWND OpenTrayMenu(DWORD pid) {
  if (!PostTrayCallback(pid, WM_RBUTTONDOWN, target::kMainClass)) return nullptr;
  return WaitForMenu(pid);
}

// Until the stand-in has written `count` lines: its report follows the menu's
// closing by a moment.
bool WaitForLines(const TargetRun& run, size_t count) {
  return PollUntil(kDefaultTimeoutMs, [&] { return run.Lines().size() >= count; });
}

}  // namespace

TEST(TrayMenu, CallbacksOpenTheMenuAndKeysChooseItems) {
  const int iconsBefore = TrayIconCount();
  TargetRun run("tray");
  ASSERT_TRUE(run.program());
  HWND main = WaitForMainWindow(run.pid(), target::kMainClass);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_TRUE(WaitTrayIconCount(iconsBefore + 1));

  // Escape closes the menu with no choice.
  const uint64_t start = NowMs();
  HWND menu = OpenTrayMenu(run.pid());
  ASSERT_NE(menu, nullptr);
  std::printf("tray callback to open menu: %llu ms\n",
              static_cast<unsigned long long>(NowMs() - start));
  EXPECT_EQ(OpenMenuCount(run.pid()), 1);
  EXPECT_TRUE(CloseMenu(menu));
  EXPECT_EQ(OpenMenuCount(run.pid()), 0);

  EXPECT_TRUE(PostTrayCallback(run.pid(), WM_LBUTTONDBLCLK, target::kMainClass));

  // Home highlights the first item, the banner; Down moves on to the first
  // command, skipping nothing but separators.
  menu = OpenTrayMenu(run.pid());
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(ChooseMenuItem(menu, {VK_HOME, VK_DOWN}));

  menu = OpenTrayMenu(run.pid());
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(ChooseMenuItem(menu, {VK_HOME, VK_DOWN, VK_DOWN}));

  // End reaches the last command, the stand-in's Exit.
  menu = OpenTrayMenu(run.pid());
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(ChooseMenuItem(menu, {VK_END}));
  EXPECT_EQ(run.program().WaitExit(), 0u);
  EXPECT_TRUE(WaitTrayIconCount(iconsBefore));

  ASSERT_TRUE(WaitForLines(run, 5));
  const std::vector<std::string> expected = {
      MenuLine(0), "dblclk", MenuLine(target::kFirstCommandId),
      MenuLine(target::kFirstCommandId + 1), MenuLine(target::kExitId)};
  EXPECT_EQ(run.Lines(), expected);
}

TEST(TrayMenu, ScreenshotOfTheOpenMenu) {
  const int iconsBefore = TrayIconCount();
  TargetRun run("tray");
  ASSERT_TRUE(run.program());
  HWND menu = OpenTrayMenu(run.pid());
  ASSERT_NE(menu, nullptr);
  // Kept next to the test for a person to look at; a picture holds nothing
  // the test can judge beyond being one.
  const std::string shot = OwnFolder() + "driver_menu.png";
  const uint64_t start = NowMs();
  ASSERT_TRUE(TakeScreenshot(shot));
  std::printf("screenshot: %llu ms\n", static_cast<unsigned long long>(NowMs() - start));
  EXPECT_EQ(ReadWholeFile(shot).value_or("").substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_TRUE(CloseMenu(menu));
  EXPECT_TRUE(run.program().Kill());
  const uint64_t killed = NowMs();
  EXPECT_TRUE(WaitTrayIconCount(iconsBefore));
  std::printf("icon of a killed program gone after %llu ms\n", static_cast<unsigned long long>(NowMs() - killed));
}
