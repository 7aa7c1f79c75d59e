// vwg's error reporter: "vwg: TEXT" on standard error, where TEXT may be
// preceded by the file that the failing operation was working on.
#pragma once

// Prints text, or the system's text for the last error (errno, or
// GetLastError on Windows) when text is null, so call it right after the
// failing call. With fatal set it ends vwg with exit status 1.
void ReportError(const char* text, bool fatal);

// The file named in the reports that follow; null for none. The pointer is
// kept, so the text must outlive the reports.
void SetErrorFile(const char* path);
