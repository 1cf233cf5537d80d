#include "app.h"

#include "runtime.h"

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resourceModule = nullptr;
}  // namespace

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::ExitInstance() { return QuitPending() ? QuitExitCode() : 0; }

int CWinThread::Run() {
  RunMessageLoop([] { return false; });
  return ExitInstance();
}

CWinApp::CWinApp(const wchar_t* appName)
    : m_pszAppName(nullptr), m_strAppName(appName ? appName : L"quorin-login") {
  m_pszAppName = m_strAppName.GetString();
  g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

void CWinApp::SetRegistryKey(const wchar_t* key) { m_strRegistryKey = key; }

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() { return reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x400000)); }

HINSTANCE AfxGetResourceHandle() { return g_resourceModule ? g_resourceModule : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE module) { g_resourceModule = module; }

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
