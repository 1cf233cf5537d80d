// Start-up of the image library and drawing images into device contexts.
#include <cairo.h>
#include <gtest/gtest.h>

#include <memory>

#include "framework/gdi.h"
#include "framework/gdiplus.h"
#include "mainwnd/gdiplus_png.h"
#include "test_resources.h"

namespace {

using namespace Gdiplus;

TEST(GdiplusStartupTest, ArgumentsVersionAndTheFailureHook) {
  GdiplusStartupInput plain;
  GdiplusStartupInput version2;
  version2.GdiplusVersion = 2;
  GdiplusStartupInput noThread(nullptr, TRUE, FALSE);
  ULONG_PTR token = 77;

  EXPECT_EQ(GdiplusStartup(nullptr, &plain, nullptr), InvalidParameter);
  EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
  EXPECT_EQ(GdiplusStartup(&token, &version2, nullptr), UnsupportedGdiplusVersion);
  EXPECT_EQ(token, 0u);
  EXPECT_EQ(GdiplusStartup(&token, &noThread, nullptr), InvalidParameter);

  size_t active = GdiplusActiveStartupCount();
  SetGdiplusStartupFailsForTesting(true);
  EXPECT_EQ(GdiplusStartup(&token, &plain, nullptr), GenericError);
  EXPECT_EQ(token, 0u);
  SetGdiplusStartupFailsForTesting(false);
  EXPECT_EQ(GdiplusActiveStartupCount(), active);

  ULONG_PTR first = 0, second = 0;
  ASSERT_EQ(GdiplusStartup(&first, &plain, nullptr), Ok);
  ASSERT_EQ(GdiplusStartup(&second, &plain, nullptr), Ok);
  EXPECT_NE(first, 0u);
  EXPECT_NE(first, second) << "each start-up has its own token";
  EXPECT_EQ(GdiplusActiveStartupCount(), active + 2);
  GdiplusShutdown(first);
  GdiplusShutdown(second);
  EXPECT_EQ(GdiplusActiveStartupCount(), active);
}

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::vector<unsigned char>*>(closure)->insert(static_cast<std::vector<unsigned char>*>(closure)->end(),
                                                             data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// A 6 × 16 strip of four 6 × 4 frames, each one colour (frame k: blue 50k,
// alpha 255 except frame 1, which is half transparent red).
std::vector<unsigned char> StripPng() {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 6, 16);
  cairo_t* cr = cairo_create(s);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  for (int k = 0; k < 4; ++k) {
    if (k == 1)
      cairo_set_source_rgba(cr, 1, 0, 0, 128 / 255.0);
    else
      cairo_set_source_rgba(cr, 0, 0, 50 * k / 255.0, 1);
    cairo_rectangle(cr, 0, 4 * k, 6, 4);
    cairo_fill(cr);
  }
  cairo_destroy(cr);
  std::vector<unsigned char> png;
  cairo_surface_write_to_png_stream(s, AppendBytes, &png);
  cairo_surface_destroy(s);
  return png;
}

uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const uint32_t*>(row)[x];
}

class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_png = StripPng();
    m_resource = std::make_unique<ScopedPngResource>(700, m_png);
    m_image.reset(LoadPngImage(TestModule(), 700));
    ASSERT_NE(m_image, nullptr);
    ASSERT_EQ(m_image->GetHeight(), 16u);
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateCompatibleBitmap(m_dc, 10, 20);
    m_previous = SelectObject(m_dc, m_bitmap);
  }
  void TearDown() override {
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
  }
  cairo_surface_t* Target() { return BitmapSurface(m_bitmap); }
  void FillTarget(double r, double g, double b, double a) {
    cairo_t* cr = cairo_create(Target());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, r, g, b, a);
    cairo_paint(cr);
    cairo_destroy(cr);
  }

  std::vector<unsigned char> m_png;
  std::unique_ptr<ScopedPngResource> m_resource;
  std::unique_ptr<Image> m_image;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_previous = nullptr;
};

TEST_F(GraphicsTest, ThreePointFormCopiesThePremultipliedPixelsUnscaled) {
  FillTarget(0, 0, 0, 0);
  Graphics graphics(m_dc);
  Point corners[3] = {Point(2, 1), Point(8, 1), Point(2, 17)};
  ASSERT_EQ(graphics.DrawImage(m_image.get(), corners, 3), Ok);
  cairo_surface_t* source = m_image->Surface();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(Target(), x + 2, y + 1), PixelAt(source, x, y)) << x << "," << y;
  EXPECT_EQ(PixelAt(Target(), 1, 1), 0u) << "nothing outside the parallelogram";
  EXPECT_EQ(PixelAt(Target(), 8, 5), 0u);
  EXPECT_EQ(PixelAt(Target(), 2, 17), 0u);
  EXPECT_EQ(PixelAt(Target(), 2, 5), 0x80800000u) << "frame 1: half-transparent red, premultiplied";

  EXPECT_EQ(graphics.DrawImage(m_image.get(), corners, 4), InvalidParameter);
  EXPECT_EQ(graphics.DrawImage(nullptr, corners, 3), InvalidParameter);
  EXPECT_EQ(graphics.GetLastStatus(), InvalidParameter);
  EXPECT_EQ(graphics.GetLastStatus(), Ok);
}

TEST_F(GraphicsTest, SourceRectangleDrawsOneFrameOverWhatIsThere) {
  struct Case {
    int frame;
    uint32_t expected;  // over opaque green
  };
  // Frame 1 is red at alpha 128: OVER green gives red 128, green 255 * 127 / 255.
  const Case cases[] = {{0, 0xFF000000u}, {1, 0xFF807F00u}, {2, 0xFF000064u}, {3, 0xFF000096u}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frame);
    FillTarget(0, 1, 0, 1);
    Graphics graphics(m_dc);
    ASSERT_EQ(graphics.DrawImage(m_image.get(), Rect(1, 2, 6, 4), 0, 4 * c.frame, 6, 4, UnitPixel), Ok);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 10; ++x) {
        bool inside = x >= 1 && x < 7 && y >= 2 && y < 6;
        uint32_t want = inside ? c.expected : 0xFF00FF00u;
        ASSERT_EQ(PixelAt(Target(), x, y), want) << x << "," << y;
      }
  }
}

TEST_F(GraphicsTest, ScaledFrameNeverBlendsInNeighbouringFrames) {
  FillTarget(0, 0, 0, 0);
  std::unique_ptr<Graphics> graphics(Graphics::FromHDC(m_dc));
  ASSERT_NE(graphics, nullptr);
  // Frame 2 stretched to 10 × 20: every pixel is frame 2's colour.
  ASSERT_EQ(graphics->DrawImage(m_image.get(), Rect(0, 0, 10, 20), 0, 8, 6, 4, UnitPixel), Ok);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(PixelAt(Target(), x, y), 0xFF000064u) << x << "," << y;
  EXPECT_EQ(graphics->DrawImage(m_image.get(), Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPoint), InvalidParameter);
}

}  // namespace
