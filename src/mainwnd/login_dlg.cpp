#include "login_dlg.h"

#include "app/login_app.h"
#include "framework/resources.h"
#include "launch/imp_idispatch.h"
#include "panel/login_active_dlg.h"

namespace {
constexpr UINT kIconId = 128;
constexpr UINT kBackgroundPicture = 155;
constexpr UINT kPanelTemplate = 132;
}  // namespace

CLoginDlg::CLoginDlg() : CDialogEx(IDD, nullptr), m_bMainLeads(0), m_pLoginActiveDlg(nullptr) {
  m_hIcon = LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(kIconId), RT_GROUP_ICON), MAKEINTRESOURCEW(kIconId));
}

CLoginDlg::~CLoginDlg() = default;  // m_background releases its picture, then its memory block

void CLoginDlg::DoDataExchange(CDataExchange* pDX) { CDialogEx::DoDataExchange(pDX); }

BOOL CLoginDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  SetWindowTextW(L"Quorin");
  m_background.m_hLayeredWnd = m_hWnd;
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

  m_pLoginActiveDlg = new (std::nothrow) CLoginActiveDlg(this);
  if (m_pLoginActiveDlg) {
    m_pLoginActiveDlg->Create(kPanelTemplate, this);
    m_pLoginActiveDlg->ShowWindow(SW_SHOWNORMAL);
    if (theApp.m_pImpIDispatch) theApp.m_pImpIDispatch->m_pLoginActiveDlg = m_pLoginActiveDlg;
  }

  ModifyStyle(WS_CAPTION, 0, 0);
  if (!m_background.m_png.Load(kBackgroundPicture, AfxGetResourceHandle())) return TRUE;

  int w = static_cast<int>(m_background.m_png.GetWidth());
  int h = static_cast<int>(m_background.m_png.GetHeight());
  MoveWindow(0, 0, w, h, TRUE);
  CenterWindow();
  if (m_pLoginActiveDlg && m_pLoginActiveDlg->m_hWnd) {
    CRect rc;
    GetWindowRect(&rc);
    m_pLoginActiveDlg->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
  }
  m_background.UpdateLayered();
  return TRUE;
}

int CLoginDlg::OnCreate(LPCREATESTRUCT) {
  if (Default() == -1) return -1;
  return 0;
}

LRESULT CLoginDlg::OnNcHitTest(CPoint) {
  m_bMainLeads = 1;
  LRESULT hit = Default();
  return hit == HTCLIENT ? HTCAPTION : hit;
}

void CLoginDlg::OnMove(int, int) {
  if (!IsWindow(m_hWnd) || !m_bMainLeads || !m_pLoginActiveDlg || !m_pLoginActiveDlg->m_hWnd) return;
  CRect main, panel;
  GetWindowRect(&main);
  m_pLoginActiveDlg->GetWindowRect(&panel);
  m_pLoginActiveDlg->MoveWindow(main.left, main.top, panel.Width(), panel.Height(), TRUE);
}

void CLoginDlg::OnShowWindow(BOOL bShow, UINT) {
  Default();
  if (m_pLoginActiveDlg && m_pLoginActiveDlg->m_hWnd) m_pLoginActiveDlg->ShowWindow(bShow ? SW_SHOWNORMAL : SW_HIDE);
}

void CLoginDlg::OnClose() { EndDialog(IDOK); }

void CLoginDlg::OnPaint() {
  if (!IsIconic()) return;  // the layered picture is the content
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  int cx = GetSystemMetrics(SM_CXICON);
  int cy = GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  int x = (rect.Width() - cx + 1) / 2;
  int y = (rect.Height() - cy + 1) / 2;
  dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CLoginDlg::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

BEGIN_EVENTSINK_MAP(CLoginDlg, CDialogEx)
END_EVENTSINK_MAP()

BEGIN_MESSAGE_MAP(CLoginDlg, CDialogEx)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_CREATE()
  ON_WM_NCHITTEST()
  ON_WM_MOVE()
  ON_WM_SHOWWINDOW()
  ON_WM_CLOSE()
END_MESSAGE_MAP()
