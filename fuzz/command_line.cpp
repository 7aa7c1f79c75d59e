// The tray program's command line (ParseCommandLine): any bytes up to a NUL.
// The path never holds a double quote, never starts with a blank, fits its
// 260-character buffer and is a piece of the command line as it stood.
#include <cstring>
#include <string>

#include "app/command_line.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string commandLine(reinterpret_cast<const char*>(data), size);  // cut at a NUL below
  char path[kCommandLinePathChars + 1];
  path[kCommandLinePathChars] = 'X';  // a write past the buffer shows here too, not only under ASan
  ParseCommandLine(commandLine.c_str(), path);
  FUZZ_CHECK(path[kCommandLinePathChars] == 'X');

  const size_t n = std::strlen(path);
  FUZZ_CHECK(n < static_cast<size_t>(kCommandLinePathChars));
  FUZZ_CHECK(std::strchr(path, '"') == nullptr);
  FUZZ_CHECK(path[0] != ' ');
  if (n > 0) FUZZ_CHECK(std::strstr(commandLine.c_str(), path) != nullptr);
  return 0;
}
