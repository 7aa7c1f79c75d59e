#include "base/same_file.h"

#include <string>

#ifdef _WIN32
#include <windows.h>

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

#else
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// The path with its folder resolved (links, "." and ".."), the name as it
// stands: the folder exists whenever a file could be written there.
std::string ResolvedPath(const char* path) {
  const std::string p(path);
  const size_t slash = p.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : p.substr(0, slash);
  char resolved[PATH_MAX];
  if (!realpath(folder.c_str(), resolved)) return p;
  return std::string(resolved) + "/" + p.substr(slash == std::string::npos ? 0 : slash + 1);
}

}  // namespace

bool IsSameFile(const char* a, const char* b) {
  struct stat sa, sb;
  if (stat(a, &sa) == 0 && stat(b, &sb) == 0) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return ResolvedPath(a) == ResolvedPath(b);
}

#endif
