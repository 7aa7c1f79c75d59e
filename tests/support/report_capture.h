// The tests' ReportError: it records what would have been shown and never
// ends the process, so that a fatal failure can be checked for its text and
// the operation's return value.
#pragma once

#include <string>

struct ReportedErrors {
  int count = 0;
  bool lastFatal = false;
  std::string lastText;  // the system's text already resolved for a null text
};

extern ReportedErrors Reported;

void ClearReportedErrors();
