#include "base/system_error.h"

#include <cstring>

#include "resources/strings.h"

#ifdef _WIN32
#include <windows.h>

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

#else
#include <cerrno>

char* SystemErrorText(char* buf, int size) {
  const int error = errno;
  buf[0] = '\0';
  if (error != 0 && size > 0) {
    std::strncpy(buf, std::strerror(error), static_cast<size_t>(size) - 1);
    buf[size - 1] = '\0';
  }
  return buf;
}

KeepSystemError::KeepSystemError() : error_(static_cast<uint32_t>(errno)) {}
KeepSystemError::~KeepSystemError() { errno = static_cast<int>(error_); }

#endif

const char* ErrorText(const char* text, char* buf, int size) {
  if (!text) text = SystemErrorText(buf, size);
  return *text ? text : StringText(IDS_UNKNOWN_ERROR);
}
