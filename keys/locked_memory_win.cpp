#include <windows.h>

#include "keys/locked_memory_system.h"

namespace locked_memory_system {

size_t PageSize() {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
}

void* MapPages(size_t length) { return VirtualAlloc(nullptr, length, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE); }

void UnmapPages(void* start, size_t) { VirtualFree(start, 0, MEM_RELEASE); }

bool LockRange(void* start, size_t length) { return VirtualLock(start, length) != 0; }

void UnlockRange(void* start, size_t length) { VirtualUnlock(start, length); }

}  // namespace locked_memory_system
