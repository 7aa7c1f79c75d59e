#include "keys/file_io.h"

#include <string>

#include "keys/owned.h"
#include "keys/system_error.h"

#ifdef _WIN32
#include <windows.h>
#include <sddl.h>

#include <vector>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileFaultHook FileFault = nullptr;

// The few calls that differ between the systems; ReadFilePrefix and
// WriteFileAtomic below are written once over them. Closing a file keeps the
// last error, so that a holder going out of scope after a failed call does
// not hide why it failed.
namespace {

#ifdef _WIN32

struct FileTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) {
    KeepSystemError keep;
    CloseHandle(h);
  }
};
using File = Owned<FileTraits>;

void SetSystemError(int error) { SetLastError(static_cast<DWORD>(error)); }
uint32_t ProcessId() { return GetCurrentProcessId(); }

File OpenForReading(const char* path) {
  return File(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

// Owners that keep the last error when they free, like FileTraits.
template <typename H, auto Free>
struct KeepingErrorTraits {
  using Handle = H;
  static H Empty() { return nullptr; }
  static void Close(H h) {
    KeepSystemError keep;
    Free(h);
  }
};
using Token = Owned<KeepingErrorTraits<HANDLE, CloseHandle>>;
using LocalMemory = Owned<KeepingErrorTraits<void*, LocalFree>>;

// A security descriptor whose DACL grants the user this process runs as
// full access and nobody else anything. "P" protects the DACL: without it
// the folder's inheritable entries (a shared drive's "Everyone: read", say)
// would be added to it. Empty, with the system's last error, on a failure.
LocalMemory OwnerOnlyDescriptor() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return LocalMemory();
  const Token owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<uint8_t> user(size);
  char* sid = nullptr;
  if (!GetTokenInformation(token, TokenUser, user.data(), size, &size) ||
      !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
    return LocalMemory();
  }
  const LocalMemory sidText(sid);
  const std::string sddl = std::string("D:P(A;;FA;;;") + sid + ")";
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
    return LocalMemory();
  return LocalMemory(descriptor);
}

// A new file that no other program can open while it is being written. A
// private file gets its owner-only DACL when it is created, so it is never
// readable by others, not even for a moment; the rename keeps it. Without
// that DACL a private file is not written at all.
File CreateTemp(const std::string& temp, bool privateFile) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  LocalMemory descriptor;
  if (privateFile) {
    descriptor = OwnerOnlyDescriptor();
    if (!descriptor) return File();
    attributes.lpSecurityDescriptor = descriptor.get();
  }
  return File(
      CreateFileA(temp.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool NameTaken() { return GetLastError() == ERROR_FILE_EXISTS; }

// The bytes read, 0 at the end of the file, -1 on a failure.
int ReadSome(const File& file, uint8_t* buf, int n) {
  DWORD got = 0;
  return ReadFile(file.get(), buf, static_cast<DWORD>(n), &got, nullptr) ? static_cast<int>(got) : -1;
}

// The bytes written, -1 on a failure.
int WriteSome(const File& file, const uint8_t* data, int n) {
  DWORD put = 0;
  return WriteFile(file.get(), data, static_cast<DWORD>(n), &put, nullptr) ? static_cast<int>(put) : -1;
}

bool FlushToDisk(const File& file) { return FlushFileBuffers(file.get()) != 0; }

// Closes now, with the result; the holder is then empty.
bool CloseNow(File& file) { return CloseHandle(file.release()) != 0; }

bool ReplaceWith(const std::string& temp, const char* path) {
  return MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

#else

struct DescriptorTraits {
  using Handle = int;
  static int Empty() { return -1; }
  static void Close(int fd) {
    KeepSystemError keep;
    close(fd);
  }
};
using File = Owned<DescriptorTraits>;

void SetSystemError(int error) { errno = error; }
uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

File OpenForReading(const char* path) { return File(open(path, O_RDONLY | O_CLOEXEC)); }

// A private file is its owner's from its first byte on, whatever the umask.
File CreateTemp(const std::string& temp, bool privateFile) {
  const mode_t mode = privateFile ? 0600 : 0666;  // less the umask
  return File(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
}

bool NameTaken() { return errno == EEXIST; }

// The bytes read, 0 at the end of the file, -1 on a failure.
int ReadSome(const File& file, uint8_t* buf, int n) {
  ssize_t got;
  do {
    got = read(file.get(), buf, static_cast<size_t>(n));
  } while (got < 0 && errno == EINTR);
  return static_cast<int>(got);
}

// The bytes written, -1 on a failure.
int WriteSome(const File& file, const uint8_t* data, int n) {
  ssize_t put;
  do {
    put = write(file.get(), data, static_cast<size_t>(n));
  } while (put < 0 && errno == EINTR);
  return static_cast<int>(put);
}

bool FlushToDisk(const File& file) { return fsync(file.get()) == 0; }

// Closes now, with the result; the holder is then empty. A close that fails
// may be the first report of a failed write (NFS, quotas).
bool CloseNow(File& file) { return close(file.release()) == 0; }

// The rename is only durable once the folder's entry is on the disk too. A
// failure there cannot be undone any more, so it is not reported.
void SyncFolder(const char* path) {
  std::string folder(path);
  const size_t slash = folder.find_last_of('/');
  folder = slash == std::string::npos ? "." : slash == 0 ? "/" : folder.substr(0, slash);
  const File dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) fsync(dir.get());
}

bool ReplaceWith(const std::string& temp, const char* path) {
  if (rename(temp.c_str(), path) != 0) return false;
  SyncFolder(path);
  return true;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

#endif

// Temporary files are named after the target, the process and a counter, so
// that two programs writing the same key file at once never share one; the
// final rename decides which complete file wins.
std::string TempPath(const char* path, int attempt) {
  return std::string(path) + "." + std::to_string(ProcessId()) + "-" + std::to_string(attempt) + ".tmp";
}

constexpr int kTempAttempts = 100;

// True when the test hook makes step fail; the system's error is then set.
bool Injected(FileStep step, int* bytes = nullptr) {
  if (!FileFault) return false;
  int unused = 0;
  const int error = FileFault(step, bytes ? bytes : &unused);
  if (error) SetSystemError(error);
  return error != 0;
}

bool WriteAll(const File& file, const uint8_t* data, int size) {
  while (size > 0) {
    int bytes = size;
    if (Injected(FileStep::kWrite, &bytes)) return false;
    const int put = WriteSome(file, data, bytes);
    if (put < 0) return false;
    data += put;
    size -= put;
  }
  return true;
}

}  // namespace

int ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size) {
  const File file = OpenForReading(path);
  if (!file) return 0;
  int total = 0;
  while (total < capacity) {
    const int got = ReadSome(file, buf + total, capacity - total);
    if (got < 0) return 0;
    if (got == 0) break;
    total += got;
  }
  *size = total;
  return 1;
}

int WriteFileAtomic(const char* path, const uint8_t* data, int size, bool privateFile) {
  std::string temp;
  File file;
  for (int attempt = 0; !file && attempt < kTempAttempts; ++attempt) {
    temp = TempPath(path, attempt);
    if (!Injected(FileStep::kOpen)) file = CreateTemp(temp, privateFile);
    if (!file && !NameTaken()) return 0;
  }
  if (!file) return 0;
  const bool written = WriteAll(file, data, size) && !Injected(FileStep::kFlush) && FlushToDisk(file) &&
                       CloseNow(file) && !Injected(FileStep::kClose) && !Injected(FileStep::kReplace) &&
                       ReplaceWith(temp, path);
  if (written) return 1;
  // Closed first: a file still open without sharing cannot be deleted.
  KeepSystemError keep;
  file.reset();
  RemoveFile(temp);
  return 0;
}

bool PathExists(const char* path) {
#ifdef _WIN32
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
#else
  struct stat st;
  return stat(path, &st) == 0;
#endif
}
