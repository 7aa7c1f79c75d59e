// Clearing secrets (scalars, message keys, plaintext) when they go out of use.
#pragma once

#include <cstddef>

// Zeroes n bytes at p in a way the optimiser may not drop as a dead store.
// CT: the time follows n alone.
void SecureWipe(void* p, size_t n);

// Zeroes the stack below the caller, deeper than the frames of the field
// and curve operations: where they have returned, the compiler's own spills
// of their values (which no wipe of a named object reaches, as in 32-bit
// code that keeps 64-bit lanes in memory) are left behind. Costs about a
// microsecond, so it follows the operations on keys, not each product.
// CT: a fixed 16 KB.
void BurnStack();
