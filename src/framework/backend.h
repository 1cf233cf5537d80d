// The display side of the platform layer. The window model talks to the
// screen, the pointer and the clock only through this interface; "headless"
// (tests) and "gtk" (the real desktop) implement it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "wintypes.h"

typedef struct _cairo_surface cairo_surface_t;

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;

  // Waits up to timeoutMs (-1: until something happens) for input and
  // feeds what arrived into the window model. Posted messages wake it.
  virtual void WaitForEvents(int timeoutMs) = 0;
  virtual void Wake() = 0;
  // Milliseconds of a monotonic clock (virtual in the headless backend).
  virtual uint64_t NowMs() = 0;

  // A modal message box; answers IDOK / IDCANCEL. It must return at once
  // when a quit request is pending (see QuitPending()).
  virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;

  virtual SIZE ScreenSize() = 0;

  // Top-level window life; the backend keeps whatever it needs per window.
  virtual void TopLevelCreated(HWND) {}
  virtual void TopLevelDestroyed(HWND) {}
  // Visibility, iconic state, position, size, title or icon changed.
  virtual void TopLevelStateChanged(HWND) {}
  // New pixels to show: the window's surface as presented (ARGB32,
  // premultiplied, key colour already made transparent).
  virtual void TopLevelContentChanged(HWND) {}
  // A native child widget of the window was attached, moved, shown or
  // hidden (see NativeChildrenOf).
  virtual void NativeChildrenChanged(HWND) {}
  // Stacking order among top-levels changed.
  virtual void StackingChanged() {}
  // Pointer shape for the window under the pointer (a system cursor id).
  virtual void SetCursorShape(HWND, uintptr_t /*cursorId*/) {}
};

// The backend in use. Set once at start-up (or by a test).
Backend* CurrentBackend();
void SetBackend(std::unique_ptr<Backend> backend);
