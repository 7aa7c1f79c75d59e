// ShutdownApp, which both the Exit command and every fatal error run: the
// tray icon goes while the main window is still there (Windows would keep
// showing an icon whose program has ended until the mouse passes over it),
// what start-up acquired is released once, and the secret key is wiped.
#include "app/app_state.h"

#include <gtest/gtest.h>

#include "app/process_state.h"
#include "app/tray_icon.h"
#include "tests/wine/menu.h"
#include "win/program.h"

TEST(ShutdownApp, TakesTheTrayIconAwayWhileTheWindowStillExists) {
  AppInstance = GetModuleHandleA(nullptr);
  MainWindow = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, AppInstance, nullptr);
  ASSERT_NE(MainWindow, nullptr);
  const int before = driver::TrayIconCount();
  ASSERT_TRUE(AddTrayIcon());
  ASSERT_TRUE(driver::WaitTrayIconCount(before + 1));
  InstanceMutex.reset(CreateMutexA(nullptr, TRUE, "VWG_SHUTDOWN_TEST_MUTEX"));
  ASSERT_TRUE(InstanceMutex);
  SecretKey[0] = 1;
  SecretKey[1] = 1;

  ShutdownApp();
  EXPECT_EQ(SecretKey[0] | SecretKey[1], 0);
  EXPECT_TRUE(driver::WaitTrayIconCount(before));
  EXPECT_TRUE(IsWindow(MainWindow));
  EXPECT_FALSE(InstanceMutex);
  ShutdownApp();  // a second run finds nothing left to release
  EXPECT_EQ(driver::TrayIconCount(), before);

  DestroyWindow(MainWindow);
  MainWindow = nullptr;
}
