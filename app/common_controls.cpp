#include "app/common_controls.h"

#include <windows.h>
#include <shlwapi.h>

#include "win/handles.h"

static_assert(sizeof(DLLVERSIONINFO) == 20);

bool GetCommonControlsVersion(unsigned* major, unsigned* minor) {
  LibraryHandle library(LoadLibraryA("comctl32.dll"));
  if (!library) return false;
  const auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "DllGetVersion")));
  if (!getVersion) {
    *major = 4;
    *minor = 0;
    return true;
  }
  DLLVERSIONINFO info = {};
  info.cbSize = sizeof info;
  if (FAILED(getVersion(&info))) return false;
  *major = info.dwMajorVersion;
  *minor = info.dwMinorVersion;
  return true;
}

bool IsCommonControlsVersionSufficient(unsigned major, unsigned minor) {
  return major > 4 || (major == 4 && minor >= 70);
}
