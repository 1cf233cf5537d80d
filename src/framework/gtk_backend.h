// The desktop backend: each top-level window of the window model is a GTK
// window on X11 that shows the window's presented surface, shaped by its
// alpha, and feeds pointer, key and window-manager events back into the
// model. This header names no toolkit type, so program code may include it.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "backend.h"

struct GtkTopLevel;

class GtkBackend : public Backend {
 public:
  GtkBackend();
  ~GtkBackend() override;
  // Starts GTK on X11 in device pixels and makes a new gtk backend current.
  // Answers null, installing nothing, when no display can be opened.
  static GtkBackend* Install();

  const char* Name() const override { return "gtk"; }
  void WaitForEvents(int timeoutMs) override;
  void Wake() override;
  uint64_t NowMs() override;
  int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override;
  SIZE ScreenSize() override;

  void TopLevelCreated(HWND hwnd) override;
  void TopLevelDestroyed(HWND hwnd) override;
  void TopLevelStateChanged(HWND hwnd) override;
  void TopLevelContentChanged(HWND hwnd) override;
  void NativeChildrenChanged(HWND hwnd) override;
  void StackingChanged() override;
  void SetCursorShape(HWND hwnd, uintptr_t cursorId) override;

  // The toolkit window standing for a top-level (a GtkWindow*), or null.
  void* ToolkitWindowOf(HWND hwnd) const;
  // Re-applies every window's shapes (the compositing manager came or went).
  void RefreshAllShapes();

 private:
  GtkTopLevel* Find(HWND hwnd) const;
  // The nearest window with a toolkit window, walking up from hwnd.
  GtkTopLevel* FindForOwner(HWND hwnd) const;
  void ApplyShapes(GtkTopLevel* top);
  void ApplyStacking();
  void ApplyCursor(GtkTopLevel* top, uintptr_t cursorId);

  std::map<HWND, std::unique_ptr<GtkTopLevel>> m_windows;
  std::vector<HWND> m_appliedStacking;
};
