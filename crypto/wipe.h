// Clearing secrets (scalars, message keys, plaintext) when they go out of use.
#pragma once

#include <cstddef>

// Zeroes n bytes at p in a way the optimiser may not drop as a dead store.
void SecureWipe(void* p, size_t n);
