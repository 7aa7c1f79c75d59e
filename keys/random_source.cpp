#include "keys/random_source.h"

#ifdef _WIN32
#include <windows.h>
#include <bcrypt.h>

int RandomBytes(uint8_t* buf, int n) {
  const NTSTATUS status =
      BCryptGenRandom(nullptr, buf, static_cast<ULONG>(n), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  if (status >= 0) return 1;
  // BCrypt reports an NTSTATUS and leaves the Win32 last error alone.
  SetLastError(ERROR_GEN_FAILURE);
  return 0;
}

#else
#include <cerrno>
#include <sys/random.h>

// getrandom blocks until the kernel's pool is seeded, and then requests of
// up to 256 bytes are never cut short; the loop covers signals and larger n.
int RandomBytes(uint8_t* buf, int n) {
  int done = 0;
  while (done < n) {
    const ssize_t got = getrandom(buf + done, static_cast<size_t>(n - done), 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    done += static_cast<int>(got);
  }
  return 1;
}
#endif
