#include "base/system_error.h"

#include <cerrno>
#include <cstring>

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
