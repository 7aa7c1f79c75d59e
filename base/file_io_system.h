// The calls of the small file layer that differ between the systems, made
// once for POSIX systems (base/file_io_posix.cpp) and once for Windows
// (base/file_io_win.cpp); CMake builds the one for the target.
// base/file_io.cpp writes ReadFilePrefix, WriteFileAtomic and the removal of
// stale temporary files once over them. Private to those three files.
//
// A call that fails leaves the system's last error as the failing call set
// it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/file_io.h"
#include "base/owned.h"

namespace file_io_system {

// A file descriptor, or a Windows HANDLE (a void*, so that this header
// needs no <windows.h>).
#ifdef _WIN32
using FileHandle = void*;
#else
using FileHandle = int;
#endif

// -1, or INVALID_HANDLE_VALUE.
FileHandle NoFile();
// Keeps the last error, so that a holder going out of scope after a failed
// call does not hide why it failed.
void CloseFile(FileHandle h);
using File = Owned<EmptyIs<FileHandle, NoFile, CloseFile>>;

// The error codes that the shared code sets itself (ELOOP and EFBIG, or
// their Win32 counterparts).
extern const int kTooManyLinksError;
extern const int kFileTooLargeError;

// The characters that end a name's folder part; final names use the first.
extern const char kSeparators[];

void SetSystemError(int error);
uint32_t ProcessId();

// Where the file's own name starts in path, after its folder (file_io.cpp).
size_t NameStart(const std::string& path);

File OpenForReading(const char* path);

// The last failure was that nothing is at the name.
bool NoFileThere();

// The final name of an existing file, every link followed, or false with
// the system's error.
bool ExistingFinalPath(const std::string& path, std::string& final);

// Where a link that names no file yet points, relative to its own folder,
// into target; false when target is no such link.
bool FollowLink(std::string& target);

// A new file at temp, exclusive (failing when the name is taken), with the
// access asked for from its creation on.
File CreateTemp(const std::string& temp, FileAccess access);

// What the file at path allows, into permissions (mode or descriptor).
bool RecordPermissions(const char* path, FilePermissions& permissions);
bool GiveRecordedPermissions(const File& file, const FilePermissions& permissions);

// The last failure was that the name is taken.
bool NameTaken();

// The bytes read, 0 at the end of the file, -1 on a failure.
int ReadSome(const File& file, uint8_t* buf, int n);
// The bytes written, -1 on a failure.
int WriteSome(const File& file, const uint8_t* data, int n);

bool FlushToDisk(const File& file);

// Closes now, with the result; the holder is then empty.
bool CloseNow(File& file);

// Renames temp over path, durably.
bool ReplaceWith(const std::string& temp, const char* path);

void RemoveFile(const std::string& path);

// A process number that no process has any more.
bool ProcessEnded(uint32_t pid);

// Calls found with the names in path's folder that may be temporary files
// of path (at least every such name; the caller checks each).
void ForEachTempCandidate(const char* path, const std::function<void(const char* name)>& found);

}  // namespace file_io_system
