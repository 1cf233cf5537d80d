// Test doubles around the browser component: a host (client site and
// IDocHostUIHandler) with configurable answers, an external object that
// follows the script bridge's rules, and an event sink that records what
// it is given. None of them deletes itself: tests own them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "browser/doc_host_ui_handler.h"
#include "browser/html_interfaces.h"

// window.external as the shell's bridge answers it: names compared over
// three characters, width-insensitively; "piq..." is 12345, a property
// giving "Xfspry"; "App..." is 10001, a method. Only IID_IDispatch is
// answered; Release never destroys.
class TestExternal final : public IDispatch {
 public:
  struct Call {
    DISPID id;
    WORD flags;
    std::vector<VARIANT> args;  // copies, in script order
  };

  ~TestExternal();
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG Release() override { return static_cast<ULONG>(--refs); }
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;

  // The first argument of each method call of 10001, as text.
  std::vector<std::wstring> Payloads() const;

  long refs = 0;
  std::vector<std::wstring> lookedUp;  // names given to GetIDsOfNames
  std::vector<Call> calls;             // Invoke calls of 10001 with DISPATCH_METHOD
  // Runs inside each method call of 10001, after it was recorded.
  std::function<void(const Call&)> duringMethod;
};

// The control's client site, answering IDocHostUIHandler as configured.
class TestHost final : public IDocHostUIHandler {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG Release() override { return static_cast<ULONG>(--refs); }
  HRESULT ShowContextMenu(DWORD dwID, POINT*, IUnknown*, IDispatch*) override;
  HRESULT GetHostInfo(DOCHOSTUIINFO* info) override;
  HRESULT ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*, IOleInPlaceUIWindow*) override {
    return S_OK;
  }
  HRESULT HideUI() override { return S_OK; }
  HRESULT UpdateUI() override { return S_OK; }
  HRESULT EnableModeless(BOOL) override { return E_NOTIMPL; }
  HRESULT OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
  HRESULT OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
  HRESULT ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
  HRESULT TranslateAccelerator(LPMSG msg, const GUID*, DWORD) override;
  HRESULT GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
  HRESULT GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
  HRESULT GetExternal(IDispatch** ppDispatch) override;
  HRESULT TranslateUrl(DWORD, LPOLESTR, LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT FilterDataObject(IDataObject*, IDataObject**) override { return E_NOTIMPL; }

  long refs = 0;
  DWORD flags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO;
  HRESULT contextMenuAnswer = S_OK;
  HRESULT acceleratorAnswer = S_FALSE;
  IDispatch* external = nullptr;  // borrowed
  int hostInfoCalls = 0;
  int getExternalCalls = 0;
  std::vector<DWORD> contextMenus;  // dwID of each ShowContextMenu
  std::vector<WPARAM> keys;         // virtual keys given to TranslateAccelerator
};

// Records every Invoke: browser events and element events alike.
class RecordingSink final : public IDispatch {
 public:
  struct Event {
    DISPID id;
    std::wstring url;         // the address argument, for browser events
    IDispatch* frame;         // pDisp of browser events (not held)
    std::wstring frameUrl;    // LocationURL of pDisp
    std::wstring eventType;   // get_type of the event object of -600
    VARTYPE urlType;          // what the address VARIANT held
  };

  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG Release() override { return static_cast<ULONG>(--refs); }
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;

  // Events with this id, in order.
  std::vector<Event> Of(DISPID id) const;

  long refs = 0;
  bool answersEventInterface = true;  // QueryInterface(DIID_HTMLElementEvents2)
  std::vector<Event> events;
  // BeforeNavigate2 is cancelled for addresses this answers true for.
  std::function<bool(const std::wstring&)> cancel;
  // Runs after each recorded event.
  std::function<void(const Event&)> after;
};

// "<id>:<url>" for each event, for comparing sequences in one go.
std::vector<std::wstring> Describe(const std::vector<RecordingSink::Event>& events);
