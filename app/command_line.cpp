#include "app/command_line.h"

void ParseCommandLine(const char* commandLine, char path[kCommandLinePathChars]) {
  const char* p = commandLine ? commandLine : "";
  while (*p == ' ' || *p == '"') ++p;
  int n = 0;
  while (p[n] != '\0' && p[n] != '"' && n < kCommandLinePathChars - 1) {
    path[n] = p[n];
    ++n;
  }
  path[n] = '\0';
}
