#pragma once

// Owners for Win32 handles, in the manner of WIL (which our mingw cannot
// build): every handle is given back exactly once, on every path.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <utility>

namespace parvel::win {

// Owns one handle and gives it back with Close; move-only.
template <typename Handle, auto Close>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }

  // Hands the handle to a new owner (the clipboard, an OLE picture).
  Handle release() noexcept { return std::exchange(handle_, nullptr); }

  void reset(Handle handle = nullptr) noexcept {
    if (handle_ != nullptr) Close(handle_);
    handle_ = handle;
  }

  // For an out parameter (RegOpenKeyEx): whatever was held is given back first.
  Handle* put() noexcept {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = nullptr;
};

// One line per kind of handle the add-in owns.
using UniqueDc = UniqueHandle<HDC, &::DeleteDC>;  // from CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HBITMAP, &::DeleteObject>;
using UniquePalette = UniqueHandle<HPALETTE, &::DeleteObject>;
using UniqueFont = UniqueHandle<HFONT, &::DeleteObject>;
using UniqueGlobal = UniqueHandle<HGLOBAL, &::GlobalFree>;
using UniqueImageList = UniqueHandle<HIMAGELIST, &::ImageList_Destroy>;
using UniqueHkey = UniqueHandle<HKEY, &::RegCloseKey>;
using UniqueHook = UniqueHandle<HHOOK, &::UnhookWindowsHookEx>;
using UniqueWindow = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueEnhMetafile = UniqueHandle<HENHMETAFILE, &::DeleteEnhMetaFile>;
// A kernel object; CreateFileW's INVALID_HANDLE_VALUE never goes in (see
// OpenedFile).
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;

// CreateFileW's result as an owner: empty when the file could not be opened.
inline UniqueKernelHandle OpenedFile(HANDLE file) noexcept {
  return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// A device context of a window (or of the screen, for no window), from
// GetDC; released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }

  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context; the previous one is selected
// back when this ends, so that the object can be deleted or used elsewhere.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {
    // HGDI_ERROR, spelt out: the header's macro does not pass our warnings.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): SelectObject's error value.
    if (previous_ == reinterpret_cast<HGDIOBJ>(LONG_PTR{-1})) previous_ = nullptr;
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr) ::SelectObject(dc_, previous_);
  }

  // False when the object could not be selected.
  explicit operator bool() const noexcept { return previous_ != nullptr; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A palette selected into a device context (none when palette is null); the
// previous one comes back when this ends.
class SelectedPalette {
 public:
  SelectedPalette(HDC dc, HPALETTE palette, bool background) noexcept
      : dc_(dc),
        previous_(palette == nullptr ? nullptr : ::SelectPalette(dc, palette, background)),
        background_(background) {}
  SelectedPalette(const SelectedPalette&) = delete;
  SelectedPalette& operator=(const SelectedPalette&) = delete;
  ~SelectedPalette() {
    if (previous_ != nullptr) ::SelectPalette(dc_, previous_, background_);
  }

 private:
  HDC dc_;
  HPALETTE previous_;
  BOOL background_;
};

// The clipboard, opened for this thread (with owner as its owner window, or
// none) and closed when this ends. Other programs hold the clipboard open
// for a moment now and then (clipboard viewers, Wine's bridge to the X
// selection): a caller may try a few times, pausing between tries.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner, int attempts = 1, DWORD pause_ms = 0) noexcept
      : open_(::OpenClipboard(owner) != FALSE) {
    for (int attempt = 1; !open_ && attempt < attempts; ++attempt) {
      ::Sleep(pause_ms);
      open_ = ::OpenClipboard(owner) != FALSE;
    }
  }
  // Tries again while may_retry() says so (it may pause first).
  template <typename Retry>
  OpenedClipboard(HWND owner, Retry may_retry) : open_(::OpenClipboard(owner) != FALSE) {
    while (!open_ && may_retry()) open_ = ::OpenClipboard(owner) != FALSE;
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) ::CloseClipboard();
  }

  // False when another window holds the clipboard open.
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_;
};

// A global memory block locked for access, unlocked when this ends. The
// block itself stays with its owner.
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL block) noexcept : block_(block), data_(::GlobalLock(block)) {}
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  ~LockedGlobal() {
    if (data_ != nullptr) ::GlobalUnlock(block_);
  }

  void* data() const noexcept { return data_; }
  explicit operator bool() const noexcept { return data_ != nullptr; }

 private:
  HGLOBAL block_;
  void* data_;
};

}  // namespace parvel::win
