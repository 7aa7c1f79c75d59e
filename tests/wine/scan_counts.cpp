#include "tests/wine/scan_counts.h"

#include <cstdint>

#include "icq/scan_counts.h"
#include "tests/wine/menu.h"

namespace driver {
namespace {

unsigned ReadCount(HWND main, const char* property) {
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetPropA(main, property)));
}

ScanCounts ReadCounts(HWND main) {
  // The passes first: the program publishes them last.
  ScanCounts counts;
  counts.passes = ReadCount(main, kScanPassesProperty);
  counts.balloons = ReadCount(main, kBalloonsAskedProperty);
  return counts;
}

}  // namespace

bool WaitScanPasses(DWORD pid, unsigned passes, uint32_t timeoutMs) {
  const uint64_t end = NowMs() + timeoutMs;
  HWND main = WaitForMainWindow(pid, kMainWindowClass, timeoutMs);
  if (main == nullptr) return false;
  const unsigned start = ReadCount(main, kScanPassesProperty);
  const uint64_t now = NowMs();
  return PollUntil(static_cast<uint32_t>(end > now ? end - now : 0),
                   [&] { return ReadCount(main, kScanPassesProperty) - start >= passes; });
}

ScanCounts CountsNow(DWORD pid, uint32_t timeoutMs) {
  WaitScanPasses(pid, 1, timeoutMs);
  HWND main = WaitForMainWindow(pid, kMainWindowClass, 0);
  return main ? ReadCounts(main) : ScanCounts{};
}

bool WaitForBalloonsAsked(DWORD pid, const ScanCounts& before, uint32_t timeoutMs) {
  HWND main = WaitForMainWindow(pid, kMainWindowClass, 0);
  return main != nullptr &&
         PollUntil(timeoutMs, [&] { return ReadCount(main, kBalloonsAskedProperty) != before.balloons; });
}

std::optional<unsigned> BalloonsAskedSince(DWORD pid, const ScanCounts& before, uint32_t timeoutMs) {
  HWND main = WaitForMainWindow(pid, kMainWindowClass, 0);
  if (main == nullptr || !WaitScanPasses(pid, 2, timeoutMs)) return std::nullopt;
  return ReadCount(main, kBalloonsAskedProperty) - before.balloons;
}

}  // namespace driver
