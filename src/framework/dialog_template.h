// Dialog templates: the window and its controls in dialog units, as the
// resource compiler would describe them. Stored as RT_DIALOG resources.
#pragma once

#include <cstddef>

#include "wintypes.h"

struct DialogItemTemplate {
  UINT id;
  const wchar_t* className;  // "Button", "Static", or an ActiveX CLSID in braces
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  const void* initData;  // control-initialisation data, if any
  size_t initDataSize;
};

struct DialogTemplate {
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  const wchar_t* caption;
  const wchar_t* fontName;
  WORD pointSize;
  WORD weight;
  BYTE charset;
  const DialogItemTemplate* items;
  size_t itemCount;
};

// Dialog units to pixels with the template's font: x * baseX / 4,
// y * baseY / 8, where baseX is the font's average character width and
// baseY its height.
SIZE DialogBaseUnits(const DialogTemplate& t);
RECT DialogUnitsToPixels(const DialogTemplate& t, short x, short y, short cx, short cy);
