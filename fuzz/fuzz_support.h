// What the fuzz targets share: a property check that stops the run where it
// fails (assert would vanish under NDEBUG), and a deterministic sampler for
// the checks that cost a scalar multiplication.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Aborts with the failed property, so that libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, \
                   #condition);                                                \
      std::abort();                                                            \
    }                                                                          \
  } while (0)

// True for about one input in oneIn, decided by the input's bytes alone, so
// that a crash found there reproduces from the saved input. Under the
// sanitizers a scalar multiplication costs about 90 ms while the rest of a
// run costs tens of microseconds; running the expensive path on a sample
// keeps the rate of executions high while it still meets every kind of input.
constexpr uint32_t kScalarMultiplyOneIn = 4096;

inline bool Sampled(const uint8_t* data, size_t size, uint32_t oneIn = kScalarMultiplyOneIn) {
  uint32_t h = 2166136261u;  // FNV-1a
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h % oneIn == 0;
}
