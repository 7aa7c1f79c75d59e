#include "crypto/wipe.h"

#include <cstring>

// The empty asm claims to read the memory, so the memset before it is not a
// dead store; a volatile function pointer would do the same at the cost of
// an indirect call the compiler cannot see through.
void SecureWipe(void* p, size_t n) {
  std::memset(p, 0, n);
  __asm__ __volatile__("" : : "r"(p) : "memory");
}

// Well beyond the few kilobytes that the operations' frames take.
constexpr size_t kBurnBytes = 16 * 1024;

__attribute__((noinline)) void BurnStack() {
  unsigned char area[kBurnBytes];
  SecureWipe(area, sizeof area);
}
