// A key file's contents kept aside, so that a replacement that must go
// together with a second one can be undone when the second one fails.
#pragma once

#include <cstdint>
#include <vector>

#include "base/file_io.h"

struct FileSnapshot {
  bool existed = false;
  // Who could use the file: it gets back exactly that, never more, also
  // while it is being put back.
  FilePermissions permissions;
  std::vector<uint8_t> bytes;
};

// The whole file at path as it is now.
FileSnapshot TakeFileSnapshot(const char* path);

// Puts the file back as the snapshot saw it, its permissions included, or
// removes it when there was none. True, or false when that failed too.
bool RestoreFileSnapshot(const char* path, const FileSnapshot& snapshot);
