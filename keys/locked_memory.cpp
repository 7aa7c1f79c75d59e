#include "keys/locked_memory.h"

#include <new>

#include "base/system_error.h"
#include "crypto/wipe.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

size_t PageSize() {
#ifdef _WIN32
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  return info.dwPageSize;
#else
  return static_cast<size_t>(sysconf(_SC_PAGESIZE));
#endif
}

// The first byte of the page that holds p, and the length of whole pages
// from there that hold size bytes at p.
uintptr_t PageStart(const void* p) { return reinterpret_cast<uintptr_t>(p) & ~(PageSize() - 1); }
size_t PagesLength(const void* p, size_t size) {
  const uintptr_t end = reinterpret_cast<uintptr_t>(p) + size;
  return (end - PageStart(p) + PageSize() - 1) & ~(PageSize() - 1);
}

}  // namespace

bool LockPages(const void* p, size_t size) {
  void* start = reinterpret_cast<void*>(PageStart(p));
#ifdef _WIN32
  return VirtualLock(start, PagesLength(p, size)) != 0;
#else
  return mlock(start, PagesLength(p, size)) == 0;
#endif
}

void UnlockPages(const void* p, size_t size) {
  void* start = reinterpret_cast<void*>(PageStart(p));
#ifdef _WIN32
  VirtualUnlock(start, PagesLength(p, size));
#else
  munlock(start, PagesLength(p, size));
#endif
}

// Fresh pages from the system come zeroed, and no other object shares them.
LockedMemory::LockedMemory(size_t size) : size_(size), pages_(PagesLength(nullptr, size ? size : 1)) {
#ifdef _WIN32
  data_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, pages_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (!data_) throw std::bad_alloc();
#else
  void* pages = mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::bad_alloc();
  data_ = static_cast<uint8_t*>(pages);
#ifdef MADV_DONTDUMP
  madvise(pages, pages_, MADV_DONTDUMP);
#endif
#endif
  locked_ = LockPages(data_, pages_);
}

// Keeps the last error: a holder that goes after a failed call leaves the
// caller the reason.
LockedMemory::~LockedMemory() {
  KeepSystemError keep;
  SecureWipe(data_, pages_);
  if (locked_) UnlockPages(data_, pages_);
#ifdef _WIN32
  VirtualFree(data_, 0, MEM_RELEASE);
#else
  munmap(data_, pages_);
#endif
}
