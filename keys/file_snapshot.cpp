#include "keys/file_snapshot.h"

#include <cstdio>

FileSnapshot TakeFileSnapshot(const char* path, int maxBytes) {
  FileSnapshot snapshot;
  snapshot.bytes.resize(maxBytes);
  int size = 0;
  snapshot.existed = PathExists(path) && ReadFilePrefix(path, snapshot.bytes.data(), maxBytes, &size);
  snapshot.bytes.resize(snapshot.existed ? size : 0);
  if (snapshot.existed) snapshot.permissions = ReadFilePermissions(path);
  return snapshot;
}

int RestoreFileSnapshot(const char* path, const FileSnapshot& snapshot) {
  if (!snapshot.existed) return std::remove(path) == 0 || !PathExists(path);
  return WriteFileAtomic(path, snapshot.bytes.data(), static_cast<int>(snapshot.bytes.size()),
                         snapshot.permissions);
}
