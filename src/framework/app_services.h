// Process-wide desktop services an application starts with: common
// controls, the shell manager and the visual manager. On this platform
// they keep only what the application sets; nothing draws differently.
#pragma once

#include "wintypes.h"

struct INITCOMMONCONTROLSEX {
  DWORD dwSize;
  DWORD dwICC;
};
constexpr DWORD ICC_WIN95_CLASSES = 0x000000FF;
// Answers TRUE for a well-formed request.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* request);

class CShellManager {
 public:
  CShellManager();
  ~CShellManager();
  // Live shell managers (at most one is expected).
  static int LiveCount();
};

// Run-time class descriptors, as RUNTIME_CLASS names them.
struct CRuntimeClass {
  const char* m_lpszClassName;
};
#define RUNTIME_CLASS(name) (&name::classInfo)

class CMFCVisualManager {
 public:
  static void SetDefaultManager(const CRuntimeClass* visualManagerClass);
  static const CRuntimeClass* DefaultManager();
};

class CMFCVisualManagerWindows {
 public:
  static const CRuntimeClass classInfo;
};
