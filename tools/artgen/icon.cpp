// The window icon (icon 128, 64 × 64): the crest in small, a gold ring on
// a blue disc with a "Q".
#include <cmath>

#include "paint.h"
#include "pictures.h"

namespace art {

cairo_surface_t* PaintIcon() {
  const double size = 64, c = size / 2, r = 30;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 64);
  cairo_t* cr = cairo_create(surface);

  cairo_pattern_t* disc = cairo_pattern_create_radial(c - 6, c - 8, 2, c, c, r);
  AddStop(disc, 0, Hex(0x3A6DD0));
  AddStop(disc, 0.6, Hex(0x143274));
  AddStop(disc, 1, Hex(0x07163A));
  cairo_arc(cr, c, c, r, 0, 2 * M_PI);
  cairo_set_source(cr, disc);
  cairo_fill(cr);
  cairo_pattern_destroy(disc);

  cairo_pattern_t* gold = GoldGradient(c - r, c + r, 1.05);
  cairo_arc(cr, c, c, r - 2, 0, 2 * M_PI);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);

  TextStyle letter;
  letter.font = "DejaVu Serif Bold 36px";
  letter.fill = GoldGradient(14, 50, 1.15);
  letter.outline = Hex(0x1A0E02, 0.9);
  letter.outlineWidth = 2.5;
  CentredText(cr, "Q", c, 9, letter);
  cairo_pattern_destroy(letter.fill);

  cairo_destroy(cr);
  return surface;
}

}  // namespace art
