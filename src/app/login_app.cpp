#include "login_app.h"

#include <new>

#include "framework/app_services.h"
#include "framework/gdiplus.h"
#include "framework/message_box.h"
#include "launch/imp_idispatch.h"
#include "mainwnd/login_dlg.h"
#include "panel/custom_occ_manager.h"
#include "panel/login_active_dlg.h"

CLoginApp::CLoginApp() : CWinApp(nullptr) { m_dwRestartManagerSupportFlags = AFX_RESTART_MANAGER_SUPPORT_RESTART; }

CLoginApp::~CLoginApp() = default;

BOOL CLoginApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  CWinApp::InitInstance();

  CCustomOccManager* occManager = new (std::nothrow) CCustomOccManager;
  m_pImpIDispatch = new (std::nothrow) CImpIDispatch;
  AfxEnableControlContainer(occManager);

  Gdiplus::GdiplusStartupInput gdiplusStartupInput;
  Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusStartupInput, nullptr);

  CShellManager* shellManager = new (std::nothrow) CShellManager;
  CMFCVisualManager::SetDefaultManager(RUNTIME_CLASS(CMFCVisualManagerWindows));
  SetRegistryKey(L"应用程序向导生成的本地应用程序");

  {
    CLoginDlg dlg;
    m_pMainWnd = &dlg;
    INT_PTR response = dlg.DoModal();
    // -1 also follows a quit request; the box then ends at once by itself,
    // so it waits for the user only when the main window failed to start.
    if (response == -1) MessageBoxW(nullptr, L"启动游戏失败，请重新启动！", L"【启动失败】", MB_OK);

    if (dlg.m_pLoginActiveDlg) {
      delete dlg.m_pLoginActiveDlg;
      dlg.m_pLoginActiveDlg = nullptr;
    }
    delete shellManager;
    delete m_pImpIDispatch;
    m_pImpIDispatch = nullptr;
    m_pMainWnd = nullptr;
  }  // the dialog object goes last
  return FALSE;
}

int CLoginApp::ExitInstance() { return CWinApp::ExitInstance(); }

CLoginApp theApp;
