#include "layered_background.h"

#include "framework/gdi.h"
#include "framework/gdiplus.h"
#include "framework/window.h"
#include "mainwnd/update_layered_tool.h"

void CLayeredBackground::UpdateLayered() {
  if (!m_png.m_pImage || !IsWindow(m_hLayeredWnd)) return;

  HDC windowDC = GetDC(m_hLayeredWnd);
  RECT rc;
  GetWindowRect(m_hLayeredWnd, &rc);
  POINT destination{rc.left, rc.top};
  HDC memoryDC = CreateCompatibleDC(windowDC);
  int w = static_cast<int>(m_png.GetWidth());
  int h = static_cast<int>(m_png.GetHeight());
  HBITMAP bitmap = CreateCompatibleBitmap(windowDC, w, h);
  HGDIOBJ previous = SelectObject(memoryDC, bitmap);

  // The off-screen surface keeps the picture's alpha, premultiplied.
  auto* graphics = new Gdiplus::Graphics(memoryDC);
  Gdiplus::Point corners[3] = {Gdiplus::Point(0, 0), Gdiplus::Point(w, 0), Gdiplus::Point(0, h)};
  graphics->DrawImage(m_png.m_pImage, corners, 3);

  LONG exStyle = GetWindowLongW(m_hLayeredWnd, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(m_hLayeredWnd, GWL_EXSTYLE, exStyle | static_cast<LONG>(WS_EX_LAYERED));

  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  UpdateLayeredTool* tool = UpdateLayeredTool::Instance();
  if (tool && tool->m_pfnUpdateLayeredWindow) {
    SIZE size{w, h};
    POINT source{0, 0};
    tool->m_pfnUpdateLayeredWindow(m_hLayeredWnd, windowDC, &destination, &size, memoryDC, &source, 0, &blend, ULW_ALPHA);
  }

  delete graphics;
  SelectObject(memoryDC, previous);
  DeleteObject(bitmap);
  DeleteDC(memoryDC);
  ReleaseDC(m_hLayeredWnd, windowDC);
}
