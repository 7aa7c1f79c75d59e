#include "base/same_file.h"

#include <windows.h>

#include <string>

namespace {

// The full path, with short (8.3) names of existing folders and files made
// long, so that two spellings of one path compare equal.
std::string FullLongPath(const char* path) {
  char full[MAX_PATH], longPath[MAX_PATH];
  const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return path;
  const DWORD m = GetLongPathNameA(full, longPath, MAX_PATH);
  return m > 0 && m < MAX_PATH ? longPath : full;
}

}  // namespace

bool IsSameFile(const char* a, const char* b) {
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, FullLongPath(a).c_str(), -1, FullLongPath(b).c_str(),
                        -1) == CSTR_EQUAL;
}
