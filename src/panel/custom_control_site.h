// The site of a hosted control. Besides what every site answers, it gives
// the browser the host handler that makes the page part of the shell's
// window: no border, no scroll bars, no context menu, keys to the page,
// and the script bridge as window.external.
#pragma once

#include "browser/doc_host_ui_handler.h"
#include "framework/occ.h"

class CCustomControlSite : public COleControlSite {
 public:
  explicit CCustomControlSite(COleControlContainer* pCtrlCont) : COleControlSite(pCtrlCont) {}
  ~CCustomControlSite() override = default;

 protected:
  BEGIN_INTERFACE_PART(DocHostUIHandler, IDocHostUIHandler)
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT ShowContextMenu(DWORD dwID, POINT* ppt, IUnknown* pcmdtReserved, IDispatch* pdispReserved) override;
  HRESULT GetHostInfo(DOCHOSTUIINFO* pInfo) override;
  HRESULT ShowUI(DWORD dwID, IOleInPlaceActiveObject* pActiveObject, IOleCommandTarget* pCommandTarget,
                 IOleInPlaceFrame* pFrame, IOleInPlaceUIWindow* pDoc) override;
  HRESULT HideUI() override;
  HRESULT UpdateUI() override;
  HRESULT EnableModeless(BOOL fEnable) override;
  HRESULT OnDocWindowActivate(BOOL fActivate) override;
  HRESULT OnFrameWindowActivate(BOOL fActivate) override;
  HRESULT ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
  HRESULT TranslateAccelerator(LPMSG lpMsg, const GUID* pguidCmdGroup, DWORD nCmdID) override;
  HRESULT GetOptionKeyPath(LPOLESTR* pchKey, DWORD dw) override;
  HRESULT GetDropTarget(IDropTarget* pDropTarget, IDropTarget** ppDropTarget) override;
  HRESULT GetExternal(IDispatch** ppDispatch) override;
  HRESULT TranslateUrl(DWORD dwTranslate, LPOLESTR pchURLIn, LPOLESTR* ppchURLOut) override;
  HRESULT FilterDataObject(IDataObject* pDO, IDataObject** ppDORet) override;
  END_INTERFACE_PART(DocHostUIHandler)

  DECLARE_INTERFACE_MAP()

 public:
  // The handler as the site's interface map answers it (for tests).
  IDocHostUIHandler* DocHostUIHandler() { return &m_xDocHostUIHandler; }
};
