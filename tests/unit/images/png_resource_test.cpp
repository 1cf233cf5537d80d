// Images from "PNG" resources: the holder and the loader, against the
// PngSuite corpus and hand-made resources.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

#include "framework/global_memory.h"
#include "mainwnd/gdiplus_png.h"
#include "test_resources.h"

namespace {

class PngResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&m_token, &input, nullptr), Gdiplus::Ok);
    m_blocksBefore = GlobalLiveBlockCount();
  }
  void TearDown() override {
    EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore) << "a memory block was left allocated";
    Gdiplus::GdiplusShutdown(m_token);
  }

  static void ExpectEmpty(const CGdiPlusPngResource& holder) {
    EXPECT_EQ(holder.m_pImage, nullptr);
    EXPECT_EQ(holder.m_hBuffer, nullptr);
    EXPECT_EQ(holder.GetWidth(), 0u);
    EXPECT_EQ(holder.GetHeight(), 0u);
  }

  ULONG_PTR m_token = 0;
  size_t m_blocksBefore = 0;
};

struct SuiteRow {
  std::string file;
  bool corrupt;
  UINT width;
  UINT height;
};

std::vector<SuiteRow> ReadExpectedTsv() {
  std::ifstream in(PngSuiteDir() + "expected.tsv");
  std::vector<SuiteRow> rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    SuiteRow row;
    std::string width, height;
    if (!std::getline(fields, row.file, '\t') || !std::getline(fields, width, '\t') || !std::getline(fields, height))
      continue;
    row.corrupt = width == "corrupt";
    row.width = row.corrupt ? 0 : static_cast<UINT>(std::stoul(width));
    row.height = row.corrupt ? 0 : static_cast<UINT>(std::stoul(height));
    rows.push_back(row);
  }
  return rows;
}

TEST_F(PngResourceTest, EveryPngSuiteImageLoadsWithItsSizeAndEveryCorruptOneIsRejected) {
  std::vector<SuiteRow> rows = ReadExpectedTsv();
  size_t valid = 0, corrupt = 0;
  for (const SuiteRow& row : rows) {
    SCOPED_TRACE(row.file);
    std::vector<unsigned char> bytes = ReadFileBytes(PngSuiteDir() + row.file);
    ASSERT_FALSE(bytes.empty());
    ScopedPngResource resource(500, bytes);

    CGdiPlusPngResource holder;
    bool loaded = holder.Load(500, TestModule());
    std::unique_ptr<Gdiplus::Image> image(LoadPngImage(TestModule(), 500));
    ASSERT_NE(image, nullptr);
    if (row.corrupt) {
      ++corrupt;
      EXPECT_FALSE(loaded);
      ExpectEmpty(holder);
      EXPECT_EQ(image->GetWidth(), 0u);
      EXPECT_EQ(image->GetHeight(), 0u);
      EXPECT_NE(image->GetLastStatus(), Gdiplus::Ok);
    } else {
      ++valid;
      ASSERT_TRUE(loaded);
      EXPECT_EQ(holder.GetWidth(), row.width);
      EXPECT_EQ(holder.GetHeight(), row.height);
      // The block holds exactly the resource's bytes, locked once.
      ASSERT_NE(holder.m_hBuffer, nullptr);
      EXPECT_EQ(GlobalSize(holder.m_hBuffer), bytes.size());
      EXPECT_EQ(GlobalLockCount(holder.m_hBuffer), 1u);
      EXPECT_EQ(image->GetWidth(), row.width);
      EXPECT_EQ(image->GetHeight(), row.height);
      EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok);
    }
  }
  // The corpus was really read: 161 valid images (the logo included) and 14 damaged ones.
  EXPECT_EQ(valid, 161u);
  EXPECT_EQ(corrupt, 14u);
}

TEST_F(PngResourceTest, MissingZeroLengthAndNonPngResources) {
  std::vector<unsigned char> empty;
  std::vector<unsigned char> notPng = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ScopedPngResource zeroLength(601, empty);
  ScopedPngResource garbage(602, notPng);

  CGdiPlusPngResource holder;
  EXPECT_FALSE(holder.Load(600, TestModule()));  // no such id
  ExpectEmpty(holder);
  EXPECT_EQ(LoadPngImage(TestModule(), 600), nullptr);

  EXPECT_FALSE(holder.Load(601, TestModule()));
  ExpectEmpty(holder);
  // An empty block cannot be locked, so the loader gives nothing.
  EXPECT_EQ(LoadPngImage(TestModule(), 601), nullptr);

  EXPECT_FALSE(holder.Load(602, TestModule()));
  ExpectEmpty(holder);
  std::unique_ptr<Gdiplus::Image> image(LoadPngImage(TestModule(), 602));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetWidth(), 0u);
  EXPECT_EQ(image->GetHeight(), 0u);
  EXPECT_EQ(image->GetLastStatus(), Gdiplus::UnknownImageFormat);
  EXPECT_EQ(image->GetLastStatus(), Gdiplus::Ok) << "reading the status resets it";

  // The same id under another type or module is not a "PNG" of the test module.
  RegisterResource(TestModule(), RT_BITMAP, 603, notPng.data(), notPng.size());
  EXPECT_FALSE(holder.Load(603, TestModule()));
  UnregisterResource(TestModule(), RT_BITMAP, 603);
}

