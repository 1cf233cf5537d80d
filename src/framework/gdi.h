// Device contexts and drawing objects over cairo. A window device context
// draws into its top-level window's backing surface (ARGB32, premultiplied)
// at the window's place, clipped to it; a memory device context draws into
// the bitmap selected into it.
#pragma once

#include "geometry.h"
#include "text.h"
#include "wintypes.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

struct BITMAP {
  LONG bmType;
  LONG bmWidth;
  LONG bmHeight;
  LONG bmWidthBytes;
  WORD bmPlanes;
  WORD bmBitsPixel;
  void* bmBits;
};

struct BLENDFUNCTION {
  BYTE BlendOp;
  BYTE BlendFlags;
  BYTE SourceConstantAlpha;
  BYTE AlphaFormat;
};

constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int NULL_BRUSH = 5;
constexpr UINT DT_LEFT = 0x0;
constexpr UINT DT_CENTER = 0x1;
constexpr UINT DT_RIGHT = 0x2;
constexpr UINT DT_VCENTER = 0x4;
constexpr UINT DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_HAND MAKEINTRESOURCEW(32649)

// Raw GDI calls.
HDC GetDC(HWND hWnd);        // client area
HDC GetWindowDC(HWND hWnd);  // whole window
int ReleaseDC(HWND hWnd, HDC hDC);
HDC CreateCompatibleDC(HDC hDC);
BOOL DeleteDC(HDC hDC);
HBITMAP CreateCompatibleBitmap(HDC hDC, int width, int height);
HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
HBRUSH CreateSolidBrush(COLORREF color);
HGDIOBJ GetStockObject(int which);
int GetObjectW(HGDIOBJ object, int size, void* out);
BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int cxs, int cys, DWORD rop);
int FillRect(HDC hDC, const RECT* rect, HBRUSH brush);
int SetBkMode(HDC hDC, int mode);
COLORREF SetTextColor(HDC hDC, COLORREF color);
int DrawTextW(HDC hDC, const wchar_t* text, int length, RECT* rect, UINT format);
BOOL DrawIcon(HDC hDC, int x, int y, HICON icon);
HICON LoadIconW(HINSTANCE module, LPCWSTR name);
HCURSOR LoadCursorW(HINSTANCE module, LPCWSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name);
int GetSystemMetrics(int index);

// Creates a font of the given height in pixels; face names map to
// fontconfig families ("MS Shell Dlg" and "Arial" to a sans face, "宋体" to
// a CJK face).
HFONT CreateFontForFace(const wchar_t* face, int pixelHeight, LONG weight);

// Access for the image and layered-window code: a cairo context that draws
// where the device context draws (origin and clip set); EndDraw presents
// what a window DC changed.
cairo_t* DcBeginDraw(HDC hDC);
void DcEndDraw(HDC hDC, cairo_t* cr);
// The surface of a bitmap object (owned by the bitmap).
cairo_surface_t* BitmapSurface(HBITMAP bitmap);
// The bitmap selected into a memory device context, or null.
HBITMAP DcSelectedBitmap(HDC hDC);
// The icon's picture (owned by the icon) and its creation from a surface.
cairo_surface_t* IconSurface(HICON icon);
HICON CreateIconFromSurface(cairo_surface_t* surface);
// The cursor id behind a cursor handle (32512 arrow, 32649 hand).
uintptr_t CursorId(HCURSOR cursor);
// Face, pixel height and weight of a font object.
bool FontInfo(HFONT font, std::wstring* face, int* pixelHeight, LONG* weight);

class CGdiObject {
 public:
  CGdiObject() = default;
  virtual ~CGdiObject() { DeleteObject(); }
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  BOOL Attach(HGDIOBJ object) {
    if (!object) return FALSE;
    m_hObject = object;
    return TRUE;
  }
  HGDIOBJ Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
  }
  BOOL DeleteObject() {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
  }
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  HGDIOBJ m_hObject = nullptr;
};

class CBrush : public CGdiObject {
 public:
  BOOL CreateSolidBrush(COLORREF color) { return Attach(::CreateSolidBrush(color)); }
  operator HBRUSH() const { return m_hObject; }
};

class CDC;

class CFont : public CGdiObject {
 public:
  // Size in tenths of a point, at 96 pixels per inch.
  BOOL CreatePointFont(int pointSizeTenths, const wchar_t* face, CDC* dc = nullptr);
  operator HFONT() const { return m_hObject; }
};

class CBitmap : public CGdiObject {
 public:
  BOOL LoadBitmap(UINT id);
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  int GetBitmap(BITMAP* out) const { return ::GetObjectW(m_hObject, sizeof(BITMAP), out); }
  operator HBITMAP() const { return m_hObject; }
};

class CDC {
 public:
  CDC() = default;
  virtual ~CDC();
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  // A temporary wrapper; lives until the next idle time of the loop.
  static CDC* FromHandle(HDC hDC);
  BOOL Attach(HDC hDC) {
    m_hDC = hDC;
    return hDC != nullptr;
  }
  HDC Detach() {
    HDC h = m_hDC;
    m_hDC = nullptr;
    return h;
  }
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }

  BOOL CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
  BOOL DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
  }
  CGdiObject* SelectObject(CGdiObject* object);
  HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  COLORREF SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }
  BOOL BitBlt(int x, int y, int cx, int cy, CDC* src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : nullptr, xs, ys, rop);
  }
  BOOL StretchBlt(int x, int y, int cx, int cy, CDC* src, int xs, int ys, int cxs, int cys, DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, cx, cy, src ? src->m_hDC : nullptr, xs, ys, cxs, cys, rop);
  }
  void FillRect(LPCRECT rect, CBrush* brush) { ::FillRect(m_hDC, rect, brush ? static_cast<HBRUSH>(*brush) : nullptr); }
  void FillSolidRect(LPCRECT rect, COLORREF color);
  BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }
  int DrawText(const CString& text, LPRECT rect, UINT format) {
    return ::DrawTextW(m_hDC, text.GetString(), text.GetLength(), rect, format);
  }

  HDC m_hDC = nullptr;

 private:
  bool m_temporary = false;
  friend void ReleaseTemporaryDCs();
};

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
};

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps);

class CWnd;

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* wnd);
  ~CPaintDC() override;
  PAINTSTRUCT m_ps{};

 private:
  HWND m_hWnd;
};

// Frees the temporary CDC wrappers made by CDC::FromHandle.
void ReleaseTemporaryDCs();
