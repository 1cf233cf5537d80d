#include <cairo.h>
#include <gtest/gtest.h>

#include "framework/window_query.h"
#include "test_dialogs.h"

namespace {

uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
}

using LayeredWindow = HeadlessTest;

TEST_F(LayeredWindow, ShowsNothingUntilItGetsALayeredCall) {
  CDialog dialog;
  ASSERT_TRUE(dialog.Create(kTestDialog));
  dialog.ModifyStyleEx(0, WS_EX_LAYERED);
  backend->Pump();
  EXPECT_EQ(PresentedSurface(dialog.m_hWnd), nullptr);
}

TEST_F(LayeredWindow, PictureIsShownPremultipliedAtItsOwnSize) {
  CDialog dialog;
  ASSERT_TRUE(dialog.Create(kTestDialog));
  dialog.MoveWindow(10, 20, 50, 50);
  dialog.ModifyStyleEx(0, WS_EX_LAYERED);
  HDC screen = GetDC(dialog.m_hWnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 4);
  SelectObject(memory, bitmap);
  cairo_t* cr = DcBeginDraw(memory);
  cairo_set_source_rgba(cr, 1, 0, 0, 0.5);  // half-transparent red
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr);
  DcEndDraw(memory, cr);
  POINT at{30, 40}, from{0, 0};
  SIZE size{8, 4};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ASSERT_TRUE(UpdateLayeredWindow(dialog.m_hWnd, screen, &at, &size, memory, &from, 0, &blend, ULW_ALPHA));
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(dialog.m_hWnd, screen);
  CRect r;
  dialog.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(30, 40, 38, 44));
  cairo_surface_t* shown = PresentedSurface(dialog.m_hWnd);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(PixelAt(shown, 3, 2), 0x80800000u);
  // On a black screen, half red.
  EXPECT_EQ(backend->ScreenPixel(33, 42), 0xFF800000u);
}

TEST_F(LayeredWindow, ColourKeyMakesExactlyTheKeyPixelsTransparent) {
  CDialog dialog;
  ASSERT_TRUE(dialog.Create(kTestDialog));
  dialog.ModifyStyleEx(0, WS_EX_LAYERED);
  SetLayeredWindowAttributes(dialog.m_hWnd, RGB(240, 240, 240), 255, LWA_COLORKEY | LWA_ALPHA);
  backend->Pump();
  cairo_surface_t* shown = PresentedSurface(dialog.m_hWnd);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(PixelAt(shown, 1, 1), 0u);  // the dialog's face colour is the key
  CRect button;
  dialog.GetDlgItem(50)->GetWindowRect(&button);
  CRect window;
  dialog.GetWindowRect(&window);
  EXPECT_EQ(PixelAt(shown, button.left - window.left + 2, button.top - window.top + 2) >> 24, 0xFFu);
}

}  // namespace
