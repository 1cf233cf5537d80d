#include "app_services.h"

namespace {
int g_shellManagers = 0;
const CRuntimeClass* g_visualManager = nullptr;
}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* request) {
  return request && request->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

CShellManager::CShellManager() { ++g_shellManagers; }
CShellManager::~CShellManager() { --g_shellManagers; }
int CShellManager::LiveCount() { return g_shellManagers; }

void CMFCVisualManager::SetDefaultManager(const CRuntimeClass* visualManagerClass) { g_visualManager = visualManagerClass; }
const CRuntimeClass* CMFCVisualManager::DefaultManager() { return g_visualManager; }

const CRuntimeClass CMFCVisualManagerWindows::classInfo = {"CMFCVisualManagerWindows"};
