// The application object and the process's main entry. AfxWinMain runs the
// one application object's InitInstance once; the exit status is the code
// of the quit request that ended the run, else 0.
#pragma once

#include "cmd_target.h"
#include "text.h"
#include "wintypes.h"

class CWnd;

class CWinThread : public CCmdTarget {
 public:
  CWnd* m_pMainWnd = nullptr;
  virtual BOOL InitInstance();
  virtual int ExitInstance();
  // The framework's own message loop: runs until a quit request.
  virtual int Run();
};

constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

class CWinApp : public CWinThread {
 public:
  explicit CWinApp(const wchar_t* appName = nullptr);
  ~CWinApp() override;
  int ExitInstance() override;
  void SetRegistryKey(const wchar_t* key);
  void OnHelp() {}

  const wchar_t* m_pszAppName;
  CString m_strRegistryKey;
  DWORD m_dwRestartManagerSupportFlags = 0;
  int m_nAutosaveInterval = 5 * 60 * 1000;

 private:
  CString m_strAppName;
};

CWinApp* AfxGetApp();
// The executable's module; resources are looked up here by default.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);

// Runs the application object: InitInstance, then Run when it answered
// TRUE, else ExitInstance. Answers the process's exit status.
int AfxWinMain();
