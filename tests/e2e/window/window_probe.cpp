// A small program on the gtk backend for the window tests: a layered,
// shaped, translucent top-level window that a press anywhere visible drags,
// with an owned, colour-keyed window laid over it that follows it, both
// over a plain window that shows what lies beneath them.
//
//   window_probe X Y
//
// The plain window ("Probe underlay") is 600 x 500 at (X - 100, Y - 100),
// filled with light blue (224, 224, 255).
// The layered window ("Probe") is 400 x 300 at (X, Y): transparent
// outside a rounded body; the body is opaque orange, with a band of
// half-transparent blue (alpha 128) along its top. The owned window
// ("Probe panel") covers it exactly; its key colour makes all of it
// see-through except a green 60 x 40 square at (300, 200) of the window.
// Each WM_MOVE of the layered window is printed as "moved X Y".
// The program ends on WM_CLOSE (exit 0) or after 60 seconds (exit 3).
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "gdi.h"
#include "gtk_backend.h"
#include "runtime.h"
#include "window.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr COLORREF kKey = 0x00FF00FF;  // magenta

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void DrawPicture(cairo_surface_t* surface) {
  cairo_t* cr = cairo_create(surface);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  // Opaque orange body with rounded corners, 20 px in from each edge.
  RoundedRect(cr, 20, 20, kWidth - 40, kHeight - 40, 40);
  cairo_set_source_rgba(cr, 1.0, 0.5, 0.0, 1.0);
  cairo_fill(cr);
  // Half-transparent blue band across the top of the body.
  cairo_rectangle(cr, 80, 20, kWidth - 160, 30);
  cairo_set_source_rgba(cr, 0.0, 0.0, 1.0, 128 / 255.0);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_mark_dirty(surface);
}

class ProbeWindow : public CWnd {
 public:
  CWnd* m_pFollower = nullptr;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_NCHITTEST: {
        LRESULT hit = CWnd::WindowProc(message, wParam, lParam);
        return hit == HTCLIENT ? HTCAPTION : hit;
      }
      case WM_MOVE: {
        RECT r;
        GetWindowRect(&r);
        std::printf("moved %d %d\n", static_cast<int>(r.left), static_cast<int>(r.top));
        std::fflush(stdout);
        if (m_pFollower && m_pFollower->GetSafeHwnd())
          m_pFollower->MoveWindow(r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        break;
      }
      case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A plain window filled with one colour but for an optional square.
class FilledWindow : public CWnd {
 public:
  FilledWindow(COLORREF fill, RECT square, COLORREF squareColor)
      : m_fill(fill), m_square(square), m_squareColor(squareColor) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) {
      CPaintDC dc(this);
      RECT all;
      GetClientRect(&all);
      dc.FillSolidRect(&all, m_fill);
      if (m_square.right > m_square.left) dc.FillSolidRect(&m_square, m_squareColor);
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }

 private:
  COLORREF m_fill;
  RECT m_square;
  COLORREF m_squareColor;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_probe X Y\n");
    return 2;
  }
  int x = std::atoi(argv[1]), y = std::atoi(argv[2]);
  if (!GtkBackend::Install()) {
    std::fprintf(stderr, "window_probe: no display\n");
    return 2;
  }

  FilledWindow underlay(RGB(224, 224, 255), RECT{0, 0, 0, 0}, 0);
  RECT underRect{x - 100, y - 100, x + 500, y + 400};
  if (!underlay.CreateEx(0, L"ProbeUnderlay", L"Probe underlay", WS_POPUP, underRect, nullptr, 0)) return 2;
  underlay.ShowWindow(SW_SHOWNORMAL);

  ProbeWindow probe;
  RECT rect{x, y, x + 50, y + 50};  // the layered picture sets the size
  if (!probe.CreateEx(WS_EX_LAYERED | WS_EX_APPWINDOW, L"ProbeWindow", L"Probe", WS_POPUP, rect, nullptr, 0)) return 2;

  HDC windowDC = ::GetDC(probe);
  HDC memoryDC = ::CreateCompatibleDC(windowDC);
  HBITMAP bitmap = ::CreateCompatibleBitmap(windowDC, kWidth, kHeight);
  HGDIOBJ previous = ::SelectObject(memoryDC, bitmap);
  DrawPicture(BitmapSurface(bitmap));
  POINT dst{x, y}, src{0, 0};
  SIZE size{kWidth, kHeight};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::UpdateLayeredWindow(probe, windowDC, &dst, &size, memoryDC, &src, 0, &blend, ULW_ALPHA);
  ::SelectObject(memoryDC, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memoryDC);
  ::ReleaseDC(probe, windowDC);
  probe.ShowWindow(SW_SHOWNORMAL);

  FilledWindow panel(kKey, RECT{300, 200, 360, 240}, RGB(0, 200, 0));
  RECT panelRect{x, y, x + kWidth, y + kHeight};
  if (!panel.CreateEx(WS_EX_LAYERED, L"ProbePanel", L"Probe panel", WS_POPUP, panelRect, nullptr, 0, &probe)) return 2;
  ::SetLayeredWindowAttributes(panel, kKey, 255, LWA_COLORKEY | LWA_ALPHA);
  panel.ShowWindow(SW_SHOWNORMAL);
  probe.m_pFollower = &panel;

  TimerId limit = StartTimer(60000, [] { PostQuitMessage(3); });
  RunMessageLoop([] { return false; });
  CancelTimer(limit);
  int code = QuitExitCode();
  panel.DestroyWindow();
  probe.DestroyWindow();
  underlay.DestroyWindow();
  return code;
}
