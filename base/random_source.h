// The operating system's cryptographic random source.
#pragma once

#include <cstdint>

// Fills buf with n random bytes: getrandom on Linux, BCryptGenRandom with
// the system's preferred generator on Windows. True, or false with the
// system's last error set (errno / GetLastError).
bool RandomBytes(uint8_t* buf, int n);
