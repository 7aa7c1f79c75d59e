// The counts the tray program publishes on its main window
// (icq/scan_counts.h): tests wait on its scan passes and look at the
// balloons it asked for instead of waiting a fixed time for something to
// happen or, worse, not to happen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "tests/wine/wait.h"

namespace driver {

struct ScanCounts {
  unsigned passes = 0;    // scan passes finished
  unsigned balloons = 0;  // balloons asked for
};

// The counts of a run that has just begun: nothing asked for yet.
constexpr ScanCounts kStartOfRun{};

// The counts of process pid as a pass that ended after the call left them,
// so that every balloon asked for before the call is counted; the last
// counts read when no pass ended within timeoutMs.
ScanCounts CountsNow(DWORD pid, uint32_t timeoutMs = kDefaultTimeoutMs);

// True once passes more scan passes of pid have finished than when called.
bool WaitScanPasses(DWORD pid, unsigned passes, uint32_t timeoutMs = kDefaultTimeoutMs);

// For "a balloon came of it": true once pid has asked for a balloon since
// before was taken. A balloon asked for takes the place of the icon's
// balloon shown at once, and is counted after that: a balloon shown once the
// count has moved is not an earlier action's with the same text.
bool WaitForBalloonsAsked(DWORD pid, const ScanCounts& before, uint32_t timeoutMs = kDefaultTimeoutMs);

// For "nothing came of it": waits for two more passes (the pass running
// when the test acted may have begun before and missed it), then answers
// how many balloons have been asked for since before was taken; nothing
// when the passes did not come (a tick held up, or the program gone).
std::optional<unsigned> BalloonsAskedSince(DWORD pid, const ScanCounts& before,
                                           uint32_t timeoutMs = kDefaultTimeoutMs);

}  // namespace driver
