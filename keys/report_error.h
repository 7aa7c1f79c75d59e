// The one error reporter. Each program supplies the definition: the tray
// program shows a message box (app/), the command-line companion prints a line
// on stderr (cli/), the tests record the text (tests/support/).
#pragma once

// Shows text, or the system's text for the calling thread's last error when
// text is null, so call it right after the failing call. With fatal set it
// ends the process with exit code 1 and does not return.
void ReportError(const char* text, bool fatal);
