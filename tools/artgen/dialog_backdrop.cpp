// The confirmation box's picture (bitmap 177, 256 × 110, opaque): a dark
// night-blue plate with a gold rim, a lighter band behind the title at the
// top and a calm middle for the white question text.
#include <cmath>

#include "paint.h"
#include "pictures.h"

namespace art {

cairo_surface_t* PaintConfirmBackdrop() {
  const int w = 256, h = 110;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(surface);

  cairo_pattern_t* plate = VerticalGradient(0, h, Hex(0x142C60), Hex(0x050D24));
  cairo_set_source(cr, plate);
  cairo_paint(cr);
  cairo_pattern_destroy(plate);

  // A glow behind the title.
  cairo_pattern_t* glow = cairo_pattern_create_radial(w / 2.0, 6, 4, w / 2.0, 6, 120);
  AddStop(glow, 0, Hex(0x4A7BE0, 0.45));
  AddStop(glow, 1, Hex(0x4A7BE0, 0));
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);

  // Fading gold rule between the title (from y 10) and the question (from y 34).
  cairo_pattern_t* rule = cairo_pattern_create_linear(28, 0, w - 28, 0);
  AddStop(rule, 0, Hex(0xE9C367, 0));
  AddStop(rule, 0.5, Hex(0xF6DA8A, 0.9));
  AddStop(rule, 1, Hex(0xE9C367, 0));
  cairo_rectangle(cr, 28, 31, w - 56, 1);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  cairo_move_to(cr, w / 2.0, 28.5);
  cairo_line_to(cr, w / 2.0 + 3, 31.5);
  cairo_line_to(cr, w / 2.0, 34.5);
  cairo_line_to(cr, w / 2.0 - 3, 31.5);
  cairo_close_path(cr);
  SetColour(cr, Hex(0xF6DA8A));
  cairo_fill(cr);

  // A darker well under the buttons.
  RoundedRect(cr, 30, 68, w - 60, 34, 6);
  SetColour(cr, Hex(0x000000, 0.22));
  cairo_fill(cr);

  // Double rim.
  cairo_pattern_t* gold = GoldGradient(0, h);
  cairo_rectangle(cr, 1, 1, w - 2, h - 2);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);
  cairo_rectangle(cr, 4.5, 4.5, w - 9, h - 9);
  SetColour(cr, Hex(0xC99A3E, 0.4));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  cairo_destroy(cr);
  return surface;
}

}  // namespace art
