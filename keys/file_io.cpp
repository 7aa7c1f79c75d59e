#include "keys/file_io.h"

#include <string>

#include "keys/owned.h"
#include "keys/system_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Temporary files are named after the target, the process and a counter, so
// that two programs writing the same key file at once never share one; the
// final rename decides which complete file wins.
static std::string TempPath(const char* path, unsigned long pid, int attempt) {
  return std::string(path) + "." + std::to_string(pid) + "-" + std::to_string(attempt) + ".tmp";
}

constexpr int kTempAttempts = 100;

FileFaultHook FileFault = nullptr;

static void SetSystemError(int error);

// True when the test hook makes step fail; the system's error is then set.
static bool Injected(FileStep step, int* bytes = nullptr) {
  if (!FileFault) return false;
  int unused = 0;
  const int error = FileFault(step, bytes ? bytes : &unused);
  if (error) SetSystemError(error);
  return error != 0;
}

#ifdef _WIN32

namespace {

// Closing keeps the last error, so that a holder going out of scope after a
// failed call does not hide why it failed.
struct FileTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) {
    KeepSystemError keep;
    CloseHandle(h);
  }
};
using FileHandle = Owned<FileTraits>;

// Closes now, with the result; the holder is then empty.
bool CloseNow(FileHandle& file) { return CloseHandle(file.release()) != 0; }

}  // namespace

static void SetSystemError(int error) { SetLastError(static_cast<DWORD>(error)); }

int ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size) {
  FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 0;
  int total = 0;
  while (total < capacity) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buf + total, static_cast<DWORD>(capacity - total), &got, nullptr)) {
      return 0;
    }
    if (got == 0) break;
    total += static_cast<int>(got);
  }
  *size = total;
  return 1;
}

static bool WriteAll(HANDLE h, const uint8_t* data, int size) {
  while (size > 0) {
    DWORD put = 0;
    int bytes = size;
    if (Injected(FileStep::kWrite, &bytes)) return false;
    if (!WriteFile(h, data, static_cast<DWORD>(bytes), &put, nullptr)) return false;
    data += put;
    size -= static_cast<int>(put);
  }
  return true;
}

int WriteFileAtomic(const char* path, const uint8_t* data, int size, bool) {
  std::string temp;
  HANDLE h = INVALID_HANDLE_VALUE;
  for (int attempt = 0; h == INVALID_HANDLE_VALUE && attempt < kTempAttempts; ++attempt) {
    temp = TempPath(path, GetCurrentProcessId(), attempt);
    h = Injected(FileStep::kOpen)
            ? INVALID_HANDLE_VALUE
            : CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return 0;
  }
  if (h == INVALID_HANDLE_VALUE) return 0;
  FileHandle file(h);
  const bool written = WriteAll(h, data, size) && !Injected(FileStep::kFlush) &&
                       FlushFileBuffers(h) && CloseNow(file) && !Injected(FileStep::kClose) &&
                       !Injected(FileStep::kReplace) &&
                       MoveFileExA(temp.c_str(), path,
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (written) return 1;
  // A file still open without sharing cannot be deleted.
  KeepSystemError keep;
  file.reset();
  DeleteFileA(temp.c_str());
  return 0;
}

bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

#else

namespace {

struct DescriptorTraits {
  using Handle = int;
  static int Empty() { return -1; }
  static void Close(int fd) {
    KeepSystemError keep;
    close(fd);
  }
};
using FileDescriptor = Owned<DescriptorTraits>;

// Closes now, with the result; the holder is then empty. A close that fails
// may be the first report of a failed write (NFS, quotas).
bool CloseNow(FileDescriptor& file) { return close(file.release()) == 0; }

}  // namespace

static void SetSystemError(int error) { errno = error; }

int ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size) {
  FileDescriptor file(open(path, O_RDONLY | O_CLOEXEC));
  if (!file) return 0;
  int total = 0;
  while (total < capacity) {
    const ssize_t got = read(file.get(), buf + total, static_cast<size_t>(capacity - total));
    if (got < 0) {
      if (errno == EINTR) continue;
      return 0;
    }
    if (got == 0) break;
    total += static_cast<int>(got);
  }
  *size = total;
  return 1;
}

static bool WriteAll(int fd, const uint8_t* data, int size) {
  while (size > 0) {
    int bytes = size;
    if (Injected(FileStep::kWrite, &bytes)) return false;
    const ssize_t put = write(fd, data, static_cast<size_t>(bytes));
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<int>(put);
  }
  return true;
}

// The rename is only durable once the folder's entry is on the disk too. A
// failure here cannot be undone any more, so it is not reported.
static void SyncFolder(const char* path) {
  std::string folder(path);
  const size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  FileDescriptor dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) fsync(dir.get());
}

int WriteFileAtomic(const char* path, const uint8_t* data, int size, bool privateFile) {
  const mode_t mode = privateFile ? 0600 : 0666;  // less the umask
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < kTempAttempts; ++attempt) {
    temp = TempPath(path, static_cast<unsigned long>(getpid()), attempt);
    fd = Injected(FileStep::kOpen) ? -1
                                   : open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0 && errno != EEXIST) return 0;
  }
  if (fd < 0) return 0;
  FileDescriptor file(fd);
  const bool written = WriteAll(fd, data, size) && !Injected(FileStep::kFlush) &&
                       fsync(fd) == 0 && CloseNow(file) && !Injected(FileStep::kClose) &&
                       !Injected(FileStep::kReplace) && rename(temp.c_str(), path) == 0;
  if (!written) {
    KeepSystemError keep;
    unlink(temp.c_str());
    return 0;
  }
  SyncFolder(path);
  return 1;
}

bool PathExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}

#endif
