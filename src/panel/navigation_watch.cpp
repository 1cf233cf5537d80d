// Shows the browser once a navigation completes and starts the game when
// the operator's site lands on its code-callback page.
#include "launch/game_start.h"
#include "panel/login_active_dlg.h"
#include "panel/navigation_rules.h"

bool IsCodeCallbackAddress(const CString& address) {
  if (address.Find(L"plandor/codeCallback.htm?code=", 0) < 0) return false;
  return address.Find(L"needCode=", 0) < 0;
}

void CLoginActiveDlg::OnNavigateComplete2(IDispatch*, VARIANT* URL) {
  if (!m_wndBrowser.IsWindowVisible()) m_wndBrowser.ShowWindow(SW_SHOW);
  CString address = BrowserEventAddress(URL);
  if (!IsCodeCallbackAddress(address)) return;
  SetLaunchArgs(address);
  StartGame();
  ClearLinkHooks();
}

// Every navigation proceeds unchanged.
void CLoginActiveDlg::OnBeforeNavigate2(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) {}
