// The fuzz targets' ReportError. Parsing from bytes reports nothing, so a
// report means that a target reached file or random-source code it should
// not: stop there.
#include <cstdio>
#include <cstdlib>

#include "keys/report_error.h"

void ReportError(const char* text, bool) {
  std::fprintf(stderr, "unexpected report: %s\n", text ? text : "(system error)");
  std::abort();
}
