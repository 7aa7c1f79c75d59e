// The driver against driver_target.exe, a stand-in that shows in a process of
// its own the kinds of windows the tray program shows: every answer the
// driver gives has to arrive in the other process and come back as the
// stand-in's exit code or result file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/wine/driver_target.h"
#include "tests/wine/target_session.h"

using namespace driver;

namespace {

// A wait that must give up: it returns no sooner than its limit and not much
// later (polling and a busy machine add a little).
constexpr uint32_t kShortLimitMs = 300;
constexpr uint64_t kLateMs = 3000;

}  // namespace

TEST(Process, ExitCodeAndWorkingFolder) {
  TargetRun quick("exit", "7");
  ASSERT_TRUE(quick.program());
  EXPECT_EQ(quick.program().WaitExit(), 7u);
  std::printf("start to exit of an empty program: %llu ms\n",
              static_cast<unsigned long long>(quick.ElapsedMs()));

  TempFolder work("work");
  TargetRun cwd("cwd", "", work.path());
  ASSERT_TRUE(cwd.program());
  EXPECT_EQ(cwd.program().WaitExit(), 0u);
  ASSERT_EQ(cwd.Lines().size(), 1u);
  EXPECT_EQ(cwd.Lines()[0], work.path());
}

TEST(Process, WaitGivesUpAndKillEnds) {
  TargetRun stuck("wait");
  ASSERT_TRUE(stuck.program());
  EXPECT_EQ(Describe(stuck.program()).rfind("it runs, with ", 0), 0u);
  const uint64_t start = NowMs();
  EXPECT_FALSE(stuck.program().WaitExit(kShortLimitMs));
  const uint64_t waited = NowMs() - start;
  EXPECT_GE(waited, kShortLimitMs - 20);  // the tick counter's granularity
  EXPECT_LT(waited, kLateMs);
  EXPECT_TRUE(stuck.program().Running());

  EXPECT_TRUE(stuck.program().Kill());
  EXPECT_FALSE(stuck.program().Running());
  EXPECT_EQ(stuck.program().WaitExit(0), kKilledExitCode);
}

TEST(Process, HolderKillsAtScopeEnd) {
  HANDLE watch = nullptr;
  {
    Program stuck = StartProgram(OwnFolder() + "driver_target.exe", "wait");
    ASSERT_TRUE(stuck);
    watch = OpenProcess(SYNCHRONIZE, FALSE, stuck.pid());
    ASSERT_NE(watch, nullptr);
    // Moving hands over the program; only the last holder ends it.
    Program moved = std::move(stuck);
    EXPECT_FALSE(stuck);
    EXPECT_TRUE(moved.Running());
  }
  EXPECT_EQ(WaitForSingleObject(watch, 0), WAIT_OBJECT_0);
  CloseHandle(watch);
}

TEST(Process, MissingProgramFails) {
  Program none = StartProgram(OwnFolder() + "no_such_program.exe");
  EXPECT_FALSE(none);
  EXPECT_FALSE(none.WaitExit(0));
  EXPECT_FALSE(none.Running());
  EXPECT_EQ(Describe(none), "it was never started");
}

