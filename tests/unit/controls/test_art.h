// Pictures with known colours for the controls' tests: PNG sprite strips
// and 24-bit BMP files, made in memory.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "framework/wintypes.h"

// 0xFFRRGGBB, as the headless screen reports pixels.
inline uint32_t Argb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

// A strip `width` × `height` whose four frames (height / 4 rows each) are
// filled with frames[0..3]; rows below the fourth frame get `leftover`.
inline std::vector<unsigned char> StripPng(int width, int height, const uint32_t frames[4], uint32_t leftover) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  int frameHeight = height / 4;
  for (int y = 0; y < height; ++y) {
    int frame = y / frameHeight;
    uint32_t colour = frame < 4 ? frames[frame] : leftover;
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < width; ++x) row[x] = colour;
  }
  cairo_surface_mark_dirty(surface);
  std::vector<unsigned char> bytes;
  cairo_surface_write_to_png_stream(
      surface,
      [](void* closure, const unsigned char* chunk, unsigned int length) {
        auto* out = static_cast<std::vector<unsigned char>*>(closure);
        out->insert(out->end(), chunk, chunk + length);
        return CAIRO_STATUS_SUCCESS;
      },
      &bytes);
  cairo_surface_destroy(surface);
  return bytes;
}

// A 24-bit bottom-up BMP file whose pixel (x, y) is colour(x, y).
inline std::vector<unsigned char> Bmp24(int width, int height, const std::function<uint32_t(int, int)>& colour) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t pixelOffset = 14 + 40, fileSize = pixelOffset + static_cast<uint32_t>(rowBytes * height);
  std::vector<unsigned char> b(fileSize, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, fileSize);
  put32(10, pixelOffset);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  for (int y = 0; y < height; ++y) {
    unsigned char* row = &b[pixelOffset + static_cast<size_t>(rowBytes) * (height - 1 - y)];
    for (int x = 0; x < width; ++x) {
      uint32_t c = colour(x, y);
      row[x * 3] = c & 0xFF;
      row[x * 3 + 1] = (c >> 8) & 0xFF;
      row[x * 3 + 2] = (c >> 16) & 0xFF;
    }
  }
  return b;
}
