#include "keys/file_io.h"

#include <cstring>
#include <limits>
#include <string>

#include "keys/owned.h"
#include "keys/system_error.h"

#ifdef _WIN32
#include <windows.h>
#include <sddl.h>

#include <vector>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

FileFaultHook FileFault = nullptr;

// The few calls that differ between the systems; ReadFilePrefix,
// WriteFileAtomic and the removal of stale temporary files below are written
// once over them. Closing a file keeps the last error, so that a holder going
// out of scope after a failed call does not hide why it failed.
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

// Where the file's own name starts in path, after its folder.
size_t NameStart(const std::string& path) {
  const size_t end = path.find_last_of("\\/:");
  return end == std::string::npos ? 0 : end + 1;
}

File OpenForReading(const char* path) {
  return File(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A file or a folder, opened for nothing but asking what it is: no rights,
// shared with everybody, and folders too (FILE_FLAG_BACKUP_SEMANTICS).
File OpenToName(const std::string& path) {
  return File(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// The name the system gives an open file or folder once every symbolic
// link, junction and mount point is followed, in the ANSI code page that
// the other calls here take: without the "\\?\" of the long form, and a
// share's "\\?\UNC\" made "\\" again. A name that the code page cannot
// spell is refused (ERROR_NO_UNICODE_TRANSLATION) rather than written to a
// look-alike.
bool FinalName(const File& file, std::string& name) {
  wchar_t wide[MAX_PATH + 8];
  const DWORD length = GetFinalPathNameByHandleW(file.get(), wide, MAX_PATH + 8, FILE_NAME_NORMALIZED);
  if (length == 0) return false;
  if (length >= MAX_PATH + 8) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  std::wstring text(wide, length);
  if (text.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    text.replace(0, 8, L"\\\\");
  } else if (text.rfind(L"\\\\?\\", 0) == 0) {
    text.erase(0, 4);
  }
  // A code page of UTF-8 spells every name, and takes neither the flag nor
  // the question whether something was lost.
  const bool utf8 = GetACP() == CP_UTF8;
  char ansi[MAX_PATH + 8];
  BOOL lost = FALSE;
  const int bytes = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(),
                                        static_cast<int>(text.size()), ansi, sizeof ansi, nullptr,
                                        utf8 ? nullptr : &lost);
  if (bytes == 0) return false;
  if (lost) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return false;
  }
  name.assign(ansi, static_cast<size_t>(bytes));
  return true;
}

bool NoFileThere() { return GetLastError() == ERROR_FILE_NOT_FOUND; }

// The final name of an existing file, or false with the system's error.
bool ExistingFinalPath(const std::string& path, std::string& final) {
  const File file = OpenToName(path);
  return file && FinalName(file, final);
}

constexpr char kSeparator = '\\';

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
using KernelObject = Owned<KeepingErrorTraits<HANDLE, CloseHandle>>;
using LocalMemory = Owned<KeepingErrorTraits<void*, LocalFree>>;

// A security descriptor whose DACL grants the user this process runs as
// full access and nobody else anything. "P" protects the DACL: without it
// the folder's inheritable entries (a shared drive's "Everyone: read", say)
// would be added to it. Empty, with the system's last error, on a failure.
LocalMemory OwnerOnlyDescriptor() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return LocalMemory();
  const KernelObject owned(token);
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
// that DACL a private file is not written at all. A file that is to get
// recorded permissions starts as a private one, and is opened with the
// right to change its DACL.
File CreateTemp(const std::string& temp, FileAccess access) {
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, nullptr, FALSE};
  LocalMemory descriptor;
  if (access != FileAccess::kDefault) {
    descriptor = OwnerOnlyDescriptor();
    if (!descriptor) return File();
    attributes.lpSecurityDescriptor = descriptor.get();
  }
  const DWORD rights = GENERIC_WRITE | (access == FileAccess::kRecorded ? WRITE_DAC : 0);
  return File(CreateFileA(temp.c_str(), rights, 0, &attributes, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The file's DACL as a self-relative security descriptor, whose control
// says whether the DACL was protected from the folder's inheritable
// entries.
bool RecordPermissions(const char* path, FilePermissions& permissions) {
  DWORD size = 0;
  GetFileSecurityA(path, DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  if (size == 0) return false;
  permissions.descriptor.resize(size);
  return GetFileSecurityA(path, DACL_SECURITY_INFORMATION, permissions.descriptor.data(), size, &size) != 0;
}

// The recorded DACL, as it was, entries once inherited included: the low
// level call takes them as they are rather than computing the folder's
// entries anew.
bool GiveRecordedPermissions(const File& file, const FilePermissions& permissions) {
  auto* descriptor = const_cast<uint8_t*>(permissions.descriptor.data());
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) return false;
  const SECURITY_INFORMATION protection =
      control & SE_DACL_PROTECTED ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
  return SetKernelObjectSecurity(file.get(), DACL_SECURITY_INFORMATION | protection, descriptor) != 0;
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

// A process number that no process has any more: OpenProcess refuses a
// number nobody has with ERROR_INVALID_PARAMETER, and a process that has
// exited may still be held open by another. A process of another user that
// cannot be opened runs.
bool ProcessEnded(uint32_t pid) {
  const KernelObject process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

struct SearchTraits {
  using Handle = HANDLE;
  static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { FindClose(h); }
};

// Calls found with the names in path's folder that may be temporary files
// of path: path's own name, a dot, anything, ".tmp".
template <typename Found>
void ForEachTempCandidate(const char* path, Found found) {
  WIN32_FIND_DATAA entry;
  const Owned<SearchTraits> search(FindFirstFileA((std::string(path) + ".*.tmp").c_str(), &entry));
  if (!search) return;
  do {
    found(entry.cFileName);
  } while (FindNextFileA(search.get(), &entry));
}

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

// Where the file's own name starts in path, after its folder.
size_t NameStart(const std::string& path) {
  const size_t end = path.find_last_of('/');
  return end == std::string::npos ? 0 : end + 1;
}

File OpenForReading(const char* path) { return File(open(path, O_RDONLY | O_CLOEXEC)); }

bool NoFileThere() { return errno == ENOENT; }

// The absolute name of an existing file with every symbolic link followed,
// or false with the system's error.
bool ExistingFinalPath(const std::string& path, std::string& final) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return false;
  final = real;
  std::free(real);
  return true;
}

// Where a link that names no file yet points, relative to its own folder,
// into target; false when path is no link.
bool FollowLink(std::string& target) {
  char link[PATH_MAX];
  const ssize_t length = readlink(target.c_str(), link, sizeof link - 1);
  if (length < 0) return false;
  const std::string to(link, static_cast<size_t>(length));
  target = to[0] == '/' ? to : target.substr(0, NameStart(target)) + to;
  return true;
}

constexpr char kSeparator = '/';

// A private file is its owner's from its first byte on, whatever the umask;
// so is one that gets recorded permissions, until it gets them.
File CreateTemp(const std::string& temp, FileAccess access) {
  const mode_t mode = access == FileAccess::kDefault ? 0666 : 0600;  // 0666 less the umask
  return File(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
}

bool RecordPermissions(const char* path, FilePermissions& permissions) {
  struct stat st;
  if (stat(path, &st) != 0) return false;
  permissions.mode = st.st_mode & 07777;
  return true;
}

// fchmod, unlike open, ignores the umask: the bits come back exactly.
bool GiveRecordedPermissions(const File& file, const FilePermissions& permissions) {
  return fchmod(file.get(), static_cast<mode_t>(permissions.mode)) == 0;
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
  const std::string file(path);
  const size_t start = NameStart(file);
  const std::string folder = start == 0 ? "." : start == 1 ? "/" : file.substr(0, start - 1);
  const File dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) fsync(dir.get());
}

bool ReplaceWith(const std::string& temp, const char* path) {
  if (rename(temp.c_str(), path) != 0) return false;
  SyncFolder(path);
  return true;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

// A process number that no process has any more. A number beyond pid_t is
// nobody's, but kill would take it for a group or for every process: such a
// name was not made here and stays.
bool ProcessEnded(uint32_t pid) {
  if (pid > static_cast<uint32_t>(std::numeric_limits<pid_t>::max())) return false;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

struct FolderTraits {
  using Handle = DIR*;
  static DIR* Empty() { return nullptr; }
  static void Close(DIR* dir) { closedir(dir); }
};

// Calls found with every name in path's folder.
template <typename Found>
void ForEachTempCandidate(const char* path, Found found) {
  const std::string file(path);
  const size_t start = NameStart(file);
  const Owned<FolderTraits> folder(opendir(start == 0 ? "." : file.substr(0, start).c_str()));
  if (!folder) return;
  while (const dirent* entry = readdir(folder.get())) found(entry->d_name);
}

#endif

// How many symbolic links a path may pass through, as the systems allow.
constexpr int kMaxLinks = 40;

// The file that a write of path is to replace, by its final name: a key
// file reached through a symbolic link (or, on Windows, a junction or a
// mount point) is replaced where it is, and the link stays a link, instead
// of being replaced by a file of its own while the file it named stays as it
// was. A file that does not exist yet is named by its folder's final name
// and its own; natively, a link that names no file yet leads to where that
// file is to be. False, with the system's error, when no folder is there.
bool FinalPath(const char* path, std::string& final) {
  std::string target(path);
  if (ExistingFinalPath(target, final)) return true;
  if (!NoFileThere()) return false;
#ifndef _WIN32
  for (int links = 0; FollowLink(target); ++links) {
    if (links == kMaxLinks) {
      SetSystemError(ELOOP);
      return false;
    }
    if (ExistingFinalPath(target, final)) return true;
    if (!NoFileThere()) return false;
  }
#endif
  const size_t start = NameStart(target);
  if (!ExistingFinalPath(target.substr(0, start) + ".", final)) return false;
  if (final.back() != kSeparator) final += kSeparator;
  final += target.substr(start);
  return true;
}

// Temporary files are named after the target, the process and a counter, so
// that two programs writing the same key file at once never share one; the
// final rename decides which complete file wins.
std::string TempPath(const char* path, int attempt) {
  return std::string(path) + "." + std::to_string(ProcessId()) + "-" + std::to_string(attempt) + ".tmp";
}

constexpr int kTempAttempts = 100;

// Reads the number at text + *at as TempPath writes one: decimal digits
// without a leading zero, at most limit. False for anything else.
bool ReadNumber(const char* text, size_t* at, uint64_t limit, uint64_t* value) {
  size_t i = *at;
  uint64_t number = 0;
  for (; text[i] >= '0' && text[i] <= '9'; ++i) {
    if (i > *at && number == 0) return false;
    number = number * 10 + static_cast<uint64_t>(text[i] - '0');
    if (number > limit) return false;
  }
  if (i == *at) return false;
  *at = i;
  *value = number;
  return true;
}

// The process number in name when it is a name that TempPath makes for the
// file called base, exactly; 0 for every other name.
uint32_t TempFileProcess(const char* name, const std::string& base) {
  if (std::strncmp(name, base.c_str(), base.size()) != 0 || name[base.size()] != '.') return 0;
  size_t at = base.size() + 1;
  uint64_t pid = 0, attempt = 0;
  if (!ReadNumber(name, &at, std::numeric_limits<uint32_t>::max(), &pid) || name[at] != '-') return 0;
  ++at;
  if (!ReadNumber(name, &at, kTempAttempts - 1, &attempt) || std::strcmp(name + at, ".tmp") != 0) return 0;
  return static_cast<uint32_t>(pid);
}

// A write killed half-way cannot remove its temporary file, which may hold a
// secret key. The next write of the same file removes it once its process
// has ended. A process number taken again by a new process makes such a file
// look alive: it then stays, which is safe.
void RemoveStaleTemps(const char* path) {
  const std::string base = std::string(path).substr(NameStart(path));
  if (base.empty()) return;
  ForEachTempCandidate(path, [&](const char* name) {
    const uint32_t pid = TempFileProcess(name, base);
    if (pid != 0 && ProcessEnded(pid)) RemoveFile(std::string(path) + (name + base.size()));
  });
}

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

int ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  const File file = OpenForReading(path);
  if (!file) return 0;
  std::vector<uint8_t> data;
  constexpr int kChunk = 1 << 16;
  int total = 0;
  for (;;) {
    if (total > kMaxWholeFileBytes - kChunk) {
#ifdef _WIN32
      SetSystemError(ERROR_FILE_TOO_LARGE);
#else
      SetSystemError(EFBIG);
#endif
      return 0;
    }
    data.resize(static_cast<size_t>(total) + kChunk);
    const int got = ReadSome(file, data.data() + total, kChunk);
    if (got < 0) return 0;
    if (got == 0) break;
    total += got;
  }
  data.resize(static_cast<size_t>(total));
  bytes.swap(data);
  return 1;
}

FilePermissions ReadFilePermissions(const char* path) {
  FilePermissions permissions;
  permissions.access = RecordPermissions(path, permissions) ? FileAccess::kRecorded : FileAccess::kOwnerOnly;
  return permissions;
}

int WriteFileAtomic(const char* requested, const uint8_t* data, int size, const FilePermissions& permissions) {
  std::string final;
  if (!FinalPath(requested, final)) return 0;
  const char* path = final.c_str();
  RemoveStaleTemps(path);
  std::string temp;
  File file;
  for (int attempt = 0; !file && attempt < kTempAttempts; ++attempt) {
    temp = TempPath(path, attempt);
    if (!Injected(FileStep::kOpen)) file = CreateTemp(temp, permissions.access);
    if (!file && !NameTaken()) return 0;
  }
  if (!file) return 0;
  const bool permitted = permissions.access != FileAccess::kRecorded ||
                         (!Injected(FileStep::kPermissions) && GiveRecordedPermissions(file, permissions));
  const bool written = permitted && WriteAll(file, data, size) && !Injected(FileStep::kFlush) &&
                       FlushToDisk(file) && CloseNow(file) && !Injected(FileStep::kClose) &&
                       !Injected(FileStep::kReplace) && ReplaceWith(temp, path);
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
