#include "tests/wine/system.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "tests/wine/process.h"

namespace driver {
namespace {

// Reads value into buf; the type in *type. False when it cannot be read.
bool QueryValue(const char* subkey, const char* value, DWORD* type, std::vector<BYTE>* buf) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, value, nullptr, type, nullptr, &size);
  if (rc == ERROR_SUCCESS) {
    buf->resize(size);
    rc = RegQueryValueExA(key, value, nullptr, type, buf->data(), &size);
    buf->resize(size);
  }
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

void DeleteFolderTree(const std::string& folder) {
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteFolderTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// The Unix path of a Windows path, through Wine's own export; "" outside Wine.
std::string UnixPath(const std::string& windowsPath) {
  using ToUnix = char*(CDECL*)(const WCHAR*);
  auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  WCHAR wide[MAX_PATH];
  if (toUnix == nullptr ||
      MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH) == 0) {
    return "";
  }
  char* unixPath = toUnix(wide);
  if (unixPath == nullptr) return "";
  std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

constexpr char kImport[] = "Z:\\usr\\bin\\import";  // ImageMagick

}  // namespace

std::optional<std::string> ReadRegString(const char* subkey, const char* value) {
  DWORD type = 0;
  std::vector<BYTE> buf;
  if (!QueryValue(subkey, value, &type, &buf) || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::string text(buf.begin(), buf.end());
  // The stored size may or may not count the terminating NUL.
  return text.substr(0, text.find('\0'));
}

std::optional<uint32_t> ReadRegDword(const char* subkey, const char* value) {
  DWORD type = 0;
  std::vector<BYTE> buf;
  if (!QueryValue(subkey, value, &type, &buf) || type != REG_DWORD || buf.size() != 4) {
    return std::nullopt;
  }
  return static_cast<uint32_t>(buf[0] | buf[1] << 8 | buf[2] << 16 | static_cast<uint32_t>(buf[3]) << 24);
}

namespace {

bool SetValue(const char* subkey, const char* value, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExA(key, value, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

bool WriteRegString(const char* subkey, const char* value, const std::string& text) {
  return SetValue(subkey, value, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool WriteRegDword(const char* subkey, const char* value, uint32_t number) {
  const DWORD data = number;
  return SetValue(subkey, value, REG_DWORD, &data, sizeof data);
}

bool RegKeyExists(const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool DeleteRegTree(const char* subkey) {
  RegDeleteTreeA(HKEY_CURRENT_USER, subkey);
  return !RegKeyExists(subkey);
}

std::optional<uint64_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  return static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in.rdbuf();
  return data.str();
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out.flush());
}

TempFolder::TempFolder(const char* label) {
  static int serial = 0;
  char temp[MAX_PATH];
  const DWORD n = GetTempPathA(MAX_PATH, temp);
  std::string base(temp, n);
  if (!base.empty() && base.back() == '\\') base.pop_back();
  path_ = base + "\\vwg-" + label + "-" + std::to_string(GetCurrentProcessId()) + "-" +
          std::to_string(++serial);
  DeleteFolderTree(path_);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { DeleteFolderTree(path_); }

std::string TempFolder::File(const char* name) const { return path_ + "\\" + name; }

bool TakeScreenshot(const std::string& pngPath, uint32_t timeoutMs) {
  char display[64];
  const DWORD n = GetEnvironmentVariableA("DISPLAY", display, sizeof display);
  const std::string target = UnixPath(pngPath);
  if (n == 0 || n >= sizeof display || target.empty() ||
      target.find_first_of("'\"") != std::string::npos ||
      GetFileAttributesA(kImport) == INVALID_FILE_ATTRIBUTES) {
    return false;
  }
  DeleteFileA(pngPath.c_str());
  // Wine starts a Unix program named by its Z: path like a Windows one, but
  // what CreateProcess then reports is no use: it may fail with a started
  // program, and its handle can be neither waited for nor asked for an exit
  // code. So the picture is written under another name and moved into place
  // at the end: once the file exists, it is complete.
  const std::string part = target + ".part.png";
  const std::string script = std::string("import -display ") + display + " -window root '" +
                             part + "' && mv '" + part + "' '" + target + "'";
  StartProgram("Z:\\bin\\sh", "-c \"" + script + "\"");
  const auto size = PollUntil(timeoutMs, [&] { return FileSize(pngPath); });
  return size && *size > 0;
}

}  // namespace driver
