// The application's embedded resources: the pictures' sizes and the parts
// of them the windows rely on, and the dialog templates.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "framework/app.h"
#include "framework/dialog_template.h"
#include "framework/image_decode.h"
#include "framework/resources.h"
#include "mainwnd/gdiplus_png.h"
#include "res/app_resources.h"

namespace {

class AppResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterApplicationResources(); }

  static std::unique_ptr<Gdiplus::Image> Png(UINT id) {
    return std::unique_ptr<Gdiplus::Image>(LoadPngImage(AfxGetInstanceHandle(), id));
  }
  static const void* Bytes(LPCWSTR type, UINT id, size_t* size) {
    HMODULE module = AfxGetInstanceHandle();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    *size = SizeofResource(module, found);
    return LockResource(LoadResource(module, found));
  }
};

uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
  return reinterpret_cast<const uint32_t*>(row)[x];
}
int Alpha(cairo_surface_t* s, int x, int y) { return static_cast<int>(PixelAt(s, x, y) >> 24); }

// Checks every pixel of a rectangle; answers the first offending one.
template <typename Predicate>
std::string FirstPixelFailing(cairo_surface_t* s, int x0, int y0, int w, int h, Predicate ok) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (!ok(PixelAt(s, x, y))) return std::to_string(x) + "," + std::to_string(y);
  return "";
}

TEST_F(AppResourcesTest, PicturesHaveTheirSizes) {
  struct Case {
    UINT id;
    UINT width, height;
  };
  const Case cases[] = {{155, 1334, 725}, {160, 54, 216}, {162, 39, 156}, {175, 74, 104}, {176, 74, 104}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    CGdiPlusPngResource holder;
    ASSERT_TRUE(holder.Load(c.id, AfxGetInstanceHandle()));
    EXPECT_EQ(holder.GetWidth(), c.width);
    EXPECT_EQ(holder.GetHeight(), c.height);
  }
}

TEST_F(AppResourcesTest, BackgroundIsShapedWithOpaqueButtonAndPagePlaces) {
  auto image = Png(155);
  ASSERT_NE(image, nullptr);
  cairo_surface_t* s = image->Surface();
  ASSERT_NE(s, nullptr);
  auto opaque = [](uint32_t p) { return (p >> 24) == 255; };

  // The corners and the strip above the body's right part let the desktop through.
  for (auto corner : {std::pair<int, int>{0, 0}, {1333, 0}, {0, 724}, {1333, 724}, {800, 30}, {1300, 20}})
    EXPECT_EQ(PixelAt(s, corner.first, corner.second), 0u) << corner.first << "," << corner.second;
  // The minimise (39 × 39) and close (54 × 54) frames and the framed page sit on opaque picture.
  EXPECT_EQ(FirstPixelFailing(s, 1173, 137, 39, 39, opaque), "");
  EXPECT_EQ(FirstPixelFailing(s, 1208, 115, 54, 54, opaque), "");
  EXPECT_EQ(FirstPixelFailing(s, 556, 173, 639, 454, opaque), "");
  // The outline has soft, translucent edges all round.
  size_t translucent = 0;
  for (int y = 0; y < 725; ++y)
    for (int x = 0; x < 1334; ++x) {
      int a = Alpha(s, x, y);
      if (a > 0 && a < 255) ++translucent;
    }
  EXPECT_GT(translucent, 20000u);
  for (auto edge : {std::pair<int, int>{28, 400}, {1306, 400}, {667, 700}}) {
    int a = Alpha(s, edge.first, edge.second);
    EXPECT_GT(a, 0) << edge.first << "," << edge.second;
    EXPECT_LT(a, 255) << edge.first << "," << edge.second;
  }
}

TEST_F(AppResourcesTest, SpriteFramesDifferAndShowSomething) {
  struct Case {
    UINT id;
    int frameHeight;
  };
  for (const Case& c : {Case{160, 54}, Case{162, 39}, Case{175, 26}, Case{176, 26}}) {
    SCOPED_TRACE(c.id);
    auto image = Png(c.id);
    ASSERT_NE(image, nullptr);
    cairo_surface_t* s = image->Surface();
    int w = cairo_image_surface_get_width(s);
    auto frame = [&](int k) {
      std::string bytes;
      for (int y = k * c.frameHeight; y < (k + 1) * c.frameHeight; ++y)
        bytes.append(reinterpret_cast<const char*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s)),
                     w * 4);
      return bytes;
    };
    for (int k = 0; k < 4; ++k) {
      int opaquePixels = 0;
      for (int y = k * c.frameHeight; y < (k + 1) * c.frameHeight; ++y)
        for (int x = 0; x < w; ++x) opaquePixels += Alpha(s, x, y) == 255;
      EXPECT_GT(opaquePixels, w * c.frameHeight / 3) << "frame " << k;
      for (int j = 0; j < k; ++j) EXPECT_NE(frame(j), frame(k)) << "frames " << j << " and " << k;
    }
  }
}

