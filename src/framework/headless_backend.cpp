#include "headless_backend.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>

#include "input.h"
#include "runtime.h"
#include "window.h"
#include "window_internal.h"
#include "window_query.h"

HeadlessBackend::HeadlessBackend(int screenWidth, int screenHeight) : m_screen{screenWidth, screenHeight} {}

HeadlessBackend* HeadlessBackend::Install(int screenWidth, int screenHeight) {
  auto backend = std::make_unique<HeadlessBackend>(screenWidth, screenHeight);
  HeadlessBackend* raw = backend.get();
  SetBackend(std::move(backend));
  return raw;
}

void HeadlessBackend::WaitForEvents(int timeoutMs) {
  if (m_idle) {
    m_idle();
    return;
  }
  if (timeoutMs >= 0) {
    // Nothing but timers: let virtual time run to the next one.
    m_now += static_cast<uint64_t>(timeoutMs);
    return;
  }
  std::fprintf(stderr, "headless backend: a loop waits for input that no test will send\n");
  std::abort();
}

int HeadlessBackend::ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  m_boxes.push_back(MessageBoxRecord{owner, text, caption, type});
  return m_answer ? m_answer(m_boxes.back()) : IDOK;
}

void HeadlessBackend::MovePointer(int x, int y) {
  m_pointer = POINT{x, y};
  InputPointerMove(nullptr, x, y);
}

void HeadlessBackend::PressButton() {
  m_buttonDown = true;
  InputButton(nullptr, m_pointer.x, m_pointer.y, true);
}

void HeadlessBackend::ReleaseButton() {
  m_buttonDown = false;
  InputButton(nullptr, m_pointer.x, m_pointer.y, false);
}

void HeadlessBackend::Click(int x, int y) {
  MovePointer(x, y);
  PressButton();
  ReleaseButton();
  m_now += 600;  // two clicks in a row are not a double-click
}

void HeadlessBackend::DoubleClick(int x, int y) {
  MovePointer(x, y);
  PressButton();
  ReleaseButton();
  m_now += 50;
  PressButton();
  ReleaseButton();
  m_now += 600;
}

void HeadlessBackend::Drag(int fromX, int fromY, int toX, int toY, int steps) {
  MovePointer(fromX, fromY);
  PressButton();
  for (int i = 1; i <= steps; ++i) MovePointer(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
  ReleaseButton();
}

void HeadlessBackend::Key(UINT virtualKey, bool alt) { InputKey(nullptr, virtualKey, alt); }

void HeadlessBackend::AdvanceTime(int ms) {
  uint64_t end = m_now + static_cast<uint64_t>(ms < 0 ? 0 : ms);
  PumpPendingWork();
  while (m_now < end) {
    ++m_now;
    FireDueTimers();
  }
  PumpPendingWork();
}

uint32_t HeadlessBackend::ScreenPixel(int x, int y) {
  UpdateAllWindows();
  double r = 0, g = 0, b = 0;  // a black desktop
  for (HWND top : TopLevelWindowsBottomUp()) {
    if (!TopLevelShown(top)) continue;
    RECT wr;
    GetWindowRect(top, &wr);
    if (x < wr.left || y < wr.top || x >= wr.right || y >= wr.bottom) continue;
    cairo_surface_t* s = PresentedSurface(top);
    if (!s) continue;
    int px = x - wr.left, py = y - wr.top;
    if (px >= cairo_image_surface_get_width(s) || py >= cairo_image_surface_get_height(s)) continue;
    cairo_surface_flush(s);
    uint32_t v = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + py * cairo_image_surface_get_stride(s))[px];
    double a = (v >> 24) / 255.0;
    // Premultiplied "over".
    r = ((v >> 16) & 0xFF) + r * (1 - a);
    g = ((v >> 8) & 0xFF) + g * (1 - a);
    b = (v & 0xFF) + b * (1 - a);
  }
  auto c = [](double v) { return static_cast<uint32_t>(v + 0.5) & 0xFF; };
  return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}
