#include <atomic>

#include "crypto/dispatch.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

bool HasClmulInstruction() {
#if defined(__i386__) || defined(__x86_64__)
  unsigned int a, b, c, d;
  if (InstructionArith() == nullptr || !__get_cpuid(1, &a, &b, &c, &d)) return false;
  return (c & bit_PCLMUL) && (d & bit_SSE2);
#else
  return false;
#endif
}

namespace {

std::atomic<const FastArith*> selected{nullptr};

const FastArith* Detect() { return HasClmulInstruction() ? InstructionArith() : &PortableArith; }

}  // namespace

const FastArith& ActiveArith() {
  const FastArith* a = selected.load(std::memory_order_relaxed);
  if (a == nullptr) {
    a = Detect();
    selected.store(a, std::memory_order_relaxed);
  }
  return *a;
}

ClmulPath ActiveClmulPath() {
  return &ActiveArith() == &PortableArith ? ClmulPath::kPortable : ClmulPath::kInstruction;
}

ClmulPath SelectClmulPath(ClmulPath path) {
  selected.store(path == ClmulPath::kPortable ? &PortableArith : Detect(), std::memory_order_relaxed);
  return ActiveClmulPath();
}
