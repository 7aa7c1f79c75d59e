#include "base/random_source.h"

#include <windows.h>
#include <bcrypt.h>

bool RandomBytes(uint8_t* buf, int n) {
  const NTSTATUS status =
      BCryptGenRandom(nullptr, buf, static_cast<ULONG>(n), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status >= 0) return true;
  // BCrypt reports an NTSTATUS and leaves the Win32 last error alone.
  SetLastError(ERROR_GEN_FAILURE);
  return false;
}
