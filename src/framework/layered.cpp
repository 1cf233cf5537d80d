// Layered windows and the run-time lookup of their entry points.
#include <cairo.h>

#include <cwctype>
#include <string>

#include "backend.h"
#include "window.h"
#include "window_internal.h"

namespace {

bool SameNameIgnoringCase(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b)
    if (std::towlower(*a) != std::towlower(*b)) return false;
  return *a == *b;
}

const HMODULE kUser32 = reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x7FF10000));

}  // namespace

BOOL UpdateLayeredWindow(HWND hWnd, HDC, POINT* pptDst, SIZE* psize, HDC hdcSrc, POINT* pptSrc, COLORREF,
                         BLENDFUNCTION* pblend, DWORD dwFlags) {
  WindowState* s = StateOf(hWnd);
  if (!s || !IsTopLevel(s) || !(s->exStyle & WS_EX_LAYERED)) return FALSE;
  RECT r;
  GetWindowRect(hWnd, &r);
  int w = psize ? psize->cx : r.right - r.left, h = psize ? psize->cy : r.bottom - r.top;
  if (w <= 0 || h <= 0) return FALSE;
  cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  if (hdcSrc) {
    cairo_surface_t* source = BitmapSurface(DcSelectedBitmap(hdcSrc));
    if (!source) {
      cairo_surface_destroy(picture);
      return FALSE;
    }
    cairo_t* cr = cairo_create(picture);
    POINT src = pptSrc ? *pptSrc : POINT{0, 0};
    cairo_set_source_surface(cr, source, -src.x, -src.y);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    if ((dwFlags & ULW_ALPHA) && pblend && pblend->SourceConstantAlpha != 255)
      cairo_paint_with_alpha(cr, pblend->SourceConstantAlpha / 255.0);
    else
      cairo_paint(cr);
    cairo_destroy(cr);
  }
  if (s->layeredPicture) cairo_surface_destroy(s->layeredPicture);
  s->layeredPicture = picture;
  s->layeredAttributes = false;
  s->presentDirty = true;
  int x = pptDst ? pptDst->x : r.left, y = pptDst ? pptDst->y : r.top;
  SetWindowPos(hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (Backend* backend = CurrentBackend()) backend->Wake();
  return TRUE;
}

BOOL SetLayeredWindowAttributes(HWND hWnd, COLORREF crKey, BYTE bAlpha, DWORD dwFlags) {
  WindowState* s = StateOf(hWnd);
  if (!s || !IsTopLevel(s) || !(s->exStyle & WS_EX_LAYERED)) return FALSE;
  if (s->layeredPicture) cairo_surface_destroy(s->layeredPicture);
  s->layeredPicture = nullptr;
  s->layeredAttributes = true;
  s->colorKey = crKey;
  s->constantAlpha = bAlpha;
  s->layeredFlags = dwFlags;
  s->presentDirty = true;
  InvalidateRect(hWnd, nullptr, TRUE);
  if (Backend* backend = CurrentBackend()) backend->TopLevelStateChanged(hWnd);
  return TRUE;
}

HMODULE LoadLibraryW(LPCWSTR name) {
  if (name && SameNameIgnoringCase(name, L"User32.DLL")) return kUser32;
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  if (module != kUser32 || !name) return nullptr;
  std::string n(name);
  if (n == "UpdateLayeredWindow") return reinterpret_cast<FARPROC>(&UpdateLayeredWindow);
  if (n == "SetLayeredWindowAttributes") return reinterpret_cast<FARPROC>(&SetLayeredWindowAttributes);
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) { return module == kUser32 ? TRUE : FALSE; }
