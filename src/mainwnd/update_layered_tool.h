// The two layered-window entry points, looked up at run time once per
// process and kept until the process ends.
#pragma once

#include "framework/gdi.h"
#include "framework/wintypes.h"

typedef BOOL (*PFN_UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef BOOL (*PFN_SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD);

class UpdateLayeredTool {
 public:
  // The process-wide instance, made on first use; null only when it
  // cannot be allocated (the next call tries again).
  static UpdateLayeredTool* Instance();
  virtual ~UpdateLayeredTool();

  HMODULE m_hUser32 = nullptr;
  PFN_UpdateLayeredWindow m_pfnUpdateLayeredWindow = nullptr;
  PFN_SetLayeredWindowAttributes m_pfnSetLayeredWindowAttributes = nullptr;

  // Forgets the instance so a test can watch the first use again.
  static void ResetInstanceForTesting();
};
