#include "base/file_snapshot.h"

#include <cstdio>

FileSnapshot TakeFileSnapshot(const char* path) {
  FileSnapshot snapshot;
  snapshot.existed = PathExists(path) && ReadWholeFile(path, snapshot.bytes);
  if (snapshot.existed) snapshot.permissions = ReadFilePermissions(path);
  return snapshot;
}

bool RestoreFileSnapshot(const char* path, const FileSnapshot& snapshot) {
  if (!snapshot.existed) return std::remove(path) == 0 || !PathExists(path);
  return WriteFileAtomic(path, snapshot.bytes.data(), static_cast<int>(snapshot.bytes.size()),
                         snapshot.permissions);
}
