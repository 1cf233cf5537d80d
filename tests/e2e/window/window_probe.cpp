// A small program on the gtk backend for the window tests: a layered,
// shaped, translucent top-level window that a press anywhere visible drags,
// with an owned, colour-keyed window laid over it that follows it, both
// over a plain window that shows what lies beneath them.
//
//   window_probe X Y
//
// The plain window ("Probe underlay") is 600 x 500 at (X - 100, Y - 100),
// filled with light blue (224, 224, 255).
// The layered window ("Probe") is 400 x 300 at (X, Y), with a 32 x 32 icon:
// transparent outside a rounded body; the body is opaque orange, with a
// band of half-transparent blue (alpha 128) along its top.
// The owned window ("Probe panel") covers it exactly; its key colour makes
// all of it see-through except a green 60 x 40 square at (300, 200).
//
// A native widget (red, 100 x 60) stands for a child window of the panel
// at (40, 120); it prints "native press" when pressed, the child window
// "child press" if a press reaches it through the window model instead.
//
// It prints "moved X Y" on each WM_MOVE of the layered window and "close"
// when asked to close, and takes commands on standard input, one a line:
//   minimize / restore   ShowWindow on the layered window
//   box                  a message box (caption "Probe box"); then prints
//                        "box N" with its answer
//   quit N               a quit request with exit code N
// It ends on a quit request, with its code, or after 120 s with 3.
#include <cairo.h>
#include <glib.h>
#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gdi.h"
#include "gtk_backend.h"
#include "message_box.h"
#include "native_widget.h"
#include "runtime.h"
#include "window.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr COLORREF kKey = 0x00FF00FF;  // magenta
constexpr UINT kShowBox = WM_USER + 1;

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
  RoundedRect(cr, 20, 20, kWidth - 40, kHeight - 40, 40);
  cairo_set_source_rgba(cr, 1.0, 0.5, 0.0, 1.0);
  cairo_fill(cr);
  cairo_rectangle(cr, 80, 20, kWidth - 160, 30);
  cairo_set_source_rgba(cr, 0.0, 0.0, 1.0, 128 / 255.0);
  cairo_fill(cr);
  cairo_destroy(cr);
  cairo_surface_mark_dirty(surface);
}

HICON MakeIcon() {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgba(cr, 1.0, 0.5, 0.0, 1.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  return CreateIconFromSurface(surface);  // the icon keeps the surface
}

void Say(const char* line) {
  std::printf("%s\n", line);
  std::fflush(stdout);
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
        Say("close");
        return 0;
      case kShowBox: {
        int answer = MessageBoxW(m_hWnd, L"Probe message", L"Probe box", MB_OK | MB_ICONERROR);
        std::printf("box %d\n", answer);
        std::fflush(stdout);
        return 0;
      }
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

class ChildWindow : public CWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN) Say("child press");
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

gboolean DrawNative(GtkWidget*, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

gboolean PressNative(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->type == GDK_BUTTON_PRESS) Say("native press");
  return TRUE;
}

// Standard input commands. A message box runs from a posted message, not
// from here, so that this watch is free to read the next command meanwhile.
gboolean OnCommand(GIOChannel* channel, GIOCondition, gpointer data) {
  auto* probe = static_cast<ProbeWindow*>(data);
  gchar* line = nullptr;
  GIOStatus status = g_io_channel_read_line(channel, &line, nullptr, nullptr, nullptr);
  if (status == G_IO_STATUS_EOF || status == G_IO_STATUS_ERROR) return G_SOURCE_REMOVE;
  if (!line) return G_SOURCE_CONTINUE;
  g_strstrip(line);
  if (std::strcmp(line, "minimize") == 0) probe->ShowWindow(SW_MINIMIZE);
  if (std::strcmp(line, "restore") == 0) probe->ShowWindow(SW_RESTORE);
  if (std::strcmp(line, "box") == 0) PostMessageW(*probe, kShowBox, 0, 0);
  if (std::strncmp(line, "quit ", 5) == 0) PostQuitMessage(std::atoi(line + 5));
  g_free(line);
  return G_SOURCE_CONTINUE;
}

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
  probe.SetIcon(MakeIcon(), TRUE);

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

  ChildWindow child;
  RECT childRect{40, 120, 140, 180};
  if (!child.CreateEx(0, L"ProbeChild", L"", WS_CHILD | WS_VISIBLE, childRect, &panel, 1000)) return 2;
  GtkWidget* native = gtk_drawing_area_new();
  gtk_widget_add_events(native, GDK_BUTTON_PRESS_MASK);
  g_signal_connect(native, "draw", G_CALLBACK(DrawNative), nullptr);
  g_signal_connect(native, "button-press-event", G_CALLBACK(PressNative), nullptr);
  AttachNativeWidget(child, native);

  GIOChannel* input = g_io_channel_unix_new(0);
  guint watch = g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP), OnCommand, &probe);
  TimerId limit = StartTimer(120000, [] { PostQuitMessage(3); });
  Say("ready");
  RunMessageLoop([] { return false; });
  CancelTimer(limit);
  g_source_remove(watch);
  g_io_channel_unref(input);
  int code = QuitExitCode();
  panel.DestroyWindow();
  probe.DestroyWindow();
  underlay.DestroyWindow();
  return code;
}
