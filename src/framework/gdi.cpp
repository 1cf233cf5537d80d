#include "gdi.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "backend.h"
#include "image_decode.h"
#include "resources.h"
#include "window.h"
#include "window_internal.h"

namespace {

struct GdiObject {
  enum Type { Brush, Font, Bitmap } type;
  COLORREF color = 0;
  bool nullBrush = false;
  std::wstring face;
  int pixelHeight = 0;
  LONG weight = FW_NORMAL;
  cairo_surface_t* surface = nullptr;
  bool stock = false;
  ~GdiObject() {
    if (surface) cairo_surface_destroy(surface);
  }
};

struct DcState {
  enum Kind { Window, Memory } kind;
  HWND hwnd = nullptr;
  HBITMAP bitmap = nullptr;
  HFONT font = nullptr;
  HBRUSH brush = nullptr;
  COLORREF textColor = 0;
  int bkMode = OPAQUE;
};

struct IconObject {
  cairo_surface_t* surface;
};

std::set<GdiObject*>& Objects() {
  static std::set<GdiObject*> objects;
  return objects;
}
std::set<DcState*>& Dcs() {
  static std::set<DcState*> dcs;
  return dcs;
}

GdiObject* ObjectOf(HGDIOBJ h) {
  auto* o = reinterpret_cast<GdiObject*>(h);
  return Objects().count(o) ? o : nullptr;
}
DcState* DcOf(HDC h) {
  auto* d = reinterpret_cast<DcState*>(h);
  return Dcs().count(d) ? d : nullptr;
}

HGDIOBJ NewObject(std::unique_ptr<GdiObject> o) {
  GdiObject* raw = o.release();
  Objects().insert(raw);
  return reinterpret_cast<HGDIOBJ>(raw);
}

HDC NewDc(DcState::Kind kind, HWND hwnd) {
  auto* d = new DcState{kind};
  d->hwnd = hwnd;
  Dcs().insert(d);
  return reinterpret_cast<HDC>(d);
}

void SetSourceColor(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

// The surface a device context reads from, with the origin of the DC in it.
cairo_surface_t* SourceOf(HDC hDC, POINT* origin) {
  DcState* d = DcOf(hDC);
  *origin = POINT{0, 0};
  if (!d) return nullptr;
  if (d->kind == DcState::Memory) {
    GdiObject* b = ObjectOf(d->bitmap);
    return b ? b->surface : nullptr;
  }
  HWND top = TopLevelOf(d->hwnd);
  *origin = OriginInTopLevel(d->hwnd);
  return BackingSurface(top);
}

std::string FamilyFor(const std::wstring& face) {
  if (face == L"宋体" || face == L"SimSun" || face == L"NSimSun") return "WenQuanYi Zen Hei,Noto Sans CJK SC,Sans";
  return "DejaVu Sans,Sans";
}

PangoLayout* MakeLayout(cairo_t* cr, HFONT font, const wchar_t* text, int length) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  GdiObject* f = ObjectOf(font);
  PangoFontDescription* desc = pango_font_description_new();
  pango_font_description_set_family(desc, FamilyFor(f ? f->face : L"MS Shell Dlg").c_str());
  pango_font_description_set_absolute_size(desc, (f && f->pixelHeight > 0 ? f->pixelHeight : 12) * PANGO_SCALE);
  pango_font_description_set_weight(desc, f && f->weight >= FW_BOLD ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  std::string utf8 = NarrowText(text, static_cast<size_t>(length < 0 ? wcslen(text) : length));
  pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
  return layout;
}

std::map<std::pair<HINSTANCE, uintptr_t>, IconObject*>& IconCache() {
  static std::map<std::pair<HINSTANCE, uintptr_t>, IconObject*> cache;
  return cache;
}

std::vector<CDC*>& TemporaryDcs() {
  static std::vector<CDC*> dcs;
  return dcs;
}

HCURSOR g_cursor = nullptr;

}  // namespace

// ---------------------------------------------------------------------------

HDC GetDC(HWND hWnd) { return IsWindow(hWnd) ? NewDc(DcState::Window, hWnd) : nullptr; }
HDC GetWindowDC(HWND hWnd) { return GetDC(hWnd); }

int ReleaseDC(HWND, HDC hDC) { return DeleteDC(hDC); }

// A memory DC starts with a 1 × 1 stock bitmap selected, so selecting a
// bitmap in and the previous one back out always works.
HGDIOBJ DefaultDcBitmap() {
  static HGDIOBJ bitmap = [] {
    auto o = std::make_unique<GdiObject>();
    o->type = GdiObject::Bitmap;
    o->stock = true;
    o->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    return NewObject(std::move(o));
  }();
  return bitmap;
}

HDC CreateCompatibleDC(HDC) {
  HDC dc = NewDc(DcState::Memory, nullptr);
  DcOf(dc)->bitmap = DefaultDcBitmap();
  return dc;
}

BOOL DeleteDC(HDC hDC) {
  DcState* d = DcOf(hDC);
  if (!d) return FALSE;
  Dcs().erase(d);
  delete d;
  return TRUE;
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  auto o = std::make_unique<GdiObject>();
  o->type = GdiObject::Bitmap;
  o->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(o->surface) != CAIRO_STATUS_SUCCESS) return nullptr;
  return NewObject(std::move(o));
}

