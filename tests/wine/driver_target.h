// What driver_target.exe shows, shared with the tests that answer it.
#pragma once

namespace target {

constexpr char kQuestionCaption[] = "Driver Question";
constexpr char kQuestionText[] = "Replace the old keys?";
constexpr char kSaveTitle[] = "Save Test Key As";
constexpr char kOpenTitle[] = "Open Test Key File";

constexpr char kDialogCaption[] = "Export Test Key";
constexpr int kEditId = 901;
constexpr int kOkId = 902;
constexpr int kCancelId = 903;
constexpr int kCheckId = 906;

// Not the tray program's class, so that a test of the program that looks for
// its window by class alone never finds the stand-in.
constexpr char kMainClass[] = "VWG Driver Target";
constexpr unsigned kBannerId = 401;
constexpr unsigned kFirstCommandId = 402;
constexpr int kCommandCount = 4;
constexpr unsigned kExitId = kFirstCommandId + kCommandCount - 1;

}  // namespace target