TEST_F(PngResourceTest, TruncatedPngIsRejectedNotHalfDecoded) {
  std::vector<unsigned char> whole = ReadFileBytes(PngSuiteDir() + "basn6a08.png");
  ASSERT_GT(whole.size(), 100u);
  // Cut inside IHDR, inside the pixel data, just before IEND, and one byte short.
  for (size_t keep : {size_t(20), whole.size() / 2, whole.size() - 12, whole.size() - 1}) {
    SCOPED_TRACE(keep);
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + keep);
    ScopedPngResource resource(610, cut);
    CGdiPlusPngResource holder;
    EXPECT_FALSE(holder.Load(610, TestModule()));
    ExpectEmpty(holder);
    std::unique_ptr<Gdiplus::Image> image(LoadPngImage(TestModule(), 610));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 0u);
  }
}

TEST_F(PngResourceTest, ReloadReleasesTheOldPictureFirstAndAFailedReloadLeavesTheHolderEmpty) {
  std::vector<unsigned char> small = ReadFileBytes(PngSuiteDir() + "basn2c08.png");
  std::vector<unsigned char> large = ReadFileBytes(PngSuiteDir() + "PngSuite.png");
  std::vector<unsigned char> damaged = ReadFileBytes(PngSuiteDir() + "xcsn0g01.png");
  ScopedPngResource a(620, small), b(621, large), c(622, damaged);

  CGdiPlusPngResource holder;
  ASSERT_TRUE(holder.Load(620, TestModule()));
  EXPECT_EQ(holder.GetWidth(), 32u);
  ASSERT_TRUE(holder.Load(621, TestModule()));
  EXPECT_EQ(holder.GetWidth(), 256u);
  EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore + 1) << "the first picture's block was freed";

  EXPECT_FALSE(holder.Load(622, TestModule()));
  ExpectEmpty(holder);
  EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore);

  ASSERT_TRUE(holder.Load(620, TestModule()));
  holder.Empty();
  ExpectEmpty(holder);
  holder.Empty();  // emptying an empty holder is harmless
  ExpectEmpty(holder);
}

TEST_F(PngResourceTest, LoadedImageKeepsItsCopyOfTheBytesUntilDeleted) {
  std::vector<unsigned char> bytes = ReadFileBytes(PngSuiteDir() + "basn6a08.png");
  ScopedPngResource resource(630, bytes);
  Gdiplus::Image* image = LoadPngImage(TestModule(), 630);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore + 1);
  delete image;
  EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore);

  {
    CGdiPlusPngResource holder;
    ASSERT_TRUE(holder.Load(630, TestModule()));
    EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore + 1);
  }
  EXPECT_EQ(GlobalLiveBlockCount(), m_blocksBefore) << "destroying a loaded holder frees its block";
}

// Straight RGBA values read with an independent decoder (ImageMagick).
struct KnownPixel {
  const char* file;
  int x, y;
  int r, g, b, a;
};

TEST_F(PngResourceTest, DecodedPixelsArePremultiplied) {
  const KnownPixel pixels[] = {
      {"basn6a08.png", 5, 3, 255, 95, 8, 41},     {"basn6a08.png", 20, 10, 192, 255, 6, 164},
      {"basn6a08.png", 31, 31, 0, 32, 255, 255},  {"basn6a08.png", 0, 0, 255, 0, 8, 0},
      {"tbbn3p08.png", 0, 0, 255, 255, 255, 0},   {"tbbn3p08.png", 16, 16, 158, 158, 158, 255},
      {"basn4a08.png", 16, 16, 123, 123, 123, 131}, {"basi6a16.png", 16, 16, 0, 0, 255, 247},
  };
  for (const KnownPixel& p : pixels) {
    SCOPED_TRACE(std::string(p.file) + " at " + std::to_string(p.x) + "," + std::to_string(p.y));
    std::vector<unsigned char> bytes = ReadFileBytes(PngSuiteDir() + p.file);
    ScopedPngResource resource(640, bytes);
    std::unique_ptr<Gdiplus::Image> image(LoadPngImage(TestModule(), 640));
    ASSERT_NE(image, nullptr);
    cairo_surface_t* surface = image->Surface();
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(cairo_image_surface_get_format(surface), CAIRO_FORMAT_ARGB32);
    const unsigned char* row =
        cairo_image_surface_get_data(surface) + p.y * cairo_image_surface_get_stride(surface);
    uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[p.x];
    auto premultiplied = [&](int c) { return static_cast<uint32_t>(std::lround(c * p.a / 255.0)); };
    uint32_t expected = (static_cast<uint32_t>(p.a) << 24) | (premultiplied(p.r) << 16) |
                        (premultiplied(p.g) << 8) | premultiplied(p.b);
    EXPECT_EQ(pixel, expected) << std::hex << pixel << " != " << expected;
  }
}

}  // namespace