TEST(Windows, WaitsGiveUpAtTheirLimit) {
  TargetRun stuck("wait");
  ASSERT_TRUE(stuck.program());
  struct Case {
    const char* name;
    HWND (*wait)(DWORD pid);
  } cases[] = {
      {"window", [](DWORD pid) { return WaitForWindow({"#32770", nullptr, false, pid}, kShortLimitMs); }},
      {"message box", [](DWORD pid) { return WaitForMessageBox(target::kQuestionCaption, pid, kShortLimitMs); }},
      {"file dialog", [](DWORD pid) { return WaitForFileDialog(target::kSaveTitle, pid, kShortLimitMs); }},
      {"menu", [](DWORD pid) { return WaitForMenu(pid, kShortLimitMs); }},
      {"main window", [](DWORD pid) { return WaitForMainWindow(pid, target::kMainClass, kShortLimitMs); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const uint64_t start = NowMs();
    EXPECT_EQ(c.wait(stuck.pid()), nullptr);
    const uint64_t waited = NowMs() - start;
    EXPECT_GE(waited, kShortLimitMs - 20);
    EXPECT_LT(waited, kLateMs);
  }
  const uint64_t start = NowMs();
  EXPECT_FALSE(EndSplash(stuck.pid(), kShortLimitMs));
  EXPECT_FALSE(AnswerMessageBox(target::kQuestionCaption, IDYES, nullptr, stuck.pid(), kShortLimitMs));
  EXPECT_FALSE(ChooseFile(target::kSaveTitle, "C:\\x.vwg", stuck.pid(), kShortLimitMs));
  EXPECT_LT(NowMs() - start, 3 * kLateMs);
}

TEST(MessageBoxes, TextIsReadAndEitherAnswerArrives) {
  for (int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer);
    TargetRun run("msgbox");
    ASSERT_TRUE(run.program());
    HWND box = WaitForMessageBox(target::kQuestionCaption, run.pid());
    ASSERT_NE(box, nullptr);
    const uint64_t shown = run.ElapsedMs();
    EXPECT_EQ(MessageBoxText(box), target::kQuestionText);
    // Another process's box is not found by its caption alone with a pid
    // filter that does not match.
    EXPECT_EQ(WaitForMessageBox(target::kQuestionCaption, run.pid() + 1, 0), nullptr);
    EXPECT_TRUE(PressButton(box, answer));
    EXPECT_EQ(run.program().WaitExit(), static_cast<uint32_t>(answer));
    EXPECT_EQ(Describe(run.program()), "it ended with code " + std::to_string(answer));
    std::printf("message box: shown after %llu ms, answered and ended after %llu ms\n",
                static_cast<unsigned long long>(shown),
                static_cast<unsigned long long>(run.ElapsedMs()));
  }
}

TEST(FileDialogs, SaveTakesTheTypedPathAndAddsTheExtension) {
  TargetRun run("save");
  ASSERT_TRUE(run.program());
  const std::string chosen = run.folder().File("my key");
  EXPECT_TRUE(ChooseFile(target::kSaveTitle, chosen, run.pid()));
  EXPECT_EQ(run.program().WaitExit(), 0u);
  ASSERT_EQ(run.Lines().size(), 1u);
  EXPECT_EQ(run.Lines()[0], chosen + ".vwg");
  std::printf("save dialog: start to exit %llu ms\n",
              static_cast<unsigned long long>(run.ElapsedMs()));
}

TEST(FileDialogs, SaveOverAnExistingFileAnswersTheQuestion) {
  TargetRun run("save");
  ASSERT_TRUE(run.program());
  const std::string chosen = run.folder().File("existing.vwg");
  ASSERT_TRUE(WriteWholeFile(chosen, "old"));
  EXPECT_TRUE(ChooseFile(target::kSaveTitle, chosen, run.pid()));
  EXPECT_EQ(run.program().WaitExit(), 0u);
  ASSERT_EQ(run.Lines().size(), 1u);
  EXPECT_EQ(run.Lines()[0], chosen);
}

TEST(FileDialogs, OpenTakesANameThatNeedNotExist) {
  TargetRun run("open");
  ASSERT_TRUE(run.program());
  const std::string chosen = run.folder().File("absent.vwg");
  EXPECT_TRUE(ChooseFile(target::kOpenTitle, chosen, run.pid()));
  EXPECT_EQ(run.program().WaitExit(), 0u);
  ASSERT_EQ(run.Lines().size(), 1u);
  EXPECT_EQ(run.Lines()[0], chosen);
}

TEST(FileDialogs, CancelReturnsNothing) {
  for (const char* mode : {"save", "open"}) {
    SCOPED_TRACE(mode);
    TargetRun run(mode);
    ASSERT_TRUE(run.program());
    const char* title = std::string(mode) == "save" ? target::kSaveTitle : target::kOpenTitle;
    HWND dialog = WaitForFileDialog(title, run.pid());
    ASSERT_NE(dialog, nullptr);
    // The dialog starts with the program's initial name.
    EXPECT_EQ(WindowText(FileNameField(dialog)), "public.vwg");
    EXPECT_TRUE(CancelFileDialog(title, run.pid()));
    EXPECT_EQ(run.program().WaitExit(), 1u);
    EXPECT_TRUE(run.Lines().empty());
  }
}

TEST(DialogControls, EditAndCheckBoxAreReadAndChanged) {
  TargetRun run("dialog");
  ASSERT_TRUE(run.program());
  HWND dialog = WaitForWindow({"#32770", target::kDialogCaption, false, run.pid()});
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ControlText(dialog, target::kEditId), "Owner");
  EXPECT_EQ(CheckState(dialog, target::kCheckId), static_cast<uint32_t>(BST_CHECKED));
  EXPECT_FALSE(ControlText(dialog, 999));
  EXPECT_FALSE(CheckState(dialog, 999));

  EXPECT_TRUE(SetControlText(dialog, target::kEditId, "Alice Example"));
  EXPECT_EQ(ControlText(dialog, target::kEditId), "Alice Example");
  EXPECT_TRUE(ClickButton(dialog, target::kCheckId));
  EXPECT_EQ(PollUntil(kDefaultTimeoutMs, [&] {
              return CheckState(dialog, target::kCheckId) == static_cast<uint32_t>(BST_UNCHECKED);
            }),
            true);
  EXPECT_TRUE(ClickButton(dialog, target::kOkId));
  EXPECT_TRUE(WaitWindowGone(dialog));
  EXPECT_EQ(run.program().WaitExit(), 1u);
  ASSERT_EQ(run.Lines().size(), 1u);
  EXPECT_EQ(run.Lines()[0], "Alice Example|0");
}

TEST(DialogControls, CancelButtonEndsTheDialog) {
  TargetRun run("dialog");
  ASSERT_TRUE(run.program());
  // Found by the start of its caption.
  HWND dialog = WaitForWindow({"#32770", "Export", true, run.pid()});
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(PressButton(dialog, target::kCancelId));
  EXPECT_EQ(run.program().WaitExit(), 2u);
  EXPECT_TRUE(run.Lines().empty());
}

TEST(Splash, EndsAtOnceOnItsTimerMessage) {
  TargetRun run("splash");
  ASSERT_TRUE(run.program());
  EXPECT_TRUE(EndSplash(run.pid()));
  // The stand-in's own timer would take a minute.
  EXPECT_EQ(run.program().WaitExit(5000), 0u);
  std::printf("splash: start to exit %llu ms\n", static_cast<unsigned long long>(run.ElapsedMs()));
}
