#include "keys/locked_memory.h"

#include <new>

#include "base/system_error.h"
#include "crypto/wipe.h"
#include "keys/locked_memory_system.h"

using namespace locked_memory_system;

namespace {

// The first byte of the page that holds p, and the length of whole pages
// from there that hold size bytes at p.
uintptr_t PageStart(const void* p) { return reinterpret_cast<uintptr_t>(p) & ~(PageSize() - 1); }
size_t PagesLength(const void* p, size_t size) {
  const uintptr_t end = reinterpret_cast<uintptr_t>(p) + size;
  return (end - PageStart(p) + PageSize() - 1) & ~(PageSize() - 1);
}

}  // namespace

bool LockPages(const void* p, size_t size) {
  return LockRange(reinterpret_cast<void*>(PageStart(p)), PagesLength(p, size));
}

void UnlockPages(const void* p, size_t size) {
  UnlockRange(reinterpret_cast<void*>(PageStart(p)), PagesLength(p, size));
}

// Fresh pages from the system come zeroed, and no other object shares them.
LockedMemory::LockedMemory(size_t size) : size_(size), pages_(PagesLength(nullptr, size ? size : 1)) {
  data_ = static_cast<uint8_t*>(MapPages(pages_));
  if (!data_) throw std::bad_alloc();
  locked_ = LockPages(data_, pages_);
}

// Keeps the last error: a holder that goes after a failed call leaves the
// caller the reason.
LockedMemory::~LockedMemory() {
  KeepSystemError keep;
  SecureWipe(data_, pages_);
  if (locked_) UnlockPages(data_, pages_);
  UnmapPages(data_, pages_);
}
