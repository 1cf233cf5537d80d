// The region of visible pixels that becomes a window's X shapes.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "gtk_shape.h"

namespace {

// Whether the region holds exactly the pixels with alpha above 0.
void ExpectRegionMatchesAlpha(cairo_region_t* region, const uint32_t* pixels, int width, int height, int strideWords) {
  int wrong = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool visible = (pixels[y * strideWords + x] >> 24) != 0;
      if (visible != static_cast<bool>(cairo_region_contains_point(region, x, y)) && ++wrong <= 5)
        ADD_FAILURE() << "pixel " << x << "," << y << " alpha " << (pixels[y * strideWords + x] >> 24);
    }
  EXPECT_EQ(wrong, 0);
  cairo_rectangle_int_t extents;
  cairo_region_get_extents(region, &extents);
  EXPECT_GE(extents.x, 0);
  EXPECT_GE(extents.y, 0);
  EXPECT_LE(extents.x + extents.width, width);
  EXPECT_LE(extents.y + extents.height, height);
}

struct Surface {
  explicit Surface(cairo_surface_t* s) : surface(s) {}
  ~Surface() { cairo_surface_destroy(surface); }
  cairo_surface_t* surface;
};

struct Region {
  explicit Region(cairo_region_t* r) : region(r) {}
  ~Region() { cairo_region_destroy(region); }
  cairo_region_t* region;
};

TEST(RegionOfVisiblePixels, HoldsExactlyThePixelsWithAlphaAboveZero) {
  // A drawn outline with soft edges, a hole, and single faint pixels
  // (alpha 1 still shows) at the corners and edges.
  const int w = 97, h = 61;
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
  cairo_t* cr = cairo_create(s.surface);
  cairo_arc(cr, 48, 30, 27, 0, 6.3);
  cairo_set_source_rgba(cr, 0.9, 0.4, 0.1, 0.8);
  cairo_fill(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr, 40, 22, 9, 7);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_flush(s.surface);
  auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s.surface));
  int strideWords = cairo_image_surface_get_stride(s.surface) / 4;
  for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}, {5, 30}})
    pixels[y * strideWords + x] = 0x01000000u;
  cairo_surface_mark_dirty(s.surface);

  Region r(RegionOfVisiblePixels(s.surface));
  ExpectRegionMatchesAlpha(r.region, pixels, w, h, strideWords);
}

TEST(RegionOfVisiblePixels, ReadsRowsByStrideNotWidth) {
  // Rows padded with opaque garbage beyond the width must not leak into
  // the region, nor shift the rows below.
  const int w = 5, h = 4, strideWords = 8;
  std::vector<uint32_t> data(strideWords * h, 0xFFFFFFFFu);
  const char* rows[] = {"#..#.", ".##..", ".....", "#####"};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) data[y * strideWords + x] = rows[y][x] == '#' ? 0xFF102030u : 0;
  Surface s(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(data.data()), CAIRO_FORMAT_ARGB32, w,
                                                h, strideWords * 4));
  Region r(RegionOfVisiblePixels(s.surface));
  ExpectRegionMatchesAlpha(r.region, data.data(), w, h, strideWords);
}

TEST(RegionOfVisiblePixels, MergesEqualRowsIntoFewRectangles) {
  // A full-size opaque picture is one rectangle; three vertical stripes
  // with a gap row between two bands are six.
  struct Case {
    int width, height;
    int stripes;    // vertical opaque stripes, 0: all opaque
    int gapRow;     // a transparent row, or -1
    int expected;   // rectangles
  };
  for (const Case& c : {Case{1334, 725, 0, -1, 1}, Case{300, 200, 3, -1, 3}, Case{300, 200, 3, 100, 6}}) {
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, c.width, c.height));
    cairo_t* cr = cairo_create(s.surface);
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    if (c.stripes == 0) {
      cairo_paint(cr);
    } else {
      for (int i = 0; i < c.stripes; ++i) cairo_rectangle(cr, 10 + i * 40, 0, 20, c.height);
      cairo_fill(cr);
    }
    if (c.gapRow >= 0) {
      cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
      cairo_rectangle(cr, 0, c.gapRow, c.width, 1);
      cairo_fill(cr);
    }
    cairo_destroy(cr);
    Region r(RegionOfVisiblePixels(s.surface));
    EXPECT_EQ(cairo_region_num_rectangles(r.region), c.expected) << c.width << "x" << c.height;
  }
}

TEST(RegionOfVisiblePixels, SurfacesWithoutAlphaOrPixels) {
  Region none(RegionOfVisiblePixels(nullptr));
  EXPECT_TRUE(cairo_region_is_empty(none.region));

  Surface clear(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 30));
  Region empty(RegionOfVisiblePixels(clear.surface));
  EXPECT_TRUE(cairo_region_is_empty(empty.region));

  // An opaque format shows every pixel whatever its bytes say.
  Surface rgb(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 30));
  Region all(RegionOfVisiblePixels(rgb.surface));
  cairo_rectangle_int_t whole{0, 0, 40, 30};
  EXPECT_EQ(cairo_region_contains_rectangle(all.region, &whole), CAIRO_REGION_OVERLAP_IN);
  EXPECT_EQ(cairo_region_num_rectangles(all.region), 1);
}

}  // namespace