HGDIOBJ SelectObject(HDC hDC, HGDIOBJ object) {
  DcState* d = DcOf(hDC);
  GdiObject* o = ObjectOf(object);
  if (!d || !o) return nullptr;
  HGDIOBJ previous = nullptr;
  switch (o->type) {
    case GdiObject::Bitmap:
      previous = d->bitmap;
      d->bitmap = object;
      break;
    case GdiObject::Font:
      previous = d->font;
      d->font = object;
      break;
    case GdiObject::Brush:
      previous = d->brush;
      d->brush = object;
      break;
  }
  return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
  GdiObject* o = ObjectOf(object);
  if (!o || o->stock) return FALSE;
  // A bitmap still selected into a device context stays alive there.
  for (DcState* d : Dcs())
    if (d->bitmap == object) return FALSE;
  Objects().erase(o);
  delete o;
  return TRUE;
}

HBRUSH CreateSolidBrush(COLORREF color) {
  auto o = std::make_unique<GdiObject>();
  o->type = GdiObject::Brush;
  o->color = color;
  return NewObject(std::move(o));
}

HGDIOBJ GetStockObject(int which) {
  static std::map<int, HGDIOBJ> stock;
  auto it = stock.find(which);
  if (it != stock.end()) return it->second;
  auto o = std::make_unique<GdiObject>();
  o->stock = true;
  if (which == NULL_BRUSH) {
    o->type = GdiObject::Brush;
    o->nullBrush = true;
  } else {
    return nullptr;
  }
  HGDIOBJ h = NewObject(std::move(o));
  stock[which] = h;
  return h;
}

int GetObjectW(HGDIOBJ object, int size, void* out) {
  GdiObject* o = ObjectOf(object);
  if (!o || !out) return 0;
  if (o->type == GdiObject::Bitmap && size >= static_cast<int>(sizeof(BITMAP))) {
    auto* bm = static_cast<BITMAP*>(out);
    *bm = BITMAP{};
    bm->bmWidth = cairo_image_surface_get_width(o->surface);
    bm->bmHeight = cairo_image_surface_get_height(o->surface);
    bm->bmWidthBytes = cairo_image_surface_get_stride(o->surface);
    bm->bmPlanes = 1;
    bm->bmBitsPixel = 32;
    return sizeof(BITMAP);
  }
  return 0;
}

HFONT CreateFontForFace(const wchar_t* face, int pixelHeight, LONG weight) {
  auto o = std::make_unique<GdiObject>();
  o->type = GdiObject::Font;
  o->face = face ? face : L"";
  o->pixelHeight = pixelHeight;
  o->weight = weight;
  return NewObject(std::move(o));
}

bool FontInfo(HFONT font, std::wstring* face, int* pixelHeight, LONG* weight) {
  GdiObject* o = ObjectOf(font);
  if (!o || o->type != GdiObject::Font) return false;
  if (face) *face = o->face;
  if (pixelHeight) *pixelHeight = o->pixelHeight;
  if (weight) *weight = o->weight;
  return true;
}

