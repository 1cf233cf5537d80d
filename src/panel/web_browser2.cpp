#include "web_browser2.h"

#include "framework/occ.h"

namespace {
// {8856F961-340A-11D0-A96B-00C04FD705A2}
const CLSID kWebBrowserClsid = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
constexpr DISPID kNavigate = 0x68;
constexpr DISPID kDocument = 0xCB;
}  // namespace

const CRuntimeClass CWebBrowser2::classInfo = {"CWebBrowser2"};

const CLSID& CWebBrowser2::GetClsid() { return kWebBrowserClsid; }

BOOL CWebBrowser2::Create(LPCWSTR, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                          void*) {
  DialogItemTemplate item{nID, nullptr, lpszWindowName, dwStyle, 0, 0, 0, 0, 0, nullptr, 0};
  HWND host = AfxCreateControl(pParentWnd, kWebBrowserClsid, item, rect);
  return host && SubclassWindow(host) ? TRUE : FALSE;
}

void CWebBrowser2::Navigate(LPCWSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData, VARIANT* Headers) {
  InvokeControl(m_hWnd, kNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr, VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT,
                URL, Flags, TargetFrameName, PostData, Headers);
}

IDispatch* CWebBrowser2::get_Document() {
  IDispatch* result = nullptr;
  InvokeControl(m_hWnd, kDocument, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, nullptr);
  return result;
}
