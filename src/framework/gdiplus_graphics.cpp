// Drawing images into device contexts: OVER compositing of the image's
// premultiplied pixels through the cairo context the device context gives.
#include <cairo.h>

#include <cmath>
#include <new>

#include "gdi.h"
#include "gdiplus.h"

namespace Gdiplus {

namespace {

// Exact pixel copies when the placement is a whole-pixel translation;
// smooth sampling otherwise.
cairo_filter_t FilterFor(const cairo_matrix_t& m) {
  bool translationOnly = m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0;
  bool wholePixels = std::floor(m.x0) == m.x0 && std::floor(m.y0) == m.y0;
  return translationOnly && wholePixels ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD;
}

// Paints the width × height pixels of `source` with the placement
// `placement` (source pixels to device-context pixels) and an optional
// clip rectangle.
Status Composite(HDC hdc, cairo_surface_t* source, int width, int height, const cairo_matrix_t& placement,
                 const Rect* clip) {
  cairo_t* cr = DcBeginDraw(hdc);
  if (!cr) return InvalidParameter;
  cairo_save(cr);
  if (clip) {
    cairo_rectangle(cr, clip->X, clip->Y, clip->Width, clip->Height);
    cairo_clip(cr);
  }
  cairo_transform(cr, &placement);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
  cairo_set_source_surface(cr, source, 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  // Edge samples repeat the edge pixels instead of fading into nothing;
  // the filled rectangle bounds what is drawn.
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_matrix_t device;
  cairo_get_matrix(cr, &device);
  cairo_pattern_set_filter(pattern, FilterFor(device));
  cairo_rectangle(cr, 0, 0, width, height);
  cairo_fill(cr);
  cairo_restore(cr);
  DcEndDraw(hdc, cr);
  return Ok;
}

}  // namespace

Graphics::Graphics(HDC hdc) : m_hdc(hdc) {
  if (!hdc) SetStatus(InvalidParameter);
}

Graphics* Graphics::FromHDC(HDC hdc) { return new (std::nothrow) Graphics(hdc); }

Status Graphics::DrawImage(Image* image, const Point* points, int count) {
  if (!image || !points || count != 3 || !m_hdc) return SetStatus(InvalidParameter);
  cairo_surface_t* surface = image->Surface();
  if (!surface) return SetStatus(InvalidParameter);
  int width = cairo_image_surface_get_width(surface);
  int height = cairo_image_surface_get_height(surface);
  double w = width, h = height;
  // Image (u, v) maps to p0 + u/w * (p1 - p0) + v/h * (p2 - p0).
  cairo_matrix_t placement;
  cairo_matrix_init(&placement, (points[1].X - points[0].X) / w, (points[1].Y - points[0].Y) / w,
                    (points[2].X - points[0].X) / h, (points[2].Y - points[0].Y) / h, points[0].X, points[0].Y);
  cairo_matrix_t inverse = placement;
  if (cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return Ok;  // degenerate: nothing to draw
  return SetStatus(Composite(m_hdc, surface, width, height, placement, nullptr));
}

Status Graphics::DrawImage(Image* image, const Rect& dest, int srcx, int srcy, int srcwidth, int srcheight,
                           Unit srcUnit, const ImageAttributes*, DrawImageAbort, void*) {
  if (!image || !m_hdc || srcUnit != UnitPixel) return SetStatus(InvalidParameter);
  cairo_surface_t* surface = image->Surface();
  if (!surface) return SetStatus(InvalidParameter);
  if (srcwidth <= 0 || srcheight <= 0 || dest.Width <= 0 || dest.Height <= 0) return Ok;
  // Only the part of the source rectangle that lies on the image is
  // sampled, so scaling never blends in neighbouring rows (other frames of
  // a sprite strip).
  int imageW = cairo_image_surface_get_width(surface);
  int imageH = cairo_image_surface_get_height(surface);
  int left = srcx < 0 ? 0 : srcx, top = srcy < 0 ? 0 : srcy;
  int right = srcx + srcwidth > imageW ? imageW : srcx + srcwidth;
  int bottom = srcy + srcheight > imageH ? imageH : srcy + srcheight;
  if (right <= left || bottom <= top) return Ok;
  cairo_surface_t* part = cairo_surface_create_for_rectangle(surface, left, top, right - left, bottom - top);
  double sx = static_cast<double>(dest.Width) / srcwidth;
  double sy = static_cast<double>(dest.Height) / srcheight;
  cairo_matrix_t placement;
  cairo_matrix_init(&placement, sx, 0, 0, sy, dest.X + (left - srcx) * sx, dest.Y + (top - srcy) * sy);
  Status status = Composite(m_hdc, part, right - left, bottom - top, placement, &dest);
  cairo_surface_destroy(part);
  return SetStatus(status);
}

Status Graphics::GetLastStatus() {
  Status status = m_lastStatus;
  m_lastStatus = Ok;
  return status;
}

Status Graphics::SetStatus(Status status) {
  if (status != Ok) m_lastStatus = status;
  return status;
}

}  // namespace Gdiplus
