#include "base/system_error.h"

#include "resources/strings.h"

const char* ErrorText(const char* text, char* buf, int size) {
  if (!text) text = SystemErrorText(buf, size);
  return *text ? text : StringText(IDS_UNKNOWN_ERROR);
}
