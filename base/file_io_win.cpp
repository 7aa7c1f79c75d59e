// The file layer's system calls on Windows (base/file_io_system.h).
#include <windows.h>
#include <sddl.h>

#include <vector>

#include "base/file_io_system.h"
#include "base/system_error.h"

namespace file_io_system {

const int kTooManyLinksError = ERROR_CANT_RESOLVE_FILENAME;
const int kFileTooLargeError = ERROR_FILE_TOO_LARGE;
// A drive's colon ends its folder part too ("C:name").
const char kSeparators[] = "\\/:";

void SetSystemError(int error) { SetLastError(static_cast<DWORD>(error)); }
uint32_t ProcessId() { return GetCurrentProcessId(); }

HANDLE NoFile() { return INVALID_HANDLE_VALUE; }

void CloseFile(HANDLE h) {
  KeepSystemError keep;
  CloseHandle(h);
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

bool ExistingFinalPath(const std::string& path, std::string& final) {
  const File file = OpenToName(path);
  return file && FinalName(file, final);
}

// Opening a name already follows its symbolic links, junctions and mount
// points; one that names no file yet leads nowhere.
bool FollowLink(std::string&) { return false; }

// Frees keeping the last error, like CloseFile.
template <typename H, auto Free>
void FreeKeepingError(H h) {
  KeepSystemError keep;
  Free(h);
}
using KernelObject = Owned<NullIsEmpty<HANDLE, FreeKeepingError<HANDLE, CloseHandle>>>;
using LocalMemory = Owned<NullIsEmpty<void*, FreeKeepingError<void*, LocalFree>>>;

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

int ReadSome(const File& file, uint8_t* buf, int n) {
  DWORD got = 0;
  return ReadFile(file.get(), buf, static_cast<DWORD>(n), &got, nullptr) ? static_cast<int>(got) : -1;
}

int WriteSome(const File& file, const uint8_t* data, int n) {
  DWORD put = 0;
  return WriteFile(file.get(), data, static_cast<DWORD>(n), &put, nullptr) ? static_cast<int>(put) : -1;
}

bool FlushToDisk(const File& file) { return FlushFileBuffers(file.get()) != 0; }

bool CloseNow(File& file) { return CloseHandle(file.release()) != 0; }

bool ReplaceWith(const std::string& temp, const char* path) {
  return MoveFileExA(temp.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void RemoveFile(const std::string& path) { DeleteFileA(path.c_str()); }

// OpenProcess refuses a number nobody has with ERROR_INVALID_PARAMETER, and a process that has
// exited may still be held open by another. A process of another user that
// cannot be opened runs.
bool ProcessEnded(uint32_t pid) {
  const KernelObject process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!process) return GetLastError() == ERROR_INVALID_PARAMETER;
  return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0;
}

// path's own name, a dot, anything, ".tmp".
void ForEachTempCandidate(const char* path, const std::function<void(const char* name)>& found) {
  WIN32_FIND_DATAA entry;
  using Search = Owned<EmptyIs<HANDLE, NoFile, FindClose>>;  // a failed one is INVALID_HANDLE_VALUE too
  const Search search(FindFirstFileA((std::string(path) + ".*.tmp").c_str(), &entry));
  if (!search) return;
  do {
    found(entry.cFileName);
  } while (FindNextFileA(search.get(), &entry));
}

}  // namespace file_io_system

bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }
