#include "cli/report_error.h"

#include <cstdio>

#include "base/system_error.h"

static const char* ErrorFile = nullptr;

void SetErrorFile(const char* path) { ErrorFile = path; }

void ReportError(const char* text, bool fatal) {
  char system[256];
  text = ErrorText(text, system, sizeof system);
  if (ErrorFile) {
    std::fprintf(stderr, "vwg: %s: %s\n", ErrorFile, text);
  } else {
    std::fprintf(stderr, "vwg: %s\n", text);
  }
  if (fatal) throw FatalError{1};
}
