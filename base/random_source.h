// The operating system's cryptographic random source.
#pragma once

#include <cstdint>

// Fills buf with n random bytes: getrandom on Linux, BCryptGenRandom with
// the system's preferred generator on Windows. Returns 1, or 0 with the
// system's last error set (errno / GetLastError).
int RandomBytes(uint8_t* buf, int n);
