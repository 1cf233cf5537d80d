// The window model's own state, shared by the files that implement it.
// Nothing outside src/framework includes this.
#pragma once

#include <string>
#include <vector>

#include "gdi.h"
#include "window.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _GtkWidget GtkWidget;

#include <functional>

struct WindowState {
  HWND hwnd = nullptr;
  CWnd* object = nullptr;
  bool frameworkObject = false;  // the object was made for the window and dies with it
  std::wstring className;
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT id = 0;
  HWND parent = nullptr;  // child windows only
  HWND owner = nullptr;   // top-level windows only
  std::vector<HWND> children;  // front (top of the z-order) first
  RECT rect{0, 0, 0, 0};       // screen pixels (top-level) or parent client pixels (child)
  bool iconic = false;
  bool hiddenWithOwner = false;
  HFONT font = nullptr;
  HICON bigIcon = nullptr;
  HICON smallIcon = nullptr;
  bool needsPaint = true;
  bool needsErase = true;
  bool painting = false;
  // Layered windows.
  bool layeredAttributes = false;  // SetLayeredWindowAttributes received
  COLORREF colorKey = 0;
  BYTE constantAlpha = 255;
  DWORD layeredFlags = 0;
  cairo_surface_t* layeredPicture = nullptr;  // UpdateLayeredWindow content
  // Top-level surfaces.
  cairo_surface_t* backing = nullptr;    // what the windows painted
  cairo_surface_t* presented = nullptr;  // what the screen shows
  bool presentDirty = true;
  // Push-button state.
  bool pushed = false;
  GtkWidget* nativeWidget = nullptr;
  std::vector<std::function<void()>> destroyHooks;
};

WindowState* StateOf(HWND hWnd);
HWND TopLevelOf(HWND hWnd);
bool IsTopLevel(const WindowState* s);
// The window's top-left corner in screen pixels and within its top-level.
POINT ScreenOrigin(HWND hWnd);
POINT OriginInTopLevel(HWND hWnd);
// The part of the top-level (in its pixels) where the window may draw:
// its rectangle clipped by its ancestors.
RECT VisibleRectInTopLevel(HWND hWnd);
// The window's backing surface, made to its size when missing.
cairo_surface_t* BackingSurface(HWND topLevel);
void MarkPresentDirty(HWND topLevel);
// Paints every window that needs it and presents the top-levels that
// changed; answers whether anything was done.
bool UpdateAllWindows();
// The top-level stack, bottom first.
std::vector<HWND>& TopLevelStack();
void RaiseTopLevel(HWND hWnd);
bool IsDialogClass(const WindowState* s);
bool IsButtonClass(const WindowState* s);
bool IsStaticClass(const WindowState* s);
// The window under the pointer changed or a window died: mouse tracking
// bookkeeping lives in input.cpp.
void ForgetWindowInInput(HWND hWnd);
// Most recently pressed top-level (for a modal dialog's owner).
HWND LastActiveTopLevel();
// Creates a window with a framework-owned object (dialog controls).
HWND CreateFrameworkWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect,
                           HWND parent, UINT id);
// Runs when the window is destroyed, after its children.
void AddDestroyHook(HWND hWnd, std::function<void()> hook);
