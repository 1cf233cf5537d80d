// The window wrapper through which the panel drives its browser control.
#pragma once

#include "framework/app_services.h"
#include "framework/automation.h"
#include "framework/window.h"

class CWebBrowser2 : public CWnd {
 public:
  static const CRuntimeClass classInfo;
  static const CLSID& GetClsid();

  // Creates the control as a child window (the class name and context are
  // not used).
  BOOL Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
              void* pContext = nullptr);

  void Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers);
  // The current top-level document (one reference for the caller), or null.
  IDispatch* get_Document();
};
