// The text that a ReportError definition shows for its arguments.
#pragma once

// text itself, or for a null text the system's text for the last error in
// buf, or "Unknown error" when the system has none. Call it first thing in
// ReportError, before anything can change the last error.
const char* ErrorText(const char* text, char* buf, int size);
