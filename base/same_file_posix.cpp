#include "base/same_file.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <string>

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
