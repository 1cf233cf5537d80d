#include "shell_fixture.h"

#include <unistd.h>

#include <cstdlib>

#include "framework/occ.h"
#include "framework/runtime.h"
#include "panel/web_browser2.h"
#include "res/app_resources.h"

void ShellTest::SetUp() {
  backend = HeadlessBackend::Install(1920, 1080);
  ClearQuitRequest();
  RegisterApplicationResources();
  AfxRegisterControlFactory(CWebBrowser2::GetClsid(), [this](IUnknown* clientSite, HWND) {
    browser = new ScriptedBrowser(clientSite);
    return HostBrowserControl(browser);
  });
  char dir[] = "/tmp/quorin-shell-test.XXXXXX";
  workDir = mkdtemp(dir);
  chdir(workDir.c_str());
}

void ShellTest::TearDown() {
  ClearQuitRequest();
  chdir("/");
  std::system(("rm -rf '" + workDir + "'").c_str());
}

int ShellTest::RunShell(const std::function<void()>& whileRunning) {
  bool started = false;
  backend->SetIdleHandler([&] {
    if (!started) {
      started = true;
      browser->DeliverPending();
      backend->Pump();
      whileRunning();
      return;
    }
    if (!QuitPending()) PostQuitMessage(16);
  });
  BOOL result = theApp.InitInstance();
  EXPECT_EQ(result, FALSE);
  backend->SetIdleHandler(nullptr);
  int status = theApp.ExitInstance();
  browser = nullptr;
  return status;
}

CLoginDlg* ShellTest::MainDialog() const { return static_cast<CLoginDlg*>(theApp.m_pMainWnd); }

CLoginActiveDlg* ShellTest::Panel() const { return MainDialog()->m_pLoginActiveDlg; }

CRect ShellTest::MainRect() const {
  CRect r;
  MainDialog()->GetWindowRect(&r);
  return r;
}

CRect ShellTest::PanelRect() const {
  CRect r;
  Panel()->GetWindowRect(&r);
  return r;
}
