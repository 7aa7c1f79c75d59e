#include "icq/scan_counts.h"

#include <cstdint>

void PublishCount(HWND window, const char* property, unsigned count) {
  // The property goes with the window: nothing to remove at exit.
  SetPropA(window, property, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(count)));
}
