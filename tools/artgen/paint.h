// Drawing helpers shared by the pictures: colours, gradients, shapes,
// text, soft glows, and the two file formats the pictures are stored in.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>

namespace art {

struct Colour {
  double r, g, b, a;
};
// 0xRRGGBB with an optional alpha.
Colour Hex(uint32_t rgb, double alpha = 1.0);
void SetColour(cairo_t* cr, Colour c);
void AddStop(cairo_pattern_t* p, double offset, Colour c);

// Vertical gradients: burnished gold for rims and lettering, and the
// night-blue fills.
cairo_pattern_t* GoldGradient(double y0, double y1, double brightness = 1.0);
cairo_pattern_t* VerticalGradient(double y0, double y1, Colour top, Colour bottom);

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Text centred on (cx, top). `font` is a Pango description such as
// "DejaVu Serif Bold 40px"; with `letterSpacing` in pixels. The outline is
// drawn first when its width is positive, then the fill pattern.
struct TextStyle {
  std::string font;
  cairo_pattern_t* fill = nullptr;  // used when set, else `colour`
  Colour colour{1, 1, 1, 1};
  Colour outline{0, 0, 0, 0};
  double outlineWidth = 0;
  double letterSpacing = 0;
};
// Answers the text's height.
double CentredText(cairo_t* cr, const std::string& utf8, double cx, double top, const TextStyle& style);

// A glow around whatever `shape` (an A8 or ARGB surface) covers: its alpha
// blurred by `radius`, tinted `colour`, drawn under the current contents.
void PaintGlowUnder(cairo_surface_t* target, cairo_surface_t* shape, double radius, Colour colour);

// Pixels whose alpha is below `threshold` become fully transparent, so the
// picture's see-through parts are exactly transparent.
void ClearFaintPixels(cairo_surface_t* surface, int threshold);

// Grey version of a picture (for the disabled frames).
void Desaturate(cairo_surface_t* surface, int x, int y, int w, int h, double amount);

bool WritePng(cairo_surface_t* surface, const std::string& path);
// A 24-bit uncompressed bottom-up BMP file of an opaque picture.
bool WriteBmp24(cairo_surface_t* surface, const std::string& path);

// Deterministic pseudo-random numbers, so every run writes the same files.
class Random {
 public:
  explicit Random(uint32_t seed) : m_state(seed) {}
  double Next();  // in [0, 1)
  double Between(double lo, double hi) { return lo + (hi - lo) * Next(); }

 private:
  uint32_t m_state;
};

}  // namespace art
