// Hosting of ActiveX-style controls in dialogs. A dialog item whose class
// is a CLSID is created through the control-site manager: it makes a site
// for the control, the site makes a child window and asks the factory
// registered for the CLSID for the control, connects the control's events
// to the dialog's event-sink map, and answers the control's queries
// through its interface map.
#pragma once

#include <functional>
#include <vector>

#include "automation.h"
#include "cmd_target.h"
#include "dialog_template.h"
#include "window.h"

class COleControlSite;

class COleControlContainer {
 public:
  explicit COleControlContainer(CWnd* wnd) : m_pWnd(wnd) {}
  CWnd* m_pWnd;
};

// What a factory gives the site for a control it made.
struct HostedControl {
  IDispatch* dispatch = nullptr;                 // the control's automation interface (one reference)
  std::function<void(IDispatch*)> connectEvents;  // sets or clears (null) the event sink
};
using ControlFactory = std::function<HostedControl(IUnknown* clientSite, HWND host)>;
void AfxRegisterControlFactory(const CLSID& clsid, ControlFactory factory);

class COleControlSite : public CCmdTarget {
 public:
  explicit COleControlSite(COleControlContainer* container);
  ~COleControlSite() override;

  // Creates the control's window and the control; FALSE when no factory
  // knows the class or the control could not be made.
  BOOL CreateControl(const CLSID& clsid, const DialogItemTemplate& item, const RECT& rect);
  // The site as its control sees it (queries go through the interface map).
  IUnknown* GetClientSite() { return &m_xOleClientSite; }
  static COleControlSite* FromHostWindow(HWND hWnd);

  COleControlContainer* m_pCtrlCont;
  HWND m_hWnd = nullptr;
  UINT m_nID = 0;
  IDispatch* m_pObject = nullptr;

  BEGIN_INTERFACE_PART(OleClientSite, IUnknown)
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  END_INTERFACE_PART(OleClientSite)

  // Receives the control's events and hands them to the dialog.
  BEGIN_INTERFACE_PART(EventSink, IDispatch)
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;
  END_INTERFACE_PART(EventSink)

  DECLARE_INTERFACE_MAP()

 private:
  std::function<void(IDispatch*)> m_connectEvents;
};

class COccManager {
 public:
  virtual ~COccManager() = default;
  // Makes the site for one control of a dialog.
  virtual COleControlSite* CreateSite(COleControlContainer* container);
};

// Installs the control-site manager (null: the standard one).
void AfxEnableControlContainer(COccManager* manager = nullptr);
COccManager* AfxGetOccManager();

// Creates a control of that class as a child of the window, through the
// control-site manager; answers the control's host window or null.
HWND AfxCreateControl(CWnd* parent, const CLSID& clsid, const DialogItemTemplate& item, const RECT& rect);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" to a GUID.
bool CLSIDFromText(const wchar_t* text, CLSID* clsid);

// Calls the control hosted in a window through its IDispatch. The
// parameter kinds (VTS_BSTR, VTS_PVARIANT) describe the variadic
// arguments; a VT_DISPATCH result is stored at pvRet (an IDispatch**).
HRESULT InvokeControl(HWND host, DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, const char* paramInfo, ...);
