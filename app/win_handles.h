// One small owner per kind of Win32 handle: movable, not copyable, and never
// used for handles that must not be freed (LoadIcon/LoadCursor results, stock
// objects, the DC of a DRAWITEMSTRUCT).
#pragma once

#include <windows.h>

template <typename H, auto Close>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  Owned(Owned&& other) noexcept : h_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H release() {
    H h = h_;
    h_ = nullptr;
    return h;
  }
  void reset(H h = nullptr) {
    if (h_) Close(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

using KernelHandle = Owned<HANDLE, CloseHandle>;
using RegKey = Owned<HKEY, RegCloseKey>;
using MenuHandle = Owned<HMENU, DestroyMenu>;
using MemoryDC = Owned<HDC, DeleteDC>;
using BitmapHandle = Owned<HBITMAP, DeleteObject>;
using BrushHandle = Owned<HBRUSH, DeleteObject>;
using FontHandle = Owned<HFONT, DeleteObject>;
using LibraryHandle = Owned<HMODULE, FreeLibrary>;

// The DC of a window, given back with ReleaseDC.
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
