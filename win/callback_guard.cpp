#include "win/callback_guard.h"

#include <windows.h>

#include <new>

#include "resources/strings.h"
#include "win/program.h"
#include "win/report_error.h"

void ReportEscapedException() noexcept {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    ReportError(nullptr, false);
  } catch (...) {
    char text[kTextChars];
    LoadText(IDS_UNKNOWN_ERROR, text);
    ReportError(text, false);
  }
}
