// A picture paired with the window it paints as per-pixel-alpha content.
#pragma once

#include "framework/wintypes.h"
#include "mainwnd/gdiplus_png.h"

class CLayeredBackground {
 public:
  // Hands the picture to the window as its layered content: the window
  // becomes layered, takes the picture's size and keeps its top-left
  // corner. Does nothing without a picture or a valid window.
  void UpdateLayered();

  CGdiPlusPngResource m_png;
  HWND m_hLayeredWnd = nullptr;
};