TEST_F(AppResourcesTest, ConfirmationBitmapIsA24BitDarkPicture) {
  size_t size = 0;
  const unsigned char* bmp = static_cast<const unsigned char*>(Bytes(RT_BITMAP, 177, &size));
  ASSERT_NE(bmp, nullptr);
  ASSERT_GT(size, 54u);
  EXPECT_EQ(bmp[28] | (bmp[29] << 8), 24) << "bits per pixel";
  cairo_surface_t* s = DecodeBmpToSurface(bmp, size);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(s), 256);
  EXPECT_EQ(cairo_image_surface_get_height(s), 110);
  // Dark wherever the white title (79,10 100 × 30) and question (28,34 200 × 34 above the buttons) go.
  auto dark = [](uint32_t p) {
    double luma = 0.3 * ((p >> 16) & 0xFF) + 0.59 * ((p >> 8) & 0xFF) + 0.11 * (p & 0xFF);
    return luma < 110;
  };
  EXPECT_EQ(FirstPixelFailing(s, 79, 10, 100, 18, dark), "");
  EXPECT_EQ(FirstPixelFailing(s, 28, 36, 200, 30, dark), "");
  cairo_surface_destroy(s);
}

TEST_F(AppResourcesTest, IconIsASquarePng) {
  size_t size = 0;
  const void* bytes = Bytes(RT_GROUP_ICON, 128, &size);
  ASSERT_NE(bytes, nullptr);
  cairo_surface_t* s = DecodePngToSurface(bytes, size);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
  EXPECT_GE(cairo_image_surface_get_width(s), 32);
  EXPECT_EQ(Alpha(s, 0, 0), 0) << "round icon, transparent corners";
  cairo_surface_destroy(s);
}

const DialogTemplate* Template(UINT id) {
  HMODULE module = AfxGetInstanceHandle();
  return static_cast<const DialogTemplate*>(LockResource(LoadResource(module, FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG))));
}

TEST_F(AppResourcesTest, DialogTemplates) {
  struct Case {
    UINT id;
    DWORD style, exStyle;
    short cx, cy;
    const wchar_t* font;
    WORD points;
    BYTE charset;
    std::vector<UINT> items;
  };
  const Case cases[] = {
      {102, 0x9000004C, 0x40000, 561, 386, L"MS Shell Dlg", 9, 1, {}},
      {132, 0x9000004C, 0, 387, 333, L"MS Shell Dlg", 9, 1, {1005, 1006, 1000}},
      {172, 0x90080044, 0, 256, 110, L"宋体", 10, 134, {1002, 1008, 1009, 1003}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const DialogTemplate* t = Template(c.id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->style, c.style);
    EXPECT_EQ(t->exStyle, c.exStyle);
    EXPECT_EQ(t->cx, c.cx);
    EXPECT_EQ(t->cy, c.cy);
    EXPECT_STREQ(t->caption, L"");
    EXPECT_STREQ(t->fontName, c.font);
    EXPECT_EQ(t->pointSize, c.points);
    EXPECT_EQ(t->weight, 400);
    EXPECT_EQ(t->charset, c.charset);
    ASSERT_EQ(t->itemCount, c.items.size());
    for (size_t i = 0; i < c.items.size(); ++i) EXPECT_EQ(t->items[i].id, c.items[i]);
  }

  struct Item {
    UINT dialog;
    size_t index;
    const wchar_t* className;
    const wchar_t* text;  // null: not checked
    DWORD style, exStyle;
    short x, y, cx, cy;
  };
  const Item items[] = {
      {132, 0, L"Button", nullptr, 0x5001018B, 0x20, 366, 0, 14, 16},
      {132, 1, L"Button", nullptr, 0x5001008B, 0x20, 347, 0, 13, 14},
      {132, 2, L"{8856F961-340A-11D0-A96B-00C04FD705A2}", nullptr, 0x40000000, 0, 0, 17, 372, 265},
      {172, 0, L"Static", L"Static", 0x50020001, 0x20, 35, 7, 76, 9},
      {172, 1, L"Button", L"Button1", 0x50010000, 0, 18, 35, 50, 14},
      {172, 2, L"Button", L"Button2", 0x50010000, 0, 80, 35, 50, 14},
      {172, 3, L"Static", L"确定要退出游戏吗？", 0x50020001, 0x20, 16, 17, 110, 24},
  };
  for (const Item& c : items) {
    const DialogItemTemplate& item = Template(c.dialog)->items[c.index];
    SCOPED_TRACE(item.id);
    EXPECT_STREQ(item.className, c.className);
    if (c.text) {
      EXPECT_STREQ(item.text, c.text);
    }
    EXPECT_EQ(item.style, c.style);
    EXPECT_EQ(item.exStyle, c.exStyle);
    EXPECT_EQ(item.x, c.x);
    EXPECT_EQ(item.y, c.y);
    EXPECT_EQ(item.cx, c.cx);
    EXPECT_EQ(item.cy, c.cy);
  }
  // The browser's initialisation data: a default state with no address.
  const DialogItemTemplate& browser = Template(132)->items[2];
  ASSERT_NE(browser.initData, nullptr);
  ASSERT_GE(browser.initDataSize, 4u);
  const unsigned char* data = static_cast<const unsigned char*>(browser.initData);
  uint32_t recordSize = data[0] | (data[1] << 8) | (data[2] << 16) | (static_cast<uint32_t>(data[3]) << 24);
  EXPECT_EQ(recordSize, browser.initDataSize);
  EXPECT_EQ(std::memcmp(data + browser.initDataSize - 4, "\0\0\0\0", 4), 0) << "address length 0";
}

}  // namespace
