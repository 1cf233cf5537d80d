// What a backend reads of the window model to present top-level windows.
#pragma once

#include <string>
#include <vector>

#include "wintypes.h"

typedef struct _cairo_surface cairo_surface_t;
typedef struct _GtkWidget GtkWidget;

// Top-level windows, bottom of the stack first.
std::vector<HWND> TopLevelWindowsBottomUp();
// The window's content as the screen should show it: ARGB32 premultiplied,
// window-sized; per-pixel alpha from a layered picture, or the painted
// surface with the colour key made fully transparent and the constant alpha
// applied. Owned by the window model; valid until the next change. Null
// while the window has nothing to show (a layered window that has received
// no layered call shows nothing).
cairo_surface_t* PresentedSurface(HWND topLevel);
// What the window's own painting produced (its backing surface), for a
// top-level window; null for other windows.
cairo_surface_t* PaintedSurface(HWND topLevel);
// Whether the window is a top-level that should be on screen (visible,
// not iconic, not hidden with its owner).
bool TopLevelShown(HWND topLevel);
// Whether the window, as presented, has any translucent or transparent
// pixel, so that it needs an alpha visual or a shape.
bool TopLevelIsShaped(HWND topLevel);
HWND OwnerOf(HWND hWnd);
// Style bit WS_EX_APPWINDOW: whether the window wants a task-bar entry.
bool TopLevelHasTaskbarEntry(HWND topLevel);
std::wstring WindowTitle(HWND hWnd);
// The big icon set with WM_SETICON, or null.
HICON WindowBigIcon(HWND topLevel);

// Native widgets placed over a child window's region (the browser).
struct NativeChild {
  HWND child;
  GtkWidget* widget;
  RECT rect;  // in the top-level's pixels
  bool shown;
};
std::vector<NativeChild> NativeChildrenOf(HWND topLevel);
