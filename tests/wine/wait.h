// Time limits for the test driver. Every wait of the driver polls with a limit
// and reports failure when it runs out: a test that meets a program which
// stopped answering fails, it never hangs.
#pragma once

#include <windows.h>

#include <cstdint>

namespace driver {

// Wine can take several seconds for a program's first window on a cold
// prefix; 10 s leaves room for that and still ends a stuck test quickly.
constexpr uint32_t kDefaultTimeoutMs = 10000;

// Short enough that a round trip is not dominated by polling, long enough that
// a test does not compete with the program it drives for the two cores.
constexpr uint32_t kPollIntervalMs = 20;

// Milliseconds since an arbitrary start, monotonic.
inline uint64_t NowMs() { return GetTickCount64(); }

// Calls ready() every kPollIntervalMs until it returns a value that converts
// to true, or until timeoutMs have passed; returns the last value. ready() is
// always called at least once, also with a limit of 0.
template <typename F>
auto PollUntil(uint32_t timeoutMs, F ready) -> decltype(ready()) {
  const uint64_t end = NowMs() + timeoutMs;
  for (;;) {
    auto value = ready();
    if (value || NowMs() >= end) return value;
    Sleep(kPollIntervalMs);
  }
}

}  // namespace driver
