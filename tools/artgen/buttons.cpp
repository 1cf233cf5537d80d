// The sprite strips: four frames stacked top to bottom — normal, hover,
// pressed, disabled. Round medallions for the panel's minimise and close
// buttons, gold and blue bars with text for the confirmation's buttons.
#include <algorithm>
#include <cstdint>
#include <cmath>
#include <functional>
#include <string>

#include "paint.h"
#include "pictures.h"

namespace art {

namespace {

enum Frame { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

struct DiscColours {
  uint32_t light, dark;
};

using Glyph = std::function<void(cairo_t*, double cx, double cy)>;

// One round medallion centred in a size × size frame whose top is `top`.
void Medallion(cairo_t* cr, double size, double top, double radius, Frame frame, const DiscColours colours[3],
               const Glyph& glyph) {
  double cx = size / 2, cy = top + size / 2;
  if (frame == kPressed) cy += 1;
  int look = frame == kDisabled ? kNormal : frame;

  if (frame == kHover) {
    cairo_pattern_t* halo = cairo_pattern_create_radial(cx, cy, radius - 2, cx, cy, size / 2);
    AddStop(halo, 0, Hex(0xFFD978, 0.65));
    AddStop(halo, 1, Hex(0xFFD978, 0));
    cairo_arc(cr, cx, cy, size / 2, 0, 2 * M_PI);
    cairo_set_source(cr, halo);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
  } else if (frame != kPressed) {
    cairo_arc(cr, cx, cy + 1.5, radius + 0.5, 0, 2 * M_PI);
    SetColour(cr, Hex(0x000000, 0.5));
    cairo_fill(cr);
  }

  cairo_pattern_t* disc = cairo_pattern_create_radial(cx - radius * 0.3, cy - radius * 0.4, radius * 0.1, cx, cy, radius);
  AddStop(disc, 0, Hex(colours[look].light));
  AddStop(disc, 1, Hex(colours[look].dark));
  cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
  cairo_set_source(cr, disc);
  cairo_fill(cr);
  cairo_pattern_destroy(disc);

  // Glass highlight on the upper half.
  cairo_pattern_t* shine = VerticalGradient(cy - radius, cy, Hex(0xFFFFFF, frame == kPressed ? 0.10 : 0.28),
                                            Hex(0xFFFFFF, 0));
  cairo_save(cr);
  cairo_scale(cr, 1, 0.62);
  cairo_arc(cr, cx, (cy - radius * 0.38) / 0.62, radius * 0.78, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_source(cr, shine);
  cairo_fill(cr);
  cairo_pattern_destroy(shine);

  double brightness = frame == kHover ? 1.15 : frame == kPressed ? 0.8 : 1.0;
  cairo_pattern_t* gold = GoldGradient(cy - radius, cy + radius, brightness);
  cairo_arc(cr, cx, cy, radius - 1.25, 0, 2 * M_PI);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, 2.5);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy, radius - 4, 0, 2 * M_PI);
  SetColour(cr, Hex(0xE9C367, 0.35));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  // The glyph: a dark shadow, then gold.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_save(cr);
  cairo_translate(cr, 0, 1);
  glyph(cr, cx, cy);
  SetColour(cr, Hex(0x1A0A02, 0.7));
  cairo_set_line_width(cr, radius > 18 ? 4.5 : 3.5);
  cairo_stroke(cr);
  cairo_restore(cr);
  glyph(cr, cx, cy);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, radius > 18 ? 3.5 : 2.8);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);
}

cairo_surface_t* MedallionStrip(int size, double radius, const DiscColours colours[3], const Glyph& glyph) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size * 4);
  cairo_t* cr = cairo_create(surface);
  for (int frame = kNormal; frame <= kDisabled; ++frame) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, frame * size, size, size);
    cairo_clip(cr);
    Medallion(cr, size, frame * size, radius, static_cast<Frame>(frame), colours, glyph);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  Desaturate(surface, 0, kDisabled * size, size, size, 0.9);
  return surface;
}

struct BarStyle {
  uint32_t top, middle, bottom;  // face gradient of the normal frame
  uint32_t text;
  uint32_t textOutline;
};

