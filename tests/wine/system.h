// What a test looks at after the program has acted: registry values under
// HKEY_CURRENT_USER, files, and a picture of the virtual display.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace driver {

// A string (REG_SZ or REG_EXPAND_SZ, unexpanded) or DWORD value of
// HKEY_CURRENT_USER\subkey; nothing when the key or value is missing or has
// another type.
std::optional<std::string> ReadRegString(const char* subkey, const char* value);
std::optional<uint32_t> ReadRegDword(const char* subkey, const char* value);
bool RegKeyExists(const char* subkey);

// Stores text as the REG_SZ value of HKEY_CURRENT_USER\subkey, creating the
// key if need be. True when it was stored.
bool WriteRegString(const char* subkey, const char* value, const std::string& text);
bool WriteRegDword(const char* subkey, const char* value, uint32_t number);

// Deletes HKEY_CURRENT_USER\subkey with everything below it, for a clean
// start. True when the key is gone afterwards (also when it never existed).
bool DeleteRegTree(const char* subkey);

// Size of the file at path, nothing when there is no such file.
std::optional<uint64_t> FileSize(const std::string& path);
std::optional<std::string> ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& data);

// A new empty folder under the temporary folder, deleted with its contents at
// the end of the holder's scope. Its path ends without a backslash.
class TempFolder {
 public:
  explicit TempFolder(const char* label);
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder();

  const std::string& path() const { return path_; }
  // path() + "\" + name.
  std::string File(const char* name) const;

 private:
  std::string path_;
};

// Saves a PNG picture of the whole display to pngPath (a Windows path), by
// running ImageMagick's import on the Unix side of Wine. False when there is
// no display, no import, or no picture after timeoutMs.
bool TakeScreenshot(const std::string& pngPath, uint32_t timeoutMs = 20000);

}  // namespace driver
