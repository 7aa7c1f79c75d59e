// The file layer's system calls on POSIX systems (base/file_io_system.h).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/file_io_system.h"
#include "base/system_error.h"

namespace file_io_system {

int NoFile() { return -1; }

void CloseFile(int fd) {
  KeepSystemError keep;
  close(fd);
}

const int kTooManyLinksError = ELOOP;
const int kFileTooLargeError = EFBIG;
const char kSeparators[] = "/";

void SetSystemError(int error) { errno = error; }
uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

File OpenForReading(const char* path) { return File(open(path, O_RDONLY | O_CLOEXEC)); }

bool NoFileThere() { return errno == ENOENT; }

// realpath gives the absolute name.
bool ExistingFinalPath(const std::string& path, std::string& final) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return false;
  final = real;
  std::free(real);
  return true;
}

bool FollowLink(std::string& target) {
  char link[PATH_MAX];
  const ssize_t length = readlink(target.c_str(), link, sizeof link - 1);
  if (length < 0) return false;
  const std::string to(link, static_cast<size_t>(length));
  target = to[0] == '/' ? to : target.substr(0, NameStart(target)) + to;
  return true;
}

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

int ReadSome(const File& file, uint8_t* buf, int n) {
  ssize_t got;
  do {
    got = read(file.get(), buf, static_cast<size_t>(n));
  } while (got < 0 && errno == EINTR);
  return static_cast<int>(got);
}

int WriteSome(const File& file, const uint8_t* data, int n) {
  ssize_t put;
  do {
    put = write(file.get(), data, static_cast<size_t>(n));
  } while (put < 0 && errno == EINTR);
  return static_cast<int>(put);
}

bool FlushToDisk(const File& file) { return fsync(file.get()) == 0; }

// A close that fails may be the first report of a failed write (NFS,
// quotas).
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

// A number beyond pid_t is nobody's, but kill would take it for a group or for every process: such a
// name was not made here and stays.
bool ProcessEnded(uint32_t pid) {
  if (pid > static_cast<uint32_t>(std::numeric_limits<pid_t>::max())) return false;
  return kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// Every name in path's folder.
void ForEachTempCandidate(const char* path, const std::function<void(const char* name)>& found) {
  const std::string file(path);
  const size_t start = NameStart(file);
  const Owned<NullIsEmpty<DIR*, closedir>> folder(opendir(start == 0 ? "." : file.substr(0, start).c_str()));
  if (!folder) return;
  while (const dirent* entry = readdir(folder.get())) found(entry->d_name);
}

}  // namespace file_io_system

bool PathExists(const char* path) {
  struct stat st;
  return stat(path, &st) == 0;
}
