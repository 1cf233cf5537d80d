#include <cairo.h>

#include <vector>

#include "framework/resources.h"
#include "framework/window_query.h"
#include "shell_fixture.h"

namespace {

constexpr int kWidth = 1334, kHeight = 725;

uint32_t PixelAt(cairo_surface_t* s, int x, int y) {
  cairo_surface_flush(s);
  return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s))[x];
}

// The background picture decoded by cairo's own PNG reader (premultiplied).
cairo_surface_t* ReferencePicture() {
  HMODULE module = AfxGetInstanceHandle();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(155), L"PNG");
  struct Reader {
    const unsigned char* data;
    size_t size, offset;
  } reader{static_cast<const unsigned char*>(LockResource(LoadResource(module, found))), SizeofResource(module, found), 0};
  return cairo_image_surface_create_from_png_stream(
      [](void* closure, unsigned char* out, unsigned int length) {
        auto* r = static_cast<Reader*>(closure);
        if (r->offset + length > r->size) return CAIRO_STATUS_READ_ERROR;
        std::copy(r->data + r->offset, r->data + r->offset + length, out);
        r->offset += length;
        return CAIRO_STATUS_SUCCESS;
      },
      &reader);
}

// A point of the main window where the picture is opaque and the panel is
// see-through.
POINT OpaqueBackgroundPoint() { return POINT{300, 400}; }

TEST_F(ShellTest, MainWindowTakesThePictureSizeCentredWithThePanelExactlyOverIt) {
  RunShell([&] {
    EXPECT_EQ(MainRect(), CRect(293, 177, 293 + kWidth, 177 + kHeight));
    EXPECT_EQ(MainDialog()->GetWindowText(), CString(L"Quorin"));
    EXPECT_EQ(PanelRect(), MainRect());
    EXPECT_TRUE(Panel()->IsWindowVisible());
    EXPECT_FALSE(MainDialog()->GetStyle() & WS_CAPTION);
    EXPECT_TRUE(MainDialog()->GetExStyle() & WS_EX_LAYERED);
    EXPECT_TRUE(Panel()->GetExStyle() & WS_EX_LAYERED);
  });
}

TEST_F(ShellTest, WindowShowsThePicturePremultiplied) {
  RunShell([&] {
    cairo_surface_t* reference = ReferencePicture();
    ASSERT_EQ(cairo_surface_status(reference), CAIRO_STATUS_SUCCESS);
    cairo_surface_t* shown = PresentedSurface(MainDialog()->m_hWnd);
    ASSERT_NE(shown, nullptr);
    ASSERT_EQ(cairo_image_surface_get_width(shown), kWidth);
    ASSERT_EQ(cairo_image_surface_get_height(shown), kHeight);
    int differing = 0, translucent = 0;
    for (int y = 0; y < kHeight; y += 3)
      for (int x = 0; x < kWidth; x += 3) {
        uint32_t a = PixelAt(shown, x, y), b = PixelAt(reference, x, y);
        if (a != b) ++differing;
        if ((a >> 24) != 0 && (a >> 24) != 0xFF) ++translucent;
      }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(translucent, 0) << "the picture has soft translucent edges";
    EXPECT_EQ(PixelAt(shown, 0, 0), 0u) << "the corner is fully transparent";
    cairo_surface_destroy(reference);
  });
}

TEST_F(ShellTest, DraggingEitherWindowMovesBothToTheSameCorner) {
  RunShell([&] {
    POINT p = OpaqueBackgroundPoint();
    CRect start = MainRect();
    // On the see-through panel over the picture: the main window leads.
    backend->Drag(start.left + p.x, start.top + p.y, start.left + p.x - 100, start.top + p.y + 50, 6);
    EXPECT_EQ(MainRect().TopLeft(), CPoint(start.left - 100, start.top + 50));
    EXPECT_EQ(PanelRect(), MainRect());
    EXPECT_EQ(MainDialog()->m_bMainLeads, 1);

    // The panel leads: a hit test on it, then its move.
    CRect before = MainRect();
    Panel()->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(before.left + 5, before.top + 5));
    EXPECT_EQ(MainDialog()->m_bMainLeads, 0);
    Panel()->MoveWindow(before.left + 30, before.top - 20, before.Width(), before.Height(), TRUE);
    EXPECT_EQ(MainRect(), CRect(before.left + 30, before.top - 20, before.right + 30, before.bottom - 20));
    EXPECT_EQ(PanelRect(), MainRect());
  });
}

TEST_F(ShellTest, HitTestsOutsideTheClientPassUnchanged) {
  RunShell([&] {
    CRect r = MainRect();
    EXPECT_EQ(MainDialog()->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 10, r.top + 10)), HTCAPTION);
    EXPECT_EQ(MainDialog()->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.right + 10, r.top + 10)), HTNOWHERE);
    // The panel answers HTNOWHERE for everything but its client area.
    EXPECT_EQ(Panel()->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.right + 10, r.top + 10)), HTNOWHERE);
  });
}

TEST_F(ShellTest, UpdateLayeredKeepsStyleAndCornerAndTakesThePictureSize) {
  RunShell([&] {
    CLoginDlg* main = MainDialog();
    main->m_bMainLeads = 0;  // the panel stays where it is
    main->MoveWindow(40, 60, 300, 200, TRUE);
    DWORD exStyle = main->GetExStyle();
    main->m_background.UpdateLayered();
    EXPECT_EQ(main->GetExStyle(), exStyle);
    EXPECT_EQ(MainRect(), CRect(40, 60, 40 + kWidth, 60 + kHeight));
  });
}

TEST_F(ShellTest, EnterAndEscapeLeaveTheShellOpenAndHidingCarriesThePanel) {
  RunShell([&] {
    CRect r = MainRect();
    backend->Click(r.left + 300, r.top + 400);
    backend->Key(VK_RETURN);
    backend->Key(VK_ESCAPE);
    backend->Pump();
    EXPECT_TRUE(IsWindow(MainDialog()->m_hWnd));
    MainDialog()->ShowWindow(SW_HIDE);
    EXPECT_FALSE(Panel()->IsWindowVisible());
    MainDialog()->ShowWindow(SW_SHOWNORMAL);
    EXPECT_TRUE(Panel()->IsWindowVisible());
  });
}

TEST_F(ShellTest, MinimisedWindowPaintsItsIconCentred) {
  RunShell([&] {
    CLoginDlg* main = MainDialog();
    main->ShowWindow(SW_MINIMIZE);
    EXPECT_FALSE(Panel()->IsWindowVisible());
    backend->Pump();
    cairo_surface_t* painted = PaintedSurface(main->m_hWnd);
    ASSERT_NE(painted, nullptr);
    int cx = (kWidth - 32 + 1) / 2, cy = (kHeight - 32 + 1) / 2;
    uint32_t beside = PixelAt(painted, cx - 40, cy + 16);
    EXPECT_EQ(PixelAt(painted, cx - 1, cy + 16), beside) << "the icon starts at the computed corner";
    EXPECT_NE(PixelAt(painted, cx + 16, cy + 16), beside) << "icon pixels at the centre";
    main->ShowWindow(SW_RESTORE);
    EXPECT_TRUE(Panel()->IsWindowVisible());
  });
}

}  // namespace
