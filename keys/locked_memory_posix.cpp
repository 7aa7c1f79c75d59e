#include <sys/mman.h>
#include <unistd.h>

#include "keys/locked_memory_system.h"

namespace locked_memory_system {

size_t PageSize() { return static_cast<size_t>(sysconf(_SC_PAGESIZE)); }

void* MapPages(size_t length) {
  void* pages = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) return nullptr;
#ifdef MADV_DONTDUMP
  madvise(pages, length, MADV_DONTDUMP);
#endif
  return pages;
}

void UnmapPages(void* start, size_t length) { munmap(start, length); }

bool LockRange(void* start, size_t length) { return mlock(start, length) == 0; }

void UnlockRange(void* start, size_t length) { munlock(start, length); }

}  // namespace locked_memory_system
