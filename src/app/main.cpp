// quorin-login: the login shell on the desktop.
#include <cstdio>

#include "app/login_app.h"
#include "framework/app.h"
#include "framework/gtk_backend.h"
#include "res/app_resources.h"
#include "browser/browser_control.h"
#include "browser/webkit_environment.h"
#include "framework/occ.h"
#include "panel/web_browser2.h"

int main() {
  PrepareWebKitEnvironment();  // before any thread reads the environment
  if (!GtkBackend::Install()) {
    std::fprintf(stderr, "quorin-login: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  RegisterApplicationResources();
  AfxRegisterControlFactory(CWebBrowser2::GetClsid(), [](IUnknown* clientSite, HWND host) {
    return HostBrowserControl(CreateWebKitBrowserControl(clientSite, host));
  });
  // The application object lives in a library: name it so it is linked in.
  if (AfxGetApp() != &theApp) return 1;
  return AfxWinMain();
}