cairo_t* DcBeginDraw(HDC hDC) {
  DcState* d = DcOf(hDC);
  if (!d) return nullptr;
  if (d->kind == DcState::Memory) {
    GdiObject* b = ObjectOf(d->bitmap);
    if (!b) return nullptr;
    return cairo_create(b->surface);
  }
  HWND top = TopLevelOf(d->hwnd);
  cairo_surface_t* surface = BackingSurface(top);
  if (!surface) return nullptr;
  cairo_t* cr = cairo_create(surface);
  RECT clip = VisibleRectInTopLevel(d->hwnd);
  cairo_rectangle(cr, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
  cairo_clip(cr);
  POINT o = OriginInTopLevel(d->hwnd);
  cairo_translate(cr, o.x, o.y);
  return cr;
}

void DcEndDraw(HDC hDC, cairo_t* cr) {
  if (!cr) return;
  cairo_destroy(cr);
  DcState* d = DcOf(hDC);
  if (d && d->kind == DcState::Window) {
    MarkPresentDirty(TopLevelOf(d->hwnd));
    if (Backend* backend = CurrentBackend()) backend->Wake();
  }
}

cairo_surface_t* BitmapSurface(HBITMAP bitmap) {
  GdiObject* o = ObjectOf(bitmap);
  return o && o->type == GdiObject::Bitmap ? o->surface : nullptr;
}

HBITMAP DcSelectedBitmap(HDC hDC) {
  DcState* d = DcOf(hDC);
  return d ? d->bitmap : nullptr;
}

BOOL StretchBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int xs, int ys, int cxs, int cys, DWORD) {
  POINT origin;
  cairo_surface_t* source = SourceOf(src, &origin);
  if (!source || cxs <= 0 || cys <= 0 || cx <= 0 || cy <= 0) return FALSE;
  // Copy the source part first: source and destination may be one surface.
  cairo_surface_t* part = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, cxs, cys);
  cairo_t* pc = cairo_create(part);
  cairo_set_source_surface(pc, source, -(origin.x + xs), -(origin.y + ys));
  cairo_set_operator(pc, CAIRO_OPERATOR_SOURCE);
  cairo_paint(pc);
  cairo_destroy(pc);
  cairo_t* cr = DcBeginDraw(dst);
  if (!cr) {
    cairo_surface_destroy(part);
    return FALSE;
  }
  cairo_rectangle(cr, x, y, cx, cy);
  cairo_clip(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, static_cast<double>(cx) / cxs, static_cast<double>(cy) / cys);
  cairo_set_source_surface(cr, part, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  DcEndDraw(dst, cr);
  cairo_surface_destroy(part);
  return TRUE;
}

BOOL BitBlt(HDC dst, int x, int y, int cx, int cy, HDC src, int x1, int y1, DWORD rop) {
  return StretchBlt(dst, x, y, cx, cy, src, x1, y1, cx, cy, rop);
}

int FillRect(HDC hDC, const RECT* rect, HBRUSH brush) {
  GdiObject* b = ObjectOf(brush);
  if (!rect || !b || b->type != GdiObject::Brush || b->nullBrush) return 0;
  cairo_t* cr = DcBeginDraw(hDC);
  if (!cr) return 0;
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  SetSourceColor(cr, b->color);
  cairo_rectangle(cr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  cairo_fill(cr);
  DcEndDraw(hDC, cr);
  return 1;
}

int SetBkMode(HDC hDC, int mode) {
  DcState* d = DcOf(hDC);
  if (!d) return 0;
  int previous = d->bkMode;
  d->bkMode = mode;
  return previous;
}

COLORREF SetTextColor(HDC hDC, COLORREF color) {
  DcState* d = DcOf(hDC);
  if (!d) return 0;
  COLORREF previous = d->textColor;
  d->textColor = color;
  return previous;
}

int DrawTextW(HDC hDC, const wchar_t* text, int length, RECT* rect, UINT format) {
  constexpr UINT kCalcRect = 0x400;
  DcState* d = DcOf(hDC);
  if (!d || !text || !rect) return 0;
  // Measuring needs no surface of the DC's own.
  cairo_surface_t* scratch = nullptr;
  cairo_t* cr = (format & kCalcRect) ? nullptr : DcBeginDraw(hDC);
  if (!cr) {
    scratch = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cr = cairo_create(scratch);
  }
  PangoLayout* layout = MakeLayout(cr, d->font, text, length);
  int width = rect->right - rect->left, height = rect->bottom - rect->top;
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  }
  if (format & DT_CENTER) pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
  if (format & DT_RIGHT) pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
  int tw, th;
  pango_layout_get_pixel_size(layout, &tw, &th);
  if (format & kCalcRect) {
    rect->right = rect->left + tw;
    rect->bottom = rect->top + th;
  } else {
    double x = rect->left, y = rect->top;
    if (pango_layout_get_width(layout) < 0) {
      if (format & DT_CENTER) x += (width - tw) / 2.0;
      if (format & DT_RIGHT) x += width - tw;
    }
    if ((format & DT_VCENTER) && (format & DT_SINGLELINE)) y += (height - th) / 2.0;
    cairo_rectangle(cr, rect->left, rect->top, width, height);
    cairo_clip(cr);
    SetSourceColor(cr, d->textColor);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
  }
  g_object_unref(layout);
  if (scratch) {
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
  } else {
    DcEndDraw(hDC, cr);
  }
  return th;
}

