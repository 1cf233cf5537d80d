#include "custom_control_site.h"

#include "app/login_app.h"
#include "launch/imp_idispatch.h"

BEGIN_INTERFACE_MAP(CCustomControlSite, COleControlSite)
  INTERFACE_PART(CCustomControlSite, IID_IDocHostUIHandler, DocHostUIHandler)
END_INTERFACE_MAP()

HRESULT CCustomControlSite::XDocHostUIHandler::QueryInterface(REFIID riid, void** ppv) {
  METHOD_PROLOGUE_EX(CCustomControlSite, DocHostUIHandler)
  return pThis->ExternalQueryInterface(&riid, ppv);
}

ULONG CCustomControlSite::XDocHostUIHandler::AddRef() {
  METHOD_PROLOGUE_EX(CCustomControlSite, DocHostUIHandler)
  return pThis->ExternalAddRef();
}

ULONG CCustomControlSite::XDocHostUIHandler::Release() {
  METHOD_PROLOGUE_EX(CCustomControlSite, DocHostUIHandler)
  return pThis->ExternalRelease();
}

// No context menu, for any element.
HRESULT CCustomControlSite::XDocHostUIHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) { return S_OK; }

// No 3-D border, no scroll bars; double-clicks as the browser does them.
HRESULT CCustomControlSite::XDocHostUIHandler::GetHostInfo(DOCHOSTUIINFO* pInfo) {
  pInfo->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
  pInfo->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  return S_OK;
}

// The host claims the UI, so the browser shows no menus or toolbars.
HRESULT CCustomControlSite::XDocHostUIHandler::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                                      IOleInPlaceFrame*, IOleInPlaceUIWindow*) {
  return S_OK;
}

HRESULT CCustomControlSite::XDocHostUIHandler::HideUI() { return S_OK; }

HRESULT CCustomControlSite::XDocHostUIHandler::UpdateUI() { return S_OK; }

HRESULT CCustomControlSite::XDocHostUIHandler::EnableModeless(BOOL) { return E_NOTIMPL; }

HRESULT CCustomControlSite::XDocHostUIHandler::OnDocWindowActivate(BOOL) { return E_NOTIMPL; }

HRESULT CCustomControlSite::XDocHostUIHandler::OnFrameWindowActivate(BOOL) { return E_NOTIMPL; }

HRESULT CCustomControlSite::XDocHostUIHandler::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return E_NOTIMPL; }

// Keys go on to the page.
HRESULT CCustomControlSite::XDocHostUIHandler::TranslateAccelerator(LPMSG, const GUID*, DWORD) { return S_FALSE; }

HRESULT CCustomControlSite::XDocHostUIHandler::GetOptionKeyPath(LPOLESTR*, DWORD) { return E_NOTIMPL; }

HRESULT CCustomControlSite::XDocHostUIHandler::GetDropTarget(IDropTarget*, IDropTarget**) { return E_NOTIMPL; }

// The script bridge, the same object every time, with one reference for
// the caller.
HRESULT CCustomControlSite::XDocHostUIHandler::GetExternal(IDispatch** ppDispatch) {
  CImpIDispatch* bridge = theApp.m_pImpIDispatch;
  if (bridge) bridge->AddRef();
  *ppDispatch = bridge;
  return S_OK;
}

HRESULT CCustomControlSite::XDocHostUIHandler::TranslateUrl(DWORD, LPOLESTR, LPOLESTR*) { return E_NOTIMPL; }

HRESULT CCustomControlSite::XDocHostUIHandler::FilterDataObject(IDataObject*, IDataObject**) { return E_NOTIMPL; }
