#include "controls/png_button.h"

#include <new>

#include "framework/app.h"
#include "mainwnd/gdiplus_png.h"

const CRuntimeClass CPngButton::classInfo = {"CPngButton"};

namespace {

constexpr int kFrameCount = 4;
constexpr int kNormalFrame = 0;
constexpr int kHoverFrame = 1;
constexpr int kPressedFrame = 2;
constexpr DWORD kHoverTimeMs = 1;

}  // namespace

CPngButton::CPngButton()
    : m_gdiplusToken(0),
      m_pImage(nullptr),
      m_pGraphics(nullptr),
      m_bTracking(FALSE),
      m_bHover(FALSE),
      m_nImageWidth(0),
      m_nImageHeight(0),
      m_nFrameHeight(0),
      m_rcWindow{0, 0, 0, 0} {}

CPngButton::~CPngButton() { FreeDrawing(); }

void CPngButton::FreeDrawing() {
  delete m_pImage;
  m_pImage = nullptr;
  delete m_pGraphics;
  m_pGraphics = nullptr;
  // The surface held the window device context; hand it back.
  if (m_hWindowDC) ::ReleaseDC(m_hDCWnd, m_hWindowDC);
  m_hWindowDC = nullptr;
  m_hDCWnd = nullptr;
}

void CPngButton::LoadPng(UINT nID) {
  FreeDrawing();  // a second load replaces the first without leaking it

  m_pImage = LoadPngImage(AfxGetResourceHandle(), nID);
  m_nImageWidth = m_pImage ? static_cast<int>(m_pImage->GetWidth()) : 0;
  m_nImageHeight = m_pImage ? static_cast<int>(m_pImage->GetHeight()) : 0;
  m_nFrameHeight = m_nImageHeight / kFrameCount;

  CRect rc;
  GetWindowRect(&rc);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&rc);
  bool haveFrame = m_nImageWidth > 0 && m_nFrameHeight > 0;
  if (haveFrame) {
    rc.right = rc.left + m_nImageWidth;
    rc.bottom = rc.top + m_nFrameHeight;
  }
  m_rcWindow = rc;
  // One frame large, same place, top of the siblings. Without a picture
  // the button keeps its size, so it stays clickable.
  SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOMOVE | (haveFrame ? 0 : SWP_NOSIZE));

  m_hWindowDC = m_hWnd ? ::GetWindowDC(m_hWnd) : nullptr;
  m_hDCWnd = m_hWnd;
  if (m_hWindowDC) m_pGraphics = new (std::nothrow) Gdiplus::Graphics(m_hWindowDC);
}

void CPngButton::PreSubclassWindow() {
  ModifyStyle(0, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
}

LRESULT CPngButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
  return CButton::DefWindowProc(message, wParam, lParam);
}

void CPngButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  if (!m_pGraphics || !m_pImage) return;
  // Pressed wins over hover; focus and disabled change nothing.
  int frame = (lpDIS->itemState & ODS_SELECTED) ? kPressedFrame : m_bHover ? kHoverFrame : kNormalFrame;
  // Always at the window's top-left, through the surface made at load.
  m_pGraphics->DrawImage(m_pImage, Gdiplus::Rect(0, 0, m_nImageWidth, m_nFrameHeight), 0, frame * m_nFrameHeight,
                         m_nImageWidth, m_nFrameHeight, Gdiplus::UnitPixel, nullptr, nullptr, nullptr);
}

void CPngButton::OnMouseMove(UINT, CPoint) {
  if (!m_bTracking) {
    TRACKMOUSEEVENT tme;
    tme.cbSize = sizeof(tme);
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWnd;
    tme.dwHoverTime = kHoverTimeMs;
    m_bTracking = _TrackMouseEvent(&tme);
  }
  Default();
}

LRESULT CPngButton::OnMouseHover(WPARAM, LPARAM) {
  m_bHover = TRUE;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return 0;
}

void CPngButton::OnMouseLeave() {
  m_bTracking = FALSE;
  m_bHover = FALSE;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPngButton::OnLButtonDown(UINT, CPoint) {
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  Default();
}

void CPngButton::OnLButtonUp(UINT, CPoint) {
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  Default();
}

BOOL CPngButton::OnSetCursor(CWnd*, UINT, UINT) {
  ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
  return TRUE;
}

BOOL CPngButton::OnEraseBkgnd(CDC*) { return TRUE; }

BEGIN_MESSAGE_MAP(CPngButton, CButton)
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSEHOVER, OnMouseHover)
  ON_WM_MOUSELEAVE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_SETCURSOR()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()
