#include "base/random_source.h"

#include <cerrno>
#include <sys/random.h>

// getrandom blocks until the kernel's pool is seeded, and then requests of
// up to 256 bytes are never cut short; the loop covers signals and larger n.
bool RandomBytes(uint8_t* buf, int n) {
  int done = 0;
  while (done < n) {
    const ssize_t got = getrandom(buf + done, static_cast<size_t>(n - done), 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<int>(got);
  }
  return true;
}
