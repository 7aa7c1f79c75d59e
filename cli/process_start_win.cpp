#include "cli/process_start.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

void PrepareProcess() {
  // DLLs come from System32 only from here on, never from beside vwg.exe
  // or the current folder: the imports that are not known DLLs are
  // delay-loaded (cmake/hardening.cmake), so that they come after this.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Messages are bytes: no CR/LF translation and no end at a Ctrl-Z.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}
