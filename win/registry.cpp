#include "win/registry.h"

#include <string>

#include "win/handles.h"
#include "win/report_error.h"

static RegKey OpenKey(HKEY root, const char* subkey, bool create) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) return RegKey(key);
  if (!create) return RegKey();
  const LONG status = RegCreateKeyExA(root, subkey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    // The registry functions return their error instead of setting it.
    SetLastError(static_cast<DWORD>(status));
    ReportError(nullptr, false);
    return RegKey();
  }
  return RegKey(key);
}

int RegReadString(HKEY root, const char* subkey, const char* name, char* buf, DWORD size, bool create) {
  if (size == 0) return 0;
  RegKey key = OpenKey(root, subkey, create);
  if (!key) return 0;
  DWORD bytes = size - 1;
  if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &bytes) != ERROR_SUCCESS) {
    buf[0] = '\0';
    return 0;
  }
  buf[bytes < size ? bytes : size - 1] = '\0';
  return 1;
}

int RegWriteString(HKEY root, const char* subkey, const char* name, const char* text, DWORD length, bool create) {
  RegKey key = OpenKey(root, subkey, create);
  if (!key) return 0;
  // Stored with its terminator, so that no reader depends on its own padding.
  const std::string value(text, length);
  return RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), length + 1) ==
         ERROR_SUCCESS;
}

int RegReadDword(HKEY root, const char* subkey, const char* name, DWORD* value, bool create) {
  RegKey key = OpenKey(root, subkey, create);
  if (!key) return 0;
  DWORD bytes = sizeof *value;
  return RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) ==
         ERROR_SUCCESS;
}

int RegWriteDword(HKEY root, const char* subkey, const char* name, DWORD value, bool create) {
  RegKey key = OpenKey(root, subkey, create);
  if (!key) return 0;
  return RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
}

int RegDeleteValueAt(HKEY root, const char* subkey, const char* name) {
  RegKey key = OpenKey(root, subkey, false);
  if (!key) return 1;
  const LONG status = RegDeleteValueA(key.get(), name);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

int RegDeleteKeyTree(HKEY root, const char* subkey) {
  const LONG status = RegDeleteTreeA(root, subkey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
