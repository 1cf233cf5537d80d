// The application object: starts the process-wide services, runs the main
// window as the one modal run of the process, then tears down.
#pragma once

#include <string>

#include "framework/app.h"

class CImpIDispatch;

class CLoginApp : public CWinApp {
 public:
  CLoginApp();
  ~CLoginApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  ULONG_PTR m_gdiplusToken = 0;
  CImpIDispatch* m_pImpIDispatch = nullptr;
  // The launcher's argument text (UTF-8), empty until a login sets it.
  std::string m_strLaunchArgs;
};

extern CLoginApp theApp;
