// The login panel: a colour-keyed pop-up laid exactly over the main
// window, carrying the browser with the operator's login page and the
// minimise and close buttons. It receives the browser's events, keeps the
// click hooks on the page's links and takes the page's login payload.
#pragma once

#include <map>

#include "controls/png_button.h"
#include "framework/app_services.h"
#include "framework/automation.h"
#include "framework/text.h"
#include "framework/window.h"
#include "panel/web_browser2.h"

class CLoginDlg;

// One connection from a link element's events to the panel.
struct LinkHook {
  IUnknown* pSource;  // the hooked anchor, with a reference held
  IID iidEvents;
  DWORD dwCookie;
  CString strHref;
};

class CLoginActiveDlg : public CDialogEx {
 public:
  explicit CLoginActiveDlg(CLoginDlg* pMainDlg);
  ~CLoginActiveDlg() override;

  static const CRuntimeClass classInfo;
  enum { IDD = 132 };

  // Disconnects every link hook and empties the map.
  void ClearLinkHooks();
  // The page's login payload (a JSON text), from the script bridge.
  void OnAppLogin(CString strPayload);

  CBrush m_brKey;
  COLORREF m_clrKey;
  CLoginDlg* m_pMainDlg;
  CString m_strLoginUrl;
  CWebBrowser2 m_wndBrowser;
  CPngButton m_btnMin;
  CPngButton m_btnClose;
  std::map<CString, LinkHook> m_mapLinkHooks;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  void InitButtons();
  void OnMove(int x, int y);
  LRESULT OnNcHitTest(CPoint point);
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  void OnBnClickedMin();
  void OnBnClickedClose();

  // Browser events.
  void OnDocumentComplete(IDispatch* pDisp, VARIANT* URL);
  void OnNavigateComplete2(IDispatch* pDisp, VARIANT* URL);
  void OnBeforeNavigate2(IDispatch* pDisp, VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                         VARIANT* Headers, VARIANT_BOOL* Cancel);
  // A click on a hooked link.
  void OnLinkClick(IDispatch* pEventObject);

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()
};
