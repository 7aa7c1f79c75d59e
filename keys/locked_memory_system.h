// The calls of locked memory that differ between the systems, made once for
// POSIX systems (keys/locked_memory_posix.cpp) and once for Windows
// (keys/locked_memory_win.cpp); CMake builds the one for the target.
// keys/locked_memory.cpp writes the page arithmetic and the holder once over
// them. Private to those three files.
#pragma once

#include <cstddef>

namespace locked_memory_system {

size_t PageSize();

// length bytes of fresh, zeroed pages of their own, left out of core dumps
// where the system can; null when the system has none to give.
void* MapPages(size_t length);
void UnmapPages(void* start, size_t length);

// start and length are whole pages.
bool LockRange(void* start, size_t length);
void UnlockRange(void* start, size_t length);

}  // namespace locked_memory_system
