// The small file layer under the key files: whole reads of small files and
// atomic replacement. Every failure leaves the system's last error (errno, or
// GetLastError on Windows) as the failing call set it, so that the caller's
// ReportError(nullptr, ...) shows the system's own text for it.
#pragma once

#include <cstdint>

// Reads up to capacity bytes from the start of the file at path; *size gets
// the number read (less than capacity only at the end of the file). Returns
// 1, or 0 when the file cannot be opened or read.
int ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size);

// Replaces the file at path with the given bytes in one step: they go to a
// new temporary file in the same folder, which is flushed to the disk and
// closed (every result checked) and then renamed over path. On any failure
// path is left exactly as it was and the temporary file is removed. A
// private file is its owner's only from its creation on: mode 0600 on
// POSIX systems, a protected DACL granting the current user alone on
// Windows.
// Returns 1, or 0.
int WriteFileAtomic(const char* path, const uint8_t* data, int size, bool privateFile);

// True when something (a file or a folder) exists at path.
bool PathExists(const char* path);

// Test seam for fault injection: the steps of WriteFileAtomic, in order.
enum class FileStep { kOpen, kWrite, kFlush, kClose, kReplace };

// Called before each step when set (the programs never set it). A nonzero
// result is a system error code (errno, or a Win32 error on Windows) with
// which the step then fails; for kWrite the hook may instead lower *bytes,
// the size of the write about to be made, to make it a short write.
// kClose and kReplace are checked after the real close has released the
// file, so an injected failure there leaks nothing.
using FileFaultHook = int (*)(FileStep step, int* bytes);
extern FileFaultHook FileFault;
