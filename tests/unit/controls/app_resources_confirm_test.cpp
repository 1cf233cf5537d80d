#include <gtest/gtest.h>

#include <cairo.h>

#include <tuple>
#include <utility>

#include "controls/confirm_dlg.h"
#include "controls_fixture.h"
#include "res/app_resources.h"

namespace {

// The box as the shell shows it: the application's own template 172,
// strips 175 and 176 and bitmap 177.
class ConfirmWithAppResources : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    AfxSetResourceHandle(nullptr);  // the executable's module
    RegisterApplicationResources();
  }
  void TearDown() override {
    // Later tests must not find these under the executable's module.
    HMODULE exe = AfxGetInstanceHandle();
    UnregisterResource(exe, RT_DIALOG, CConfirmDlg::IDD);
    for (UINT id : {175u, 176u}) UnregisterResource(exe, L"PNG", id);
    UnregisterResource(exe, RT_BITMAP, 177);
    ControlsTest::TearDown();
  }
};

TEST_F(ConfirmWithAppResources, ShowsThePictureAndAnswersBothButtons) {
  CBitmap back;
  ASSERT_TRUE(back.LoadBitmap(177));
  cairo_surface_t* picture = BitmapSurface(back);
  ASSERT_NE(picture, nullptr);
  ASSERT_EQ(cairo_image_surface_get_width(picture), 256);
  ASSERT_EQ(cairo_image_surface_get_height(picture), 110);
  auto pictureAt = [&](int x, int y) {
    cairo_surface_flush(picture);
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(picture) +
                                             y * cairo_image_surface_get_stride(picture))[x] | 0xFF000000u;
  };

  for (auto [x, y, expected] : {std::tuple{150, 80, INT_PTR{IDCANCEL}}, std::tuple{60, 80, INT_PTR{IDOK}}}) {
    CConfirmDlg box;
    backend->SetIdleHandler([&, x = x, y = y] {
      CRect r;
      box.GetWindowRect(&r);
      EXPECT_EQ(r.Width(), 256);
      EXPECT_EQ(r.Height(), 110);
      // Outside the texts and buttons the picture shows as it is.
      for (auto [px, py] : {std::pair{3, 3}, std::pair{250, 104}, std::pair{125, 60}})
        EXPECT_EQ(backend->ScreenPixel(r.left + px, r.top + py), pictureAt(px, py)) << px << "," << py;
      // The frames cover the picture where the buttons are drawn.
      EXPECT_NE(backend->ScreenPixel(r.left + 76, r.top + 84), pictureAt(76, 84));
      EXPECT_NE(backend->ScreenPixel(r.left + 176, r.top + 84), pictureAt(176, 84));
      backend->Click(r.left + x, r.top + y);
    });
    EXPECT_EQ(box.DoModal(), expected) << x << "," << y;
    backend->SetIdleHandler(nullptr);
  }
}

}  // namespace
