// The one error reporter of the Windows programs. Each program supplies the
// definition: the tray program shows a message box and, for a fatal error,
// shuts down (app/report_error.cpp); the tests record what would have been
// shown (tests/support/).
#pragma once

// Shows text, or the system's text for the calling thread's last error when
// text is null, so call it right after the failing call. With fatal set it
// ends the process with exit code 1 and does not return.
void ReportError(const char* text, bool fatal);
