// The small file layer under the key files: whole reads of small files and
// atomic replacement. Every failure leaves the system's last error (errno, or
// GetLastError on Windows) as the failing call set it, so that the caller's
// ReportError(nullptr, ...) shows the system's own text for it.
#pragma once

#include <cstdint>
#include <vector>

// Reads up to capacity bytes from the start of the file at path; *size gets
// the number read (less than capacity only at the end of the file). True,
// or false when the file cannot be opened or read.
bool ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size);

// Files that ReadWholeFile refuses to hold: a full ring with its trailer is
// a quarter of a megabyte, and a file offered for import should not make
// the program hold more than this.
constexpr int kMaxWholeFileBytes = 1 << 24;

// Reads all of the file at path into bytes. True, or false when the file
// cannot be opened or read, or is longer than kMaxWholeFileBytes (the
// system's "file too large" error); bytes is then left as it was.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);

// Who may use a file that WriteFileAtomic makes.
enum class FileAccess {
  kDefault,    // what a new file gets: 0666 less the umask, the folder's inheritable entries on Windows
  kOwnerOnly,  // its owner alone: mode 0600, a protected DACL granting the current user alone on Windows
  kRecorded,   // exactly what an earlier file allowed (ReadFilePermissions)
};

struct FilePermissions {
  FileAccess access = FileAccess::kDefault;
  // kRecorded: the mode bits on POSIX systems; on Windows a self-relative
  // security descriptor holding the DACL, with its protection from the
  // folder's inheritable entries or not.
  uint32_t mode = 0;
  std::vector<uint8_t> descriptor{};
};

// The permissions of the file at path, for a file that is to allow exactly
// what it allowed; kOwnerOnly, the narrowest, when they cannot be read.
FilePermissions ReadFilePermissions(const char* path);

// Replaces the file at path with the given bytes in one step: they go to a
// new temporary file in the same folder, which is flushed to the disk and
// closed (every result checked) and then renamed over path. A path that is
// or passes through a symbolic link (a junction or mount point on Windows)
// is first resolved to the file it names in the end (realpath,
// GetFinalPathNameByHandleW): that file is replaced, in its own folder, and
// the link stays as it is. On any failure
// path is left exactly as it was and the temporary file is removed. The
// file gets the given permissions. A private or recorded one is narrow from
// its creation on: the temporary file is made for its owner alone and given
// the recorded permissions before the bytes go in, so that it never allows
// more than it is to allow.
//
// Each write first removes the temporary files that writes of the same file
// by processes that no longer run have left behind (killed half-way, a
// secret key's copy in them): only names that this function makes for path,
// and never one of a process that runs, even when a new process has taken
// the old one's number.
// True, or false.
bool WriteFileAtomic(const char* path, const uint8_t* data, int size, const FilePermissions& permissions);

// True when something (a file or a folder) exists at path.
bool PathExists(const char* path);

// Test seam for fault injection: the steps of WriteFileAtomic, in order
// (kPermissions only for recorded permissions).
enum class FileStep { kOpen, kPermissions, kWrite, kFlush, kClose, kReplace };

// Called before each step when set (the programs never set it). A nonzero
// result is a system error code (errno, or a Win32 error on Windows) with
// which the step then fails; for kWrite the hook may instead lower *bytes,
// the size of the write about to be made, to make it a short write.
// kClose and kReplace are checked after the real close has released the
// file, so an injected failure there leaks nothing.
using FileFaultHook = int (*)(FileStep step, int* bytes);
extern FileFaultHook FileFault;
