#include "controls/confirm_dlg.h"

#include "controls/gdiplus_start.h"
#include "framework/resources.h"

const CRuntimeClass CConfirmDlg::classInfo = {"CConfirmDlg"};

namespace {

constexpr int kIdTitle = 1002;
constexpr int kIdText = 1003;
constexpr int kIdConfirm = 1008;
constexpr int kIdCancel = 1009;
constexpr UINT kConfirmStrip = 175;
constexpr UINT kCancelStrip = 176;
constexpr UINT kBackgroundBitmap = 177;

constexpr int kWidth = 256;
constexpr int kHeight = 110;
// The buttons' windows reach past the right edge; each draws one 74 × 26
// frame at its top-left, and cancel lies above confirm where they overlap.
constexpr int kButtonWidth = 256;
constexpr int kButtonHeight = 26;
constexpr int kButtonTop = 72;
constexpr int kConfirmLeft = 40;
constexpr int kCancelLeft = 140;

// Shown instead of the picture when bitmap 177 is missing, dark enough
// for the white texts.
const COLORREF kFallbackBackground = RGB(48, 40, 36);
const COLORREF kTextColour = RGB(255, 255, 255);

}  // namespace

CConfirmDlg::CConfirmDlg() : CDialogEx(IDD, nullptr) {}

CConfirmDlg::~CConfirmDlg() = default;

void CConfirmDlg::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, kIdConfirm, m_btnOK);
  DDX_Control(pDX, kIdCancel, m_btnCancel);
  DDX_Control(pDX, kIdTitle, m_stTitle);
  DDX_Control(pDX, kIdText, m_stText);
}

BOOL CConfirmDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();

  HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCEW(kBackgroundBitmap), RT_BITMAP);
  m_bmpBack.Attach(LoadBitmapW(module, MAKEINTRESOURCEW(kBackgroundBitmap)));

  // Loaded last, the cancel button ends up above the confirm button.
  StartGdiplusForButton(m_btnOK);
  m_btnOK.LoadPng(kConfirmStrip);
  StartGdiplusForButton(m_btnCancel);
  m_btnCancel.LoadPng(kCancelStrip);

  // Pixels, whatever the template's dialog units came to.
  MoveWindow(0, 0, kWidth, kHeight);
  CenterWindow();

  m_btnOK.MoveWindow(kConfirmLeft, kButtonTop, kButtonWidth, kButtonHeight);
  m_btnCancel.MoveWindow(kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight);

  m_fontTitle.CreatePointFont(120, L"Arial");
  m_stTitle.SetFont(&m_fontTitle, TRUE);

  m_stTitle.SetWindowText(L"关闭游戏");
  m_stText.SetWindowText(L"确定要退出游戏吗?");

  m_stTitle.MoveWindow(79, 10, 100, 30);
  m_stText.MoveWindow(28, 34, 200, 66);

  return TRUE;  // the confirm button, the first tab stop, takes the focus
}

void CConfirmDlg::OnBnClickedOk() { CDialog::OnOK(); }

void CConfirmDlg::OnBnClickedCancel() { CDialog::OnCancel(); }

void CConfirmDlg::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (!m_bmpBack.GetSafeHandle()) {
    dc.FillSolidRect(&client, kFallbackBackground);
    return;
  }
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  HGDIOBJ previous = memDC.SelectObject(m_bmpBack.GetSafeHandle());
  BITMAP bm{};
  GetObjectW(m_bmpBack.GetSafeHandle(), sizeof(bm), &bm);
  dc.StretchBlt(0, 0, client.Width(), client.Height(), &memDC, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
  memDC.SelectObject(previous);
  memDC.DeleteDC();
}

void CConfirmDlg::OnClose() { Default(); }  // ends the box as cancel

HBRUSH CConfirmDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  HBRUSH brush = CDialogEx::OnCtlColor(pDC, pWnd, nCtlColor);
  int id = pWnd ? pWnd->GetDlgCtrlID() : 0;
  if (id != kIdTitle && id != kIdText) return brush;

  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(kTextColour);
  // Under the text: the box's own pixels, so the picture shows through.
  CRect rc;
  pWnd->GetWindowRect(&rc);
  ScreenToClient(&rc);
  CDC* dialogDC = GetDC();
  pDC->BitBlt(0, 0, rc.Width(), rc.Height(), dialogDC, rc.left, rc.top, SRCCOPY);
  ReleaseDC(dialogDC);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

BEGIN_MESSAGE_MAP(CConfirmDlg, CDialogEx)
  ON_BN_CLICKED(kIdConfirm, OnBnClickedOk)
  ON_BN_CLICKED(kIdCancel, OnBnClickedCancel)
  ON_WM_PAINT()
  ON_WM_CLOSE()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()
