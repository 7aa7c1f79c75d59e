#include "tests/support/report_capture.h"

#include "base/system_error.h"
#include "win/report_error.h"

ReportedErrors Reported;

void ClearReportedErrors() { Reported = ReportedErrors{}; }

void ReportError(const char* text, bool fatal) {
  char system[256];
  text = ErrorText(text, system, sizeof system);
  ++Reported.count;
  Reported.lastFatal = fatal;
  Reported.lastText = text;
}
