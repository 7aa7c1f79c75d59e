// The tray program's error reporter: a warning box owned by the main window
// (no owner before it exists), and for fatal errors the orderly shutdown and
// exit code 1.
#include "win/report_error.h"

#include <cstdlib>

#include "app/app_state.h"
#include "base/system_error.h"
#include "resources/strings.h"
#include "win/program.h"

void ReportError(const char* text, bool fatal) {
  char system[256];
  text = ErrorText(text, system, sizeof system);  // before anything can change the last error
  char caption[kTextChars];
  LoadText(IDS_ERROR_CAPTION, caption);

  MessageBoxA(MainWindow, text, caption, MB_OK | MB_ICONEXCLAMATION);
  if (fatal) {
    ShutdownApp();
    std::exit(1);  // the normal exit path, so that exit-time clean-up runs
  }
}