BOOL DrawIcon(HDC hDC, int x, int y, HICON icon) {
  auto* i = reinterpret_cast<IconObject*>(icon);
  if (!i || !i->surface) return FALSE;
  cairo_t* cr = DcBeginDraw(hDC);
  if (!cr) return FALSE;
  int size = GetSystemMetrics(SM_CXICON);
  int w = cairo_image_surface_get_width(i->surface), h = cairo_image_surface_get_height(i->surface);
  cairo_translate(cr, x, y);
  cairo_scale(cr, static_cast<double>(size) / w, static_cast<double>(GetSystemMetrics(SM_CYICON)) / h);
  cairo_set_source_surface(cr, i->surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  DcEndDraw(hDC, cr);
  return TRUE;
}

HICON CreateIconFromSurface(cairo_surface_t* surface) {
  if (!surface) return nullptr;
  return reinterpret_cast<HICON>(new IconObject{surface});
}

cairo_surface_t* IconSurface(HICON icon) {
  auto* i = reinterpret_cast<IconObject*>(icon);
  return i ? i->surface : nullptr;
}

HICON LoadIconW(HINSTANCE module, LPCWSTR name) {
  if (!IS_INTRESOURCE(name)) return nullptr;
  auto key = std::make_pair(module, reinterpret_cast<uintptr_t>(name));
  auto it = IconCache().find(key);
  if (it != IconCache().end()) return reinterpret_cast<HICON>(it->second);
  HRSRC found = FindResourceW(module, name, RT_GROUP_ICON);
  const void* bytes = LockResource(LoadResource(module, found));
  if (!bytes) return nullptr;
  cairo_surface_t* surface = DecodePngToSurface(bytes, SizeofResource(module, found));
  if (!surface) return nullptr;
  HICON icon = CreateIconFromSurface(surface);
  IconCache()[key] = reinterpret_cast<IconObject*>(icon);
  return icon;
}

HCURSOR LoadCursorW(HINSTANCE, LPCWSTR name) {
  // System cursors only: the handle carries the cursor id.
  return IS_INTRESOURCE(name) ? reinterpret_cast<HCURSOR>(const_cast<wchar_t*>(name)) : nullptr;
}

uintptr_t CursorId(HCURSOR cursor) { return reinterpret_cast<uintptr_t>(cursor); }

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR previous = g_cursor;
  g_cursor = cursor;
  if (Backend* backend = CurrentBackend()) backend->SetCursorShape(nullptr, CursorId(cursor));
  return previous;
}

HBITMAP LoadBitmapW(HINSTANCE module, LPCWSTR name) {
  HRSRC found = FindResourceW(module, name, RT_BITMAP);
  const void* bytes = LockResource(LoadResource(module, found));
  if (!bytes) return nullptr;
  cairo_surface_t* surface = DecodeBmpToSurface(bytes, SizeofResource(module, found));
  if (!surface) return nullptr;
  auto o = std::make_unique<GdiObject>();
  o->type = GdiObject::Bitmap;
  o->surface = surface;
  return NewObject(std::move(o));
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return CurrentBackend() ? CurrentBackend()->ScreenSize().cx : 0;
    case SM_CYSCREEN: return CurrentBackend() ? CurrentBackend()->ScreenSize().cy : 0;
    case SM_CXICON:
    case SM_CYICON: return 32;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
  }
}

// ---------------------------------------------------------------------------

BOOL CFont::CreatePointFont(int pointSizeTenths, const wchar_t* face, CDC*) {
  int pixels = (pointSizeTenths * 96 + 360) / 720;
  return Attach(CreateFontForFace(face, pixels, FW_NORMAL));
}

BOOL CBitmap::LoadBitmap(UINT id) {
  return Attach(LoadBitmapW(AfxFindResourceHandle(MAKEINTRESOURCEW(id), RT_BITMAP), MAKEINTRESOURCEW(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

CDC::~CDC() {}

CDC* CDC::FromHandle(HDC hDC) {
  if (!hDC) return nullptr;
  CDC* dc = new CDC;
  dc->m_hDC = hDC;
  dc->m_temporary = true;
  TemporaryDcs().push_back(dc);
  return dc;
}

void ReleaseTemporaryDCs() {
  for (CDC* dc : TemporaryDcs()) delete dc;
  TemporaryDcs().clear();
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
  if (!object) return nullptr;
  ::SelectObject(m_hDC, object->m_hObject);
  return nullptr;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  ::FillRect(m_hDC, rect, brush);
  ::DeleteObject(brush);
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* ps) {
  WindowState* s = StateOf(hWnd);
  if (!s || !ps) return nullptr;
  HDC dc = GetDC(hWnd);
  ps->hdc = dc;
  ps->fErase = s->needsErase ? TRUE : FALSE;
  GetClientRect(hWnd, &ps->rcPaint);
  bool erase = s->needsErase;
  s->needsPaint = false;
  s->needsErase = false;
  if (erase) ps->fErase = SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* ps) {
  if (!ps) return FALSE;
  ReleaseDC(hWnd, ps->hdc);
  return TRUE;
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd ? wnd->m_hWnd : nullptr) { Attach(BeginPaint(m_hWnd, &m_ps)); }

CPaintDC::~CPaintDC() {
  EndPaint(m_hWnd, &m_ps);
  Detach();
}
