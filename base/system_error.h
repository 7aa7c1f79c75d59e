// The system's last error (GetLastError on Windows, errno elsewhere): what a
// failed file, registry or random-source call leaves for the caller to show.
#pragma once

#include <cstdint>

// The system's text for the last error of the calling thread in buf, without
// a trailing line break; "" when the system has none. Returns buf.
char* SystemErrorText(char* buf, int size);

// The text an error reporter shows: text itself, or for a null text the
// system's text for the last error in buf, or "Unknown error" when the
// system has none. Call it first thing in the reporter, before anything can
// change the last error.
const char* ErrorText(const char* text, char* buf, int size);

// Keeps the last error across clean-up that follows a failed call (closing
// a handle, removing a temporary file, putting a file back), so that the
// caller still sees why the call failed.
class KeepSystemError {
 public:
  KeepSystemError();
  ~KeepSystemError();
  KeepSystemError(const KeepSystemError&) = delete;
  KeepSystemError& operator=(const KeepSystemError&) = delete;

 private:
  uint32_t error_;
};
