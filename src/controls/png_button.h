// A push button whose whole look is one PNG strip from the resources: four
// frames of equal height stacked top to bottom. Frame 0 is shown at rest,
// frame 1 while the pointer rests on the button, frame 2 while it is
// pressed; the fourth frame is never shown. The picture is drawn with its
// alpha over whatever the window already shows, and the background is
// never erased, so the parent shows through transparent pixels.
#pragma once

#include "framework/app_services.h"
#include "framework/gdiplus.h"
#include "framework/window.h"

class CPngButton : public CButton {
 public:
  CPngButton();
  ~CPngButton() override;

  static const CRuntimeClass classInfo;

  // Loads strip `nID` from the current resource module, sizes the button
  // to one frame (keeping its place, raising it above its siblings) and
  // makes the drawing surface over the button's window device context.
  // Called once, after the button is attached and before it is drawn.
  void LoadPng(UINT nID);

  ULONG_PTR m_gdiplusToken;
  Gdiplus::Image* m_pImage;
  Gdiplus::Graphics* m_pGraphics;
  BOOL m_bTracking;
  BOOL m_bHover;
  int m_nImageWidth;
  int m_nImageHeight;
  int m_nFrameHeight;
  RECT m_rcWindow;

 protected:
  void PreSubclassWindow() override;
  // A double-click is handled as a second press, so it makes a second
  // click instead of a double-click notification.
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

  void OnMouseMove(UINT nFlags, CPoint point);
  LRESULT OnMouseHover(WPARAM wParam, LPARAM lParam);
  void OnMouseLeave();
  void OnLButtonDown(UINT nFlags, CPoint point);
  void OnLButtonUp(UINT nFlags, CPoint point);
  BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

 private:
  // Frees the picture, the surface and the window device context it draws
  // through.
  void FreeDrawing();

  HDC m_hWindowDC = nullptr;
  HWND m_hDCWnd = nullptr;
};
