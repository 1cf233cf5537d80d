// Decoding of BMP files and of forged PNG headers.
#include <cairo.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/image_decode.h"

namespace {

void Put16(std::vector<unsigned char>& out, size_t at, uint16_t v) {
  out[at] = v & 0xFF;
  out[at + 1] = v >> 8;
}
void Put32(std::vector<unsigned char>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
}

// A BMP file of `width` × |height| pixels; pixel (x, y) counted from the
// top has blue x, green y, red 200. Rows are padded to 4 bytes.
std::vector<unsigned char> MakeBmp(int width, int height, int bits, uint32_t compression = 0) {
  int rows = height < 0 ? -height : height;
  size_t rowBytes = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  size_t offset = 14 + 40;
  std::vector<unsigned char> out(offset + rowBytes * rows, 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, static_cast<uint32_t>(offset));
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));
  Put16(out, 26, 1);
  Put16(out, 28, static_cast<uint16_t>(bits));
  Put32(out, 30, compression);
  if (bits != 24 && bits != 32) return out;  // other depths: header only matters
  for (int y = 0; y < rows; ++y) {
    int stored = height < 0 ? y : rows - 1 - y;
    unsigned char* p = out.data() + offset + stored * rowBytes;
    for (int x = 0; x < width; ++x, p += bits / 8) {
      p[0] = static_cast<unsigned char>(x);
      p[1] = static_cast<unsigned char>(y);
      p[2] = 200;
      if (bits == 32) p[3] = 0;  // not alpha: the picture stays opaque
    }
  }
  return out;
}

uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const uint32_t*>(row)[x];
}

TEST(BmpDecodeTest, UncompressedLayoutsDecodeToOpaquePixels) {
  struct Case {
    const char* name;
    int width, height, bits;
  };
  const Case cases[] = {
      {"24-bit bottom-up, padded rows", 3, 2, 24},
      {"24-bit top-down", 5, -3, 24},
      {"32-bit bottom-up", 4, 3, 32},
      {"32-bit top-down", 2, -2, 32},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<unsigned char> file = MakeBmp(c.width, c.height, c.bits);
    cairo_surface_t* s = DecodeBmpToSurface(file.data(), file.size());
    ASSERT_NE(s, nullptr);
    int rows = c.height < 0 ? -c.height : c.height;
    ASSERT_EQ(cairo_image_surface_get_width(s), c.width);
    ASSERT_EQ(cairo_image_surface_get_height(s), rows);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < c.width; ++x)
        EXPECT_EQ(PixelAt(s, x, y), 0xFF000000u | (200u << 16) | (static_cast<uint32_t>(y) << 8) | x)
            << x << "," << y;
    cairo_surface_destroy(s);
  }
}

TEST(BmpDecodeTest, DamagedOrUnsupportedFilesAreRefused) {
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<unsigned char> badMagic = MakeBmp(2, 2, 24);
  badMagic[0] = 'X';
  std::vector<unsigned char> truncated = MakeBmp(4, 4, 24);
  truncated.resize(truncated.size() - 1);
  std::vector<unsigned char> zeroWidth = MakeBmp(2, 2, 24);
  Put32(zeroWidth, 18, 0);
  std::vector<unsigned char> hugeHeight = MakeBmp(2, 2, 24);
  Put32(hugeHeight, 22, 0x7FFFFFFF);
  std::vector<unsigned char> minHeight = MakeBmp(2, 2, 24);
  Put32(minHeight, 22, 0x80000000u);
  std::vector<unsigned char> offsetPastEnd = MakeBmp(2, 2, 24);
  Put32(offsetPastEnd, 10, 0xFFFFFFF0u);
  const Case cases[] = {
      {"bad magic", badMagic},
      {"8 bits per pixel", MakeBmp(4, 4, 8)},
      {"run-length compressed", MakeBmp(2, 2, 24, 1)},
      {"pixel data one byte short", truncated},
      {"zero width", zeroWidth},
      {"forged huge height", hugeHeight},
      {"most negative height", minHeight},
      {"pixel offset past the end", offsetPastEnd},
      {"header only", std::vector<unsigned char>(badMagic.begin(), badMagic.begin() + 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DecodeBmpToSurface(c.bytes.data(), c.bytes.size()), nullptr);
  }
  EXPECT_EQ(DecodeBmpToSurface(nullptr, 100), nullptr);
}

// A PNG made of a signature, an IHDR with the given size and valid CRC,
// one IDAT of the given zlib data, and IEND.
void AppendChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  size_t start = out.size();
  out.resize(start + 4);
  uint32_t length = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) out[start + i] = (length >> (24 - 8 * i)) & 0xFF;
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, reinterpret_cast<const Bytef*>(out.data() + start + 4), static_cast<uInt>(4 + data.size()));
  for (int i = 0; i < 4; ++i) out.push_back((crc >> (24 - 8 * i)) & 0xFF);
}

std::vector<unsigned char> MakeGreyPng(uint32_t width, uint32_t height, const std::vector<unsigned char>& raw) {
  std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> ihdr(13, 0);
  for (int i = 0; i < 4; ++i) {
    ihdr[i] = (width >> (24 - 8 * i)) & 0xFF;
    ihdr[4 + i] = (height >> (24 - 8 * i)) & 0xFF;
  }
  ihdr[8] = 8;  // depth
  ihdr[9] = 0;  // grey
  AppendChunk(out, "IHDR", ihdr);
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> packed(packedSize);
  compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
  packed.resize(packedSize);
  AppendChunk(out, "IDAT", packed);
  AppendChunk(out, "IEND", {});
  return out;
}

TEST(PngDecodeTest, HandMadePngDecodesAndForgedSizesAreRefused) {
  // 2 × 2 grey: filter byte 0 then the samples of each row.
  std::vector<unsigned char> raw = {0, 10, 20, 0, 30, 40};
  std::vector<unsigned char> png = MakeGreyPng(2, 2, raw);
  cairo_surface_t* s = DecodePngToSurface(png.data(), png.size());
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(PixelAt(s, 1, 0), 0xFF141414u);
  EXPECT_EQ(PixelAt(s, 0, 1), 0xFF1E1E1Eu);
  cairo_surface_destroy(s);

  // Headers claiming enormous pictures are refused before any allocation.
  for (auto size : {std::pair<uint32_t, uint32_t>{100000, 100000}, {16384, 16384}, {1u << 30, 1}}) {
    SCOPED_TRACE(std::to_string(size.first) + "x" + std::to_string(size.second));
    std::vector<unsigned char> forged = MakeGreyPng(size.first, size.second, raw);
    EXPECT_EQ(DecodePngToSurface(forged.data(), forged.size()), nullptr);
  }
  // Pixel data shorter than the header promises.
  std::vector<unsigned char> shortData = MakeGreyPng(2, 3, raw);
  EXPECT_EQ(DecodePngToSurface(shortData.data(), shortData.size()), nullptr);
  EXPECT_EQ(DecodePngToSurface(png.data(), 7), nullptr);
  EXPECT_EQ(DecodePngToSurface(nullptr, 0), nullptr);
}

}  // namespace
