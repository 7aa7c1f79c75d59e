// The test driver for the tray program under Wine: start it, answer its
// windows from outside, and look at what it left in the registry and on disk.
// Every wait has a limit (kDefaultTimeoutMs unless given), so a test that
// meets a stuck program fails instead of hanging. A first start, in short:
//
//   driver::TempFolder keys("first-start");
//   driver::DeleteRegTree("Software\\Corvandel");
//   driver::Program app = driver::StartProgram(driver::OwnFolder() + "vaultwing.exe");
//   ASSERT_TRUE(driver::AnswerMessageBox("VWG", IDYES, nullptr, app.pid()));
//   ASSERT_TRUE(driver::ChooseFile("Save Public Key As", keys.File("public.vwg"), app.pid()));
//   ASSERT_TRUE(driver::ChooseFile("Save Secret Key As", keys.File("secret.vwg"), app.pid()));
//   ASSERT_TRUE(driver::EndSplash(app.pid()));
//   ASSERT_TRUE(driver::PostTrayCallback(app.pid(), WM_RBUTTONDOWN));
//   ASSERT_TRUE(driver::ChooseMenuItem(driver::WaitForMenu(app.pid()), {VK_END}));  // Exit
//   EXPECT_EQ(app.WaitExit(), 0u);
//
// The Program holder kills the program if a failed assertion leaves early.
#pragma once

#include "tests/wine/dialogs.h"
#include "tests/wine/keyboard.h"
#include "tests/wine/menu.h"
#include "tests/wine/process.h"
#include "tests/wine/scan_counts.h"
#include "tests/wine/system.h"
#include "tests/wine/wait.h"
#include "tests/wine/window.h"
