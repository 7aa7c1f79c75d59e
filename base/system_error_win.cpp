#include "base/system_error.h"

#include <windows.h>

#include <cstring>

char* SystemErrorText(char* buf, int size) {
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, GetLastError(), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                 buf, static_cast<DWORD>(size), nullptr);
  buf[n < static_cast<DWORD>(size) ? n : 0] = '\0';
  // System messages end in "\r\n".
  for (size_t len = std::strlen(buf); len > 0 && (buf[len - 1] == '\n' || buf[len - 1] == '\r');) {
    buf[--len] = '\0';
  }
  return buf;
}

KeepSystemError::KeepSystemError() : error_(GetLastError()) {}
KeepSystemError::~KeepSystemError() { SetLastError(error_); }
