// The owners of the Win32 handles the program frees (base/owned.h): never
// used for handles that must not be freed (LoadIcon/LoadCursor results, stock
// objects, the DC of a DRAWITEMSTRUCT).
#pragma once

#include <windows.h>

#include "base/owned.h"

using KernelHandle = Owned<NullIsEmpty<HANDLE, CloseHandle>>;
using RegKey = Owned<NullIsEmpty<HKEY, RegCloseKey>>;
using MenuHandle = Owned<NullIsEmpty<HMENU, DestroyMenu>>;
using MemoryDC = Owned<NullIsEmpty<HDC, DeleteDC>>;
using BitmapHandle = Owned<NullIsEmpty<HBITMAP, DeleteObject>>;
using BrushHandle = Owned<NullIsEmpty<HBRUSH, DeleteObject>>;
using FontHandle = Owned<NullIsEmpty<HFONT, DeleteObject>>;
using LibraryHandle = Owned<NullIsEmpty<HMODULE, FreeLibrary>>;

// A file search: empty is INVALID_HANDLE_VALUE, and FindClose ends it.
inline HANDLE InvalidHandle() { return INVALID_HANDLE_VALUE; }
using FindHandle = Owned<EmptyIs<HANDLE, InvalidHandle, FindClose>>;

// The DC of a window, given back with ReleaseDC, which needs the window too:
// more than Owned's one-handle traits can say.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back at scope end,
// so that the object can be deleted afterwards.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() { SelectObject(dc_, old_); }

 private:
  HDC dc_;
  HGDIOBJ old_;
};
