// vwg's error reporter: "vwg: TEXT" on standard error, where TEXT may be
// preceded by the file that the failing operation was working on.
#pragma once

// A fatal error on its way to main, which alone ends vwg, with status. It is
// thrown rather than the process ended on the spot, so that every holder on
// the way out wipes what it holds: a passphrase, a secret scalar, a plain
// text.
struct FatalError {
  int status;
};

// Prints text, or the system's text for the last error (errno, or
// GetLastError on Windows) when text is null, so call it right after the
// failing call. With fatal set it throws FatalError with status 1.
void ReportError(const char* text, bool fatal);

// The file named in the reports that follow; null for none. The pointer is
// kept, so the text must outlive the reports.
void SetErrorFile(const char* path);
