// Memory for secrets (a secret scalar, a passphrase) that is kept in RAM:
// locked, so that the system never writes it to the swap or page file, and
// on Linux left out of core dumps. A failure to lock is no failure: the
// secret is then as safe as any other memory, and still wiped.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crypto/curve.h"

// Locks the whole pages that hold size bytes at p (mlock, VirtualLock).
// False when the system refused (a limit on locked memory, say). Locks do
// not nest: unlocking a page unlocks it for every object on it.
bool LockPages(const void* p, size_t size);
void UnlockPages(const void* p, size_t size);

// Whole pages of their own, zeroed and locked, so that unlocking them
// unlocks nothing else. They never move and are never copied; when the
// holder goes they are wiped, unlocked and given back. Throws
// std::bad_alloc when the system has no memory to give.
class LockedMemory {
 public:
  explicit LockedMemory(size_t size);
  ~LockedMemory();
  LockedMemory(const LockedMemory&) = delete;
  LockedMemory& operator=(const LockedMemory&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  // Whether the system agreed to keep the pages in RAM.
  bool locked() const { return locked_; }

 private:
  uint8_t* data_;
  size_t size_;  // what was asked for; the pages may hold more
  size_t pages_;
  bool locked_;
};

// A secret scalar (kScalarWords words) in locked memory, zero until filled.
class LockedScalar {
 public:
  LockedScalar() : memory_(kScalarWords * sizeof(uint16_t)) {}
  uint16_t* get() const { return reinterpret_cast<uint16_t*>(memory_.data()); }
  bool locked() const { return memory_.locked(); }

 private:
  LockedMemory memory_;
};
