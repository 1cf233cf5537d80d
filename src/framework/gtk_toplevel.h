// What the gtk backend keeps for one top-level window. Internal to the
// gtk_*.cpp files of the backend.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "wintypes.h"

class GtkBackend;

struct GtkTopLevel {
  HWND hwnd = nullptr;
  GtkBackend* backend = nullptr;
  GtkWidget* window = nullptr;  // the GtkWindow
  GtkWidget* fixed = nullptr;   // holds the native child widgets

  // What was last applied, so that unchanged state costs no X request.
  bool placed = false;
  RECT rect{};
  std::string title;
  bool titleSet = false;
  HICON icon = nullptr;
  GtkWindow* transientFor = nullptr;
  int taskbarEntry = -1;  // -1 unknown, 0 none, 1 has one
  bool iconifyRequested = false;
  uintptr_t cursorId = 0;

  // The picture's pixels with alpha above 0; null until content arrives.
  cairo_region_t* visibleRegion = nullptr;
};

// Whether a window manager runs on the default screen (it does the
// iconifying; without one an iconic window is simply unmapped).
bool WindowManagerRunning();

// Connects the pointer, key, state and close handlers of a new window.
void ConnectTopLevelEvents(GtkTopLevel* top);
