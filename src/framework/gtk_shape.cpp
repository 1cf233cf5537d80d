#include "gtk_shape.h"

#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Run {
  int x0;
  int x1;  // exclusive
  bool operator==(const Run& o) const { return x0 == o.x0 && x1 == o.x1; }
};

// Appends the runs of pixels with alpha > 0 in one row.
void ScanRow(const uint32_t* row, int width, std::vector<Run>* runs) {
  runs->clear();
  int x = 0;
  while (x < width) {
    while (x < width && (row[x] >> 24) == 0) ++x;
    if (x == width) break;
    int start = x;
    while (x < width && (row[x] >> 24) != 0) ++x;
    runs->push_back({start, x});
  }
}

}  // namespace

cairo_region_t* RegionOfVisiblePixels(cairo_surface_t* surface) {
  if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return cairo_region_create();
  cairo_format_t format = cairo_image_surface_get_format(surface);
  if (format == CAIRO_FORMAT_RGB24) {
    // No alpha channel: every pixel shows.
    cairo_rectangle_int_t all{0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface)};
    return cairo_region_create_rectangle(&all);
  }
  if (format != CAIRO_FORMAT_ARGB32) return cairo_region_create();
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  int width = cairo_image_surface_get_width(surface);
  int height = cairo_image_surface_get_height(surface);
  int stride = cairo_image_surface_get_stride(surface);
  if (!data || width <= 0 || height <= 0) return cairo_region_create();

  std::vector<cairo_rectangle_int_t> rects;
  std::vector<Run> open;  // runs of the band being grown
  std::vector<Run> current;
  int bandTop = 0;
  auto closeBand = [&](int bandBottom) {
    for (const Run& r : open) rects.push_back({r.x0, bandTop, r.x1 - r.x0, bandBottom - bandTop});
  };
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
    ScanRow(row, width, &current);
    if (y > 0 && current == open) continue;
    closeBand(y);
    open.swap(current);
    bandTop = y;
  }
  closeBand(height);
  return cairo_region_create_rectangles(rects.data(), static_cast<int>(rects.size()));
}
