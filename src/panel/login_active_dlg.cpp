#include "login_active_dlg.h"

#include "browser/html_interfaces.h"
#include "controls/confirm_dlg.h"
#include "controls/gdiplus_start.h"
#include "framework/hosts.h"
#include "framework/runtime.h"
#include "launch/login_result.h"
#include "mainwnd/login_dlg.h"
#include "mainwnd/update_layered_tool.h"

namespace {
constexpr UINT kBrowserId = 1000;
constexpr UINT kCloseId = 1005;
constexpr UINT kMinimiseId = 1006;
constexpr UINT kMinimisePicture = 162;
constexpr UINT kClosePicture = 160;
constexpr int kQuitCode = 16;
}  // namespace

const CRuntimeClass CLoginActiveDlg::classInfo = {"CLoginActiveDlg"};

CLoginActiveDlg::CLoginActiveDlg(CLoginDlg* pMainDlg) : m_clrKey(0x0000FFFF), m_pMainDlg(pMainDlg) {}

CLoginActiveDlg::~CLoginActiveDlg() {
  // The map's entries are freed without disconnecting; the anchors'
  // references go with them.
  for (auto& entry : m_mapLinkHooks)
    if (entry.second.pSource) entry.second.pSource->Release();
  m_mapLinkHooks.clear();
  m_brKey.DeleteObject();
}

void CLoginActiveDlg::DoDataExchange(CDataExchange* pDX) {
  CDialogEx::DoDataExchange(pDX);
  DDX_Control(pDX, kBrowserId, m_wndBrowser);
  DDX_Control(pDX, kMinimiseId, m_btnMin);
  DDX_Control(pDX, kCloseId, m_btnClose);
}

BOOL CLoginActiveDlg::OnInitDialog() {
  CDialogEx::OnInitDialog();
  m_brKey.Attach(CreateSolidBrush(m_clrKey));

  LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | static_cast<LONG>(WS_EX_LAYERED));
  UpdateLayeredTool* tool = UpdateLayeredTool::Instance();
  if (tool && tool->m_pfnSetLayeredWindowAttributes)
    tool->m_pfnSetLayeredWindowAttributes(m_hWnd, m_clrKey, 255, LWA_COLORKEY | LWA_ALPHA);

  m_wndBrowser.MoveWindow(560, 177, 631, 446, TRUE);
  EnableAutomation();

  m_strLoginUrl = CString(("http://" + LoginHost() + "/client").c_str());
  VARIANT empty;
  VariantInit(&empty);
  m_wndBrowser.Navigate(m_strLoginUrl, &empty, &empty, &empty, &empty);
  VariantClear(&empty);
  m_wndBrowser.ShowWindow(SW_HIDE);

  InitButtons();
  return TRUE;
}

void CLoginActiveDlg::InitButtons() {
  StartGdiplusForButton(m_btnMin);
  StartGdiplusForButton(m_btnClose);
  m_btnMin.LoadPng(kMinimisePicture);
  m_btnClose.LoadPng(kClosePicture);
  // Pixels of the panel, which has the background picture's size.
  m_btnMin.MoveWindow(1173, 137, 39, 75, TRUE);
  m_btnClose.MoveWindow(1208, 115, 54, 54, TRUE);
}

LRESULT CLoginActiveDlg::OnNcHitTest(CPoint) {
  if (m_pMainDlg) m_pMainDlg->m_bMainLeads = 0;
  LRESULT hit = Default();
  return hit == HTCLIENT ? HTCAPTION : HTNOWHERE;
}

void CLoginActiveDlg::OnMove(int, int) {
  if (!IsWindow(m_hWnd) || !m_pMainDlg || m_pMainDlg->m_bMainLeads || !m_pMainDlg->m_hWnd) return;
  CRect panel, main;
  GetWindowRect(&panel);
  m_pMainDlg->GetWindowRect(&main);
  m_pMainDlg->MoveWindow(panel.left, panel.top, main.Width(), main.Height(), TRUE);
}

HBRUSH CLoginActiveDlg::OnCtlColor(CDC*, CWnd*, UINT) { return static_cast<HBRUSH>(m_brKey.m_hObject); }

void CLoginActiveDlg::OnBnClickedMin() {
  if (m_pMainDlg) m_pMainDlg->ShowWindow(SW_MINIMIZE);
}

void CLoginActiveDlg::OnBnClickedClose() {
  CConfirmDlg confirm;
  if (confirm.DoModal() == IDOK) PostQuitMessage(kQuitCode);
}

void CLoginActiveDlg::ClearLinkHooks() {
  IDispatch* sink = GetIDispatch(FALSE);
  for (auto& entry : m_mapLinkHooks) {
    LinkHook& hook = entry.second;
    AfxConnectionUnadvise(hook.pSource, hook.iidEvents, sink, FALSE, hook.dwCookie);
    if (hook.pSource) hook.pSource->Release();
  }
  m_mapLinkHooks.clear();
}

void CLoginActiveDlg::OnAppLogin(CString strPayload) {
  ProcessLoginResult(strPayload, [this] { ClearLinkHooks(); });
}

BEGIN_MESSAGE_MAP(CLoginActiveDlg, CDialogEx)
  ON_WM_MOVE()
  ON_WM_NCHITTEST()
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(kMinimiseId, OnBnClickedMin)
  ON_BN_CLICKED(kCloseId, OnBnClickedClose)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CLoginActiveDlg, CDialogEx)
  ON_EVENT(CLoginActiveDlg, kBrowserId, 259, OnDocumentComplete, VTS_DISPATCH VTS_PVARIANT)
  ON_EVENT(CLoginActiveDlg, kBrowserId, 252, OnNavigateComplete2, VTS_DISPATCH VTS_PVARIANT)
  ON_EVENT(CLoginActiveDlg, kBrowserId, 250, OnBeforeNavigate2,
           VTS_DISPATCH VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PBOOL)
END_EVENTSINK_MAP()

BEGIN_DISPATCH_MAP(CLoginActiveDlg, CDialogEx)
  DISP_FUNCTION_ID(CLoginActiveDlg, "HTMLELEMENTEVENTS2_ONCLICK", -600, OnLinkClick, VT_EMPTY, VTS_DISPATCH)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(CLoginActiveDlg, CDialogEx)
  INTERFACE_PART(CLoginActiveDlg, DIID_HTMLElementEvents2, Dispatch)
END_INTERFACE_MAP()
