// vwg's side of ReportError: "vwg: TEXT" on standard error, where TEXT may
// be preceded by the file that the failing operation was working on.
#pragma once

// The file named in the reports that follow; null for none. The pointer is
// kept, so the text must outlive the reports.
void SetErrorFile(const char* path);
