#include "base/file_io.h"

#include <cstring>
#include <limits>
#include <string>

#include "base/file_io_system.h"
#include "base/system_error.h"

using namespace file_io_system;

FileFaultHook FileFault = nullptr;

size_t file_io_system::NameStart(const std::string& path) {
  const size_t end = path.find_last_of(kSeparators);
  return end == std::string::npos ? 0 : end + 1;
}

// ReadFilePrefix, WriteFileAtomic and the removal of stale temporary files,
// written once over the calls that differ between the systems.
namespace {

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
  for (int links = 0; FollowLink(target); ++links) {
    if (links == kMaxLinks) {
      SetSystemError(kTooManyLinksError);
      return false;
    }
    if (ExistingFinalPath(target, final)) return true;
    if (!NoFileThere()) return false;
  }
  const size_t start = NameStart(target);
  if (!ExistingFinalPath(target.substr(0, start) + ".", final)) return false;
  if (final.back() != kSeparators[0]) final += kSeparators[0];
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
bool ReadFilePrefix(const char* path, uint8_t* buf, int capacity, int* size) {
  const File file = OpenForReading(path);
  if (!file) return false;
  int total = 0;
  while (total < capacity) {
    const int got = ReadSome(file, buf + total, capacity - total);
    if (got < 0) return false;
    if (got == 0) break;
    total += got;
  }
  *size = total;
  return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
  const File file = OpenForReading(path);
  if (!file) return false;
  std::vector<uint8_t> data;
  constexpr int kChunk = 1 << 16;
  int total = 0;
  for (;;) {
    if (total > kMaxWholeFileBytes - kChunk) {
      SetSystemError(kFileTooLargeError);
      return false;
    }
    data.resize(static_cast<size_t>(total) + kChunk);
    const int got = ReadSome(file, data.data() + total, kChunk);
    if (got < 0) return false;
    if (got == 0) break;
    total += got;
  }
  data.resize(static_cast<size_t>(total));
  bytes.swap(data);
  return true;
}

FilePermissions ReadFilePermissions(const char* path) {
  FilePermissions permissions;
  permissions.access = RecordPermissions(path, permissions) ? FileAccess::kRecorded : FileAccess::kOwnerOnly;
  return permissions;
}

bool WriteFileAtomic(const char* requested, const uint8_t* data, int size, const FilePermissions& permissions) {
  std::string final;
  if (!FinalPath(requested, final)) return false;
  const char* path = final.c_str();
  RemoveStaleTemps(path);
  std::string temp;
  File file;
  for (int attempt = 0; !file && attempt < kTempAttempts; ++attempt) {
    temp = TempPath(path, attempt);
    if (!Injected(FileStep::kOpen)) file = CreateTemp(temp, permissions.access);
    if (!file && !NameTaken()) return false;
  }
  if (!file) return false;
  const bool permitted = permissions.access != FileAccess::kRecorded ||
                         (!Injected(FileStep::kPermissions) && GiveRecordedPermissions(file, permissions));
  const bool written = permitted && WriteAll(file, data, size) && !Injected(FileStep::kFlush) &&
                       FlushToDisk(file) && CloseNow(file) && !Injected(FileStep::kClose) &&
                       !Injected(FileStep::kReplace) && ReplaceWith(temp, path);
  if (written) return true;
  // Closed first: a file still open without sharing cannot be deleted.
  KeepSystemError keep;
  file.reset();
  RemoveFile(temp);
  return false;
}
