#include "keys/file_snapshot.h"

#include <cstdio>

#include "keys/file_io.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

FileSnapshot TakeFileSnapshot(const char* path, int maxBytes) {
  FileSnapshot snapshot;
  snapshot.bytes.resize(maxBytes);
  int size = 0;
  snapshot.existed = PathExists(path) && ReadFilePrefix(path, snapshot.bytes.data(), maxBytes, &size);
  snapshot.bytes.resize(snapshot.existed ? size : 0);
#ifndef _WIN32
  // A secret key file put back must not become readable by others.
  struct stat st;
  snapshot.ownerOnly = snapshot.existed && stat(path, &st) == 0 && (st.st_mode & 077) == 0;
#endif
  return snapshot;
}

int RestoreFileSnapshot(const char* path, const FileSnapshot& snapshot) {
  if (!snapshot.existed) return std::remove(path) == 0 || !PathExists(path);
  return WriteFileAtomic(path, snapshot.bytes.data(), static_cast<int>(snapshot.bytes.size()),
                         snapshot.ownerOnly);
}
