#include "image_decode.h"

#include <cairo.h>
#include <png.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Pictures larger than this are refused rather than allocated: no picture
// of the shell comes near it, and a forged header must not exhaust memory.
constexpr uint32_t kMaxSide = 16384;
constexpr uint64_t kMaxPixels = 32ull * 1024 * 1024;

bool SizeAcceptable(uint32_t width, uint32_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<uint64_t>(width) * height <= kMaxPixels;
}

// Premultiplies one channel by alpha with rounding, as cairo does.
inline uint32_t Premultiply(uint32_t alpha, uint32_t channel) {
  uint32_t t = alpha * channel + 0x80;
  return (t + (t >> 8)) >> 8;
}

cairo_surface_t* NewArgbSurface(uint32_t width, uint32_t height) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  return surface;
}

// --- PNG -------------------------------------------------------------------

struct PngInput {
  const unsigned char* data;
  size_t size;
  size_t offset;
};

void PngRead(png_structp png, png_bytep out, size_t count) {
  PngInput* in = static_cast<PngInput*>(png_get_io_ptr(png));
  if (count > in->size - in->offset) png_error(png, "truncated data");
  std::memcpy(out, in->data + in->offset, count);
  in->offset += count;
}

void PngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngWarning(png_structp, png_const_charp) {}

// Reads the whole picture as 8-bit RGBA rows into `rgba`. Everything that
// owns memory lives in the caller's frame, so a libpng error (a longjmp
// back to this function) skips no destructor. Any error, a bad CRC in a
// critical chunk included, fails the whole decode: nothing half decoded
// is ever returned.
bool ReadPngRgba(png_structp png, png_infop info, std::vector<unsigned char>& rgba,
                 std::vector<png_bytep>& rows, uint32_t& width, uint32_t& height) {
  if (setjmp(png_jmpbuf(png))) return false;

  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  if (!SizeAcceptable(width, height)) return false;

  int colorType = png_get_color_type(png, info);
  png_set_expand(png);  // palette to RGB, low grey depths to 8 bits, tRNS to alpha
  png_set_scale_16(png);  // 16-bit samples rounded to 8 bits
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

  rgba.resize(static_cast<size_t>(width) * height * 4);
  rows.resize(height);
  for (uint32_t y = 0; y < height; ++y) rows[y] = rgba.data() + static_cast<size_t>(y) * width * 4;
  png_read_image(png, rows.data());
  // Reads up to IEND, so damage after the pixel data is caught as well.
  png_read_end(png, nullptr);
  return true;
}

}  // namespace

cairo_surface_t* DecodePngToSurface(const void* data, size_t size) {
  if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  PngInput input{static_cast<const unsigned char*>(data), size, 0};
  png_set_read_fn(png, &input, PngRead);

  std::vector<unsigned char> rgba;
  std::vector<png_bytep> rows;
  uint32_t width = 0, height = 0;
  bool ok = ReadPngRgba(png, info, rgba, rows, width, height);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) return nullptr;

  cairo_surface_t* surface = NewArgbSurface(width, height);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* pixels = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  for (uint32_t y = 0; y < height; ++y) {
    const unsigned char* in = rgba.data() + static_cast<size_t>(y) * width * 4;
    uint32_t* out = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * stride);
    for (uint32_t x = 0; x < width; ++x, in += 4) {
      uint32_t a = in[3];
      out[x] = (a << 24) | (Premultiply(a, in[0]) << 16) | (Premultiply(a, in[1]) << 8) | Premultiply(a, in[2]);
    }
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}

// --- BMP -------------------------------------------------------------------

namespace {

uint16_t Le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

}  // namespace

cairo_surface_t* DecodeBmpToSurface(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (!bytes || size < kFileHeaderSize + 40 || bytes[0] != 'B' || bytes[1] != 'M') return nullptr;
  uint32_t pixelOffset = Le32(bytes + 10);
  const unsigned char* header = bytes + kFileHeaderSize;
  uint32_t headerSize = Le32(header);
  if (headerSize < 40 || headerSize > size - kFileHeaderSize) return nullptr;

  int32_t width = static_cast<int32_t>(Le32(header + 4));
  int32_t signedHeight = static_cast<int32_t>(Le32(header + 8));
  uint16_t planes = Le16(header + 12);
  uint16_t bitsPerPixel = Le16(header + 14);
  uint32_t compression = Le32(header + 16);
  if (planes != 1 || (bitsPerPixel != 24 && bitsPerPixel != 32)) return nullptr;
  if (compression == kBiBitfields) {
    // Only the ordinary layout (blue in the low byte) is taken. The masks
    // follow a 40-byte header, or sit inside a larger one.
    size_t maskAt = kFileHeaderSize + 40;
    if (bitsPerPixel != 32 || size < maskAt + 12) return nullptr;
    if (Le32(bytes + maskAt) != 0x00FF0000 || Le32(bytes + maskAt + 4) != 0x0000FF00 ||
        Le32(bytes + maskAt + 8) != 0x000000FF)
      return nullptr;
  } else if (compression != kBiRgb) {
    return nullptr;
  }
  // Negative height: rows stored top-down; positive: bottom-up.
  bool topDown = signedHeight < 0;
  if (width <= 0 || signedHeight == 0 || signedHeight == INT32_MIN) return nullptr;
  uint32_t w = static_cast<uint32_t>(width);
  uint32_t h = static_cast<uint32_t>(topDown ? -signedHeight : signedHeight);
  if (!SizeAcceptable(w, h)) return nullptr;

  size_t rowBytes = ((static_cast<size_t>(w) * bitsPerPixel + 31) / 32) * 4;
  if (pixelOffset > size || rowBytes * h > size - pixelOffset) return nullptr;

  cairo_surface_t* surface = NewArgbSurface(w, h);
  if (!surface) return nullptr;
  cairo_surface_flush(surface);
  unsigned char* pixels = cairo_image_surface_get_data(surface);
  int stride = cairo_image_surface_get_stride(surface);
  size_t step = bitsPerPixel / 8;
  for (uint32_t y = 0; y < h; ++y) {
    uint32_t sourceRow = topDown ? y : h - 1 - y;
    const unsigned char* in = bytes + pixelOffset + sourceRow * rowBytes;
    uint32_t* out = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(y) * stride);
    // The fourth byte of 32-bit pixels is not alpha here: the picture is opaque.
    for (uint32_t x = 0; x < w; ++x, in += step)
      out[x] = 0xFF000000u | (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[1]) << 8) | in[0];
  }
  cairo_surface_mark_dirty(surface);
  return surface;
}
