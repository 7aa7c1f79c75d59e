// The key-file path on the program's command line.
#pragma once

constexpr int kCommandLinePathChars = 260;

// Skips every leading blank and double quote, copies the rest (at most 259
// characters) and cuts it at its first double quote: a quoted path comes out
// without its quotes, an unquoted one keeps its inner blanks. "" when the
// command line names no file.
void ParseCommandLine(const char* commandLine, char path[kCommandLinePathChars]);
