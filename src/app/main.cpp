// quorin-login: the login shell on the desktop.
#include <cstdio>

#include "framework/app.h"
#include "framework/gtk_backend.h"
#include "res/app_resources.h"
#include "browser/webkit_control_factory.h"

int main() {
  if (!GtkBackend::Install()) {
    std::fprintf(stderr, "quorin-login: cannot open the X display (is DISPLAY set?)\n");
    return 1;
  }
  RegisterApplicationResources();
  RegisterWebBrowserControl();
  return AfxWinMain();
}
