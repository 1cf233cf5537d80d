#include "paint.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace art {

Colour Hex(uint32_t rgb, double alpha) {
  return Colour{((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

void SetColour(cairo_t* cr, Colour c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void AddStop(cairo_pattern_t* p, double offset, Colour c) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, c.a);
}

cairo_pattern_t* GoldGradient(double y0, double y1, double brightness) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  auto scaled = [brightness](uint32_t rgb) {
    Colour c = Hex(rgb);
    c.r = std::min(1.0, c.r * brightness);
    c.g = std::min(1.0, c.g * brightness);
    c.b = std::min(1.0, c.b * brightness);
    return c;
  };
  AddStop(p, 0.0, scaled(0xFFF3C4));
  AddStop(p, 0.30, scaled(0xF0C865));
  AddStop(p, 0.52, scaled(0xA8721F));
  AddStop(p, 0.78, scaled(0xE9C367));
  AddStop(p, 1.0, scaled(0x8C5C16));
  return p;
}

cairo_pattern_t* VerticalGradient(double y0, double y1, Colour top, Colour bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  AddStop(p, 0, top);
  AddStop(p, 1, bottom);
  return p;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

double CentredText(cairo_t* cr, const std::string& utf8, double cx, double top, const TextStyle& style) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* desc = pango_font_description_from_string(style.font.c_str());
  pango_layout_set_font_description(layout, desc);
  pango_font_description_free(desc);
  if (style.letterSpacing != 0) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_letter_spacing_new(static_cast<int>(style.letterSpacing * PANGO_SCALE)));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  pango_layout_set_text(layout, utf8.c_str(), -1);
  PangoRectangle ink, logical;
  pango_layout_get_pixel_extents(layout, &ink, &logical);
  // Letter spacing adds space after the last letter too; centre on the ink.
  double x = cx - (ink.x + ink.width / 2.0);

  cairo_save(cr);
  cairo_move_to(cr, x, top);
  pango_cairo_layout_path(cr, layout);
  if (style.outlineWidth > 0) {
    SetColour(cr, style.outline);
    cairo_set_line_width(cr, style.outlineWidth);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  if (style.fill)
    cairo_set_source(cr, style.fill);
  else
    SetColour(cr, style.colour);
  cairo_fill(cr);
  cairo_restore(cr);
  g_object_unref(layout);
  return logical.height;
}

namespace {

// One box-blur pass of radius r along rows (horizontal) of a float plane.
void BoxBlurRows(std::vector<float>& plane, int w, int h, int r) {
  std::vector<float> row(w);
  for (int y = 0; y < h; ++y) {
    float* line = &plane[static_cast<size_t>(y) * w];
    double sum = 0;
    for (int x = -r; x <= r; ++x) sum += line[std::clamp(x, 0, w - 1)];
    for (int x = 0; x < w; ++x) {
      row[x] = static_cast<float>(sum / (2 * r + 1));
      sum += line[std::min(x + r + 1, w - 1)] - line[std::max(x - r, 0)];
    }
    std::copy(row.begin(), row.end(), line);
  }
}

void Transpose(const std::vector<float>& in, std::vector<float>& out, int w, int h) {
  out.resize(in.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[static_cast<size_t>(x) * h + y] = in[static_cast<size_t>(y) * w + x];
}

}  // namespace

void PaintGlowUnder(cairo_surface_t* target, cairo_surface_t* shape, double radius, Colour colour) {
  int w = cairo_image_surface_get_width(shape), h = cairo_image_surface_get_height(shape);
  cairo_surface_t* alpha = cairo_image_surface_create(CAIRO_FORMAT_A8, w, h);
  cairo_t* cr = cairo_create(alpha);
  cairo_set_source_surface(cr, shape, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(alpha);

  std::vector<float> plane(static_cast<size_t>(w) * h), turned;
  unsigned char* data = cairo_image_surface_get_data(alpha);
  int stride = cairo_image_surface_get_stride(alpha);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) plane[static_cast<size_t>(y) * w + x] = data[y * stride + x] / 255.0f;
  // Three box passes each way approximate a Gaussian blur.
  int r = std::max(1, static_cast<int>(radius / 3));
  for (int pass = 0; pass < 3; ++pass) BoxBlurRows(plane, w, h, r);
  Transpose(plane, turned, w, h);
  for (int pass = 0; pass < 3; ++pass) BoxBlurRows(turned, h, w, r);
  Transpose(turned, plane, h, w);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      data[y * stride + x] =
          static_cast<unsigned char>(std::lround(std::clamp(plane[static_cast<size_t>(y) * w + x], 0.0f, 1.0f) * 255));
  cairo_surface_mark_dirty(alpha);

  cr = cairo_create(target);
  cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
  SetColour(cr, colour);
  cairo_mask_surface(cr, alpha, 0, 0);
  cairo_destroy(cr);
  cairo_surface_destroy(alpha);
}

void ClearFaintPixels(cairo_surface_t* surface, int threshold) {
  cairo_surface_flush(surface);
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x)
      if (static_cast<int>(row[x] >> 24) < threshold) row[x] = 0;
  }
  cairo_surface_mark_dirty(surface);
}

void Desaturate(cairo_surface_t* surface, int x0, int y0, int w, int h, double amount) {
  cairo_surface_flush(surface);
  int stride = cairo_image_surface_get_stride(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = y0; y < y0 + h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = x0; x < x0 + w; ++x) {
      uint32_t p = row[x];
      double r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      double grey = 0.3 * r + 0.59 * g + 0.11 * b;
      auto mix = [&](double c) { return static_cast<uint32_t>(std::lround(c + (grey - c) * amount)); };
      row[x] = (p & 0xFF000000u) | (mix(r) << 16) | (mix(g) << 8) | mix(b);
    }
  }
  cairo_surface_mark_dirty(surface);
}

bool WritePng(cairo_surface_t* surface, const std::string& path) {
  return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool WriteBmp24(cairo_surface_t* surface, const std::string& path) {
  cairo_surface_flush(surface);
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int rowBytes = ((w * 24 + 31) / 32) * 4;
  uint32_t pixelBytes = static_cast<uint32_t>(rowBytes) * h;
  uint32_t offset = 14 + 40;
  std::vector<unsigned char> out(offset + pixelBytes, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<uint32_t>(out.size()));
  put32(10, offset);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));  // positive: bottom-up rows
  put16(26, 1);
  put16(28, 24);
  put32(34, pixelBytes);
  put32(38, 2835);  // 72 dpi
  put32(42, 2835);
  for (int y = 0; y < h; ++y) {
    const uint32_t* in = reinterpret_cast<const uint32_t*>(data + y * stride);
    unsigned char* p = out.data() + offset + static_cast<size_t>(h - 1 - y) * rowBytes;
    for (int x = 0; x < w; ++x, p += 3) {
      p[0] = in[x] & 0xFF;
      p[1] = (in[x] >> 8) & 0xFF;
      p[2] = (in[x] >> 16) & 0xFF;
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

double Random::Next() {
  // xorshift32
  m_state ^= m_state << 13;
  m_state ^= m_state >> 17;
  m_state ^= m_state << 5;
  return (m_state & 0xFFFFFF) / static_cast<double>(0x1000000);
}

}  // namespace art
