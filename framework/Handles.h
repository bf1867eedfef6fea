#pragma once
// Move-only owners for Win32 handles, and "put it back" guards for device contexts.
#include <windows.h>
#include <winsock2.h>

#include <atomic>
#include <utility>

namespace fw {

// Live GDI objects created through the owners below; GetGuiResources is not available everywhere,
// so tests check this count for leaks.
std::atomic<long>& LiveGdiObjectCount();

// The "no handle" value of an owner: T{} (null) unless a policy says otherwise.
template <typename T>
struct NullIsInvalid {
  static T value() { return T{}; }
};
struct InvalidHandleValueIsInvalid {
  static HANDLE value() { return INVALID_HANDLE_VALUE; }
};
struct InvalidSocketIsInvalid {
  static SOCKET value() { return INVALID_SOCKET; }
};

template <typename T, auto Close, typename InvalidPolicy = NullIsInvalid<T>, bool Counted = false>
class UniqueAny {
  static T Invalid() { return InvalidPolicy::value(); }

 public:
  UniqueAny() = default;
  explicit UniqueAny(T value) : value_(value) { Track(); }
  ~UniqueAny() { reset(); }
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  // Moves hand the handle over without touching the live count: it stays one live object.
  UniqueAny(UniqueAny&& other) noexcept : value_(std::exchange(other.value_, Invalid())) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      reset();
      value_ = std::exchange(other.value_, Invalid());
    }
    return *this;
  }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Invalid(); }

  // Gives up ownership; the caller must close the handle.
  T release() {
    T v = value_;
    if (v != Invalid() && Counted) --LiveGdiObjectCount();
    value_ = Invalid();
    return v;
  }
  void reset(T value = Invalid()) {
    if (value_ != Invalid()) {
      if (Counted) --LiveGdiObjectCount();
      Close(value_);
    }
    value_ = value;
    Track();
  }
  // For out-parameters: closes what is held and hands out the slot to fill.
  // Not offered for counted GDI owners, whose count could not see the filled value.
  T* put() requires(!Counted) {
    reset();
    return &value_;
  }

 private:
  void Track() {
    if (value_ != Invalid() && Counted) ++LiveGdiObjectCount();
  }
  T value_ = Invalid();
};

namespace detail {
inline void CloseKernelHandle(HANDLE h) { ::CloseHandle(h); }
inline void DeleteGdi(HGDIOBJ h) { ::DeleteObject(h); }
inline void DeleteMemDC(HDC h) { ::DeleteDC(h); }
inline void CloseModule(HMODULE h) { ::FreeLibrary(h); }
inline void CloseSock(SOCKET s) { ::closesocket(s); }
inline void CloseKey(HKEY k) { ::RegCloseKey(k); }
inline void DestroyIconHandle(HICON h) { ::DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { ::DestroyMenu(h); }
inline void DestroyCursorHandle(HCURSOR h) { ::DestroyCursor(h); }
inline void CloseFind(HANDLE h) { ::FindClose(h); }
}  // namespace detail

using UniqueHandle = UniqueAny<HANDLE, detail::CloseKernelHandle>;
using UniqueFileHandle = UniqueAny<HANDLE, detail::CloseKernelHandle, InvalidHandleValueIsInvalid>;
using UniqueFindHandle = UniqueAny<HANDLE, detail::CloseFind, InvalidHandleValueIsInvalid>;
using UniqueBitmap = UniqueAny<HBITMAP, detail::DeleteGdi, NullIsInvalid<HBITMAP>, true>;
using UniqueFont = UniqueAny<HFONT, detail::DeleteGdi, NullIsInvalid<HFONT>, true>;
using UniqueBrush = UniqueAny<HBRUSH, detail::DeleteGdi, NullIsInvalid<HBRUSH>, true>;
using UniquePen = UniqueAny<HPEN, detail::DeleteGdi, NullIsInvalid<HPEN>, true>;
using UniqueRgn = UniqueAny<HRGN, detail::DeleteGdi, NullIsInvalid<HRGN>, true>;
using UniqueMemDC = UniqueAny<HDC, detail::DeleteMemDC, NullIsInvalid<HDC>, true>;
using UniqueModule = UniqueAny<HMODULE, detail::CloseModule>;
using UniqueSocket = UniqueAny<SOCKET, detail::CloseSock, InvalidSocketIsInvalid>;
using UniqueKey = UniqueAny<HKEY, detail::CloseKey>;
using UniqueIcon = UniqueAny<HICON, detail::DestroyIconHandle>;
using UniqueMenu = UniqueAny<HMENU, detail::DestroyMenuHandle>;
using UniqueCursor = UniqueAny<HCURSOR, detail::DestroyCursorHandle>;

// A window's DC from GetDC/GetWindowDC, released with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd, bool whole_window = false)
      : hwnd_(hwnd), dc_(whole_window ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// BeginPaint/EndPaint pair.
class PaintDC {
 public:
  explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
  ~PaintDC() { ::EndPaint(hwnd_, &ps_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  const PAINTSTRUCT& paint() const { return ps_; }

 private:
  HWND hwnd_;
  PAINTSTRUCT ps_{};
  HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class ScopedSelectObject {
 public:
  ScopedSelectObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(obj ? ::SelectObject(dc, obj) : nullptr) {}
  ~ScopedSelectObject() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  ScopedSelectObject(const ScopedSelectObject&) = delete;
  ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// Sets a stretch mode and puts the previous one back; halftone mode also sets the brush origin it needs and
// restores the previous origin.
class ScopedStretchBltMode {
 public:
  ScopedStretchBltMode(HDC dc, int mode) : dc_(dc), old_(::SetStretchBltMode(dc, mode)) {
    if (mode == HALFTONE) moved_origin_ = ::SetBrushOrgEx(dc, 0, 0, &origin_) != 0;
  }
  ~ScopedStretchBltMode() {
    if (old_) ::SetStretchBltMode(dc_, old_);
    if (moved_origin_) ::SetBrushOrgEx(dc_, origin_.x, origin_.y, nullptr);
  }
  ScopedStretchBltMode(const ScopedStretchBltMode&) = delete;
  ScopedStretchBltMode& operator=(const ScopedStretchBltMode&) = delete;

 private:
  HDC dc_;
  int old_;
  bool moved_origin_ = false;
  POINT origin_{};
};

class ScopedSaveDC {
 public:
  explicit ScopedSaveDC(HDC dc) : dc_(dc), state_(::SaveDC(dc)) {}
  ~ScopedSaveDC() {
    if (state_) ::RestoreDC(dc_, state_);
  }
  ScopedSaveDC(const ScopedSaveDC&) = delete;
  ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

 private:
  HDC dc_;
  int state_;
};

}  // namespace fw