// A rounded bar filling a 74 × 26 frame, with its label.
void Bar(cairo_t* cr, double top, Frame frame, const BarStyle& style, const std::string& label) {
  const double w = 74, h = 26;
  double shift = frame == kPressed ? 1 : 0;
  double brightness = frame == kHover ? 1.18 : frame == kPressed ? 0.82 : 1.0;
  auto shade = [brightness](uint32_t rgb) {
    Colour c = Hex(rgb);
    c.r = std::fmin(1, c.r * brightness);
    c.g = std::fmin(1, c.g * brightness);
    c.b = std::fmin(1, c.b * brightness);
    return c;
  };

  if (frame != kPressed) {
    RoundedRect(cr, 1, top + 2, w - 2, h - 2, 5);
    SetColour(cr, Hex(0x000000, 0.55));
    cairo_fill(cr);
  }
  RoundedRect(cr, 1, top + 1 + shift, w - 2, h - 3, 5);
  cairo_pattern_t* face = cairo_pattern_create_linear(0, top + 1 + shift, 0, top + h - 2 + shift);
  AddStop(face, 0, shade(style.top));
  AddStop(face, 0.5, shade(style.middle));
  AddStop(face, 1, shade(style.bottom));
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_pattern_t* rim = GoldGradient(top, top + h, brightness);
  cairo_set_source(cr, rim);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);

  // Glass highlight.
  RoundedRect(cr, 3, top + 2.5 + shift, w - 6, (h - 3) / 2 - 1, 4);
  cairo_pattern_t* shine = VerticalGradient(top + 2 + shift, top + h / 2 + shift, Hex(0xFFFFFF, 0.35), Hex(0xFFFFFF, 0.02));
  cairo_set_source(cr, shine);
  cairo_fill(cr);
  cairo_pattern_destroy(shine);

  TextStyle text;
  text.font = "WenQuanYi Zen Hei 15px";
  text.colour = Hex(style.text);
  text.outline = Hex(style.textOutline, 0.6);
  text.outlineWidth = 2;
  text.letterSpacing = 5;
  CentredText(cr, label, w / 2, top + 4 + shift, text);
}

cairo_surface_t* BarStrip(const BarStyle& style, const std::string& label) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 74, 104);
  cairo_t* cr = cairo_create(surface);
  for (int frame = kNormal; frame <= kDisabled; ++frame) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, frame * 26, 74, 26);
    cairo_clip(cr);
    Bar(cr, frame * 26, static_cast<Frame>(frame), style, label);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  Desaturate(surface, 0, kDisabled * 26, 74, 26, 0.9);
  return surface;
}

}  // namespace

// The panel shows its buttons through a colour key, so a partly
// transparent pixel would blend with the key colour into a yellow fringe:
// the panel's strips keep only clear and opaque pixels.
cairo_surface_t* WithHardEdges(cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      uint32_t p = row[x], a = p >> 24;
      if (a < 128) {
        row[x] = 0;
        continue;
      }
      // Undo the premultiplication, then make the pixel opaque.
      uint32_t r = ((p >> 16) & 0xFF) * 255 / a, g = ((p >> 8) & 0xFF) * 255 / a, b = (p & 0xFF) * 255 / a;
      row[x] = 0xFF000000u | (std::min<uint32_t>(r, 255) << 16) | (std::min<uint32_t>(g, 255) << 8) | std::min<uint32_t>(b, 255);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* PaintMinimiseStrip() {
  const DiscColours blue[3] = {{0x3563C0, 0x0B1D4A}, {0x4C86EA, 0x163A82}, {0x1A3C86, 0x061232}};
  return WithHardEdges(MedallionStrip(39, 15, blue, [](cairo_t* cr, double cx, double cy) {
    cairo_move_to(cr, cx - 6, cy + 1);
    cairo_line_to(cr, cx + 6, cy + 1);
  }));
}

cairo_surface_t* PaintCloseStrip() {
  const DiscColours red[3] = {{0xA8322A, 0x3C0707}, {0xD9483A, 0x5E0D0D}, {0x6E1A16, 0x260404}};
  return WithHardEdges(MedallionStrip(54, 21, red, [](cairo_t* cr, double cx, double cy) {
    cairo_move_to(cr, cx - 7, cy - 7);
    cairo_line_to(cr, cx + 7, cy + 7);
    cairo_move_to(cr, cx + 7, cy - 7);
    cairo_line_to(cr, cx - 7, cy + 7);
  }));
}

cairo_surface_t* PaintConfirmStrip() {
  return BarStrip(BarStyle{0xFBE3A0, 0xD49B36, 0x9A6518, 0x3A2205, 0xFFF1C8}, "确定");
}

cairo_surface_t* PaintCancelStrip() {
  return BarStrip(BarStyle{0x5C84CF, 0x28489A, 0x142A5A, 0xF6EACB, 0x050B1C}, "取消");
}

}  // namespace art
