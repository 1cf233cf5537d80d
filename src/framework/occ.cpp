#include "occ.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "window_internal.h"

namespace {

struct GuidLess {
  bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};

std::map<CLSID, ControlFactory, GuidLess>& Factories() {
  static std::map<CLSID, ControlFactory, GuidLess> factories;
  return factories;
}

std::map<HWND, COleControlSite*>& SitesByWindow() {
  static std::map<HWND, COleControlSite*> sites;
  return sites;
}

COccManager* g_manager = nullptr;

COccManager* StandardManager() {
  static COccManager manager;
  return &manager;
}

}  // namespace

void AfxRegisterControlFactory(const CLSID& clsid, ControlFactory factory) { Factories()[clsid] = std::move(factory); }

bool CLSIDFromText(const wchar_t* text, CLSID* clsid) {
  if (!text || !clsid) return false;
  unsigned a, b, c, d[8];
  char narrow[64] = {};
  for (int i = 0; i < 63 && text[i]; ++i) narrow[i] = static_cast<char>(text[i]);
  if (std::sscanf(narrow, "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &a, &b, &c, &d[0], &d[1], &d[2], &d[3], &d[4], &d[5],
                  &d[6], &d[7]) != 11)
    return false;
  clsid->Data1 = a;
  clsid->Data2 = static_cast<uint16_t>(b);
  clsid->Data3 = static_cast<uint16_t>(c);
  for (int i = 0; i < 8; ++i) clsid->Data4[i] = static_cast<uint8_t>(d[i]);
  return true;
}

COleControlSite::COleControlSite(COleControlContainer* container) : m_pCtrlCont(container) {}

COleControlSite::~COleControlSite() {
  if (m_connectEvents) m_connectEvents(nullptr);
  if (m_pObject) m_pObject->Release();
  m_pObject = nullptr;
  if (m_hWnd) SitesByWindow().erase(m_hWnd);
}

COleControlSite* COleControlSite::FromHostWindow(HWND hWnd) {
  auto it = SitesByWindow().find(hWnd);
  return it == SitesByWindow().end() ? nullptr : it->second;
}

BOOL COleControlSite::CreateControl(const CLSID& clsid, const DialogItemTemplate& item, const RECT& rect) {
  auto factory = Factories().find(clsid);
  if (factory == Factories().end() || !m_pCtrlCont || !m_pCtrlCont->m_pWnd) return FALSE;
  HWND host = CreateFrameworkWindow(item.exStyle, L"QuorinControlHost", item.text ? item.text : L"", item.style | WS_CHILD,
                                    rect, m_pCtrlCont->m_pWnd->m_hWnd, item.id);
  if (!host) return FALSE;
  m_hWnd = host;
  m_nID = item.id;
  SitesByWindow()[host] = this;
  HostedControl control = factory->second(GetClientSite(), host);
  if (!control.dispatch) {
    SitesByWindow().erase(host);
    m_hWnd = nullptr;
    DestroyWindow(host);
    return FALSE;
  }
  m_pObject = control.dispatch;
  m_connectEvents = control.connectEvents;
  if (m_connectEvents) m_connectEvents(&m_xEventSink);
  return TRUE;
}

HRESULT COleControlSite::XOleClientSite::QueryInterface(REFIID riid, void** ppv) {
  return m_pOwner->ExternalQueryInterface(&riid, ppv);
}
ULONG COleControlSite::XOleClientSite::AddRef() { return m_pOwner->ExternalAddRef(); }
ULONG COleControlSite::XOleClientSite::Release() { return m_pOwner->ExternalRelease(); }

HRESULT COleControlSite::XEventSink::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}
ULONG COleControlSite::XEventSink::AddRef() { return m_pOwner->ExternalAddRef(); }
ULONG COleControlSite::XEventSink::Release() { return m_pOwner->ExternalRelease(); }
HRESULT COleControlSite::XEventSink::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo) *pctinfo = 0;
  return S_OK;
}
HRESULT COleControlSite::XEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT COleControlSite::XEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT COleControlSite::XEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  auto* site = static_cast<COleControlSite*>(m_pOwner);
  CWnd* dialog = site->m_pCtrlCont ? site->m_pCtrlCont->m_pWnd : nullptr;
  if (dialog && IsWindow(dialog->m_hWnd)) dialog->OnEvent(site->m_nID, id, params);
  return S_OK;
}

BEGIN_INTERFACE_MAP(COleControlSite, CCmdTarget)
  INTERFACE_PART(COleControlSite, IID_IUnknown, OleClientSite)
END_INTERFACE_MAP()

COleControlSite* COccManager::CreateSite(COleControlContainer* container) { return new COleControlSite(container); }

namespace {

// One container per dialog window; it and its sites live as long as the
// dialog window.
struct DialogControls {
  std::unique_ptr<COleControlContainer> container;
  std::vector<std::unique_ptr<COleControlSite>> sites;
};

std::map<HWND, DialogControls>& ControlsByDialog() {
  static std::map<HWND, DialogControls> controls;
  return controls;
}

}  // namespace

HWND AfxCreateControl(CWnd* dialog, const CLSID& clsid, const DialogItemTemplate& item, const RECT& rect) {
  if (!dialog || !IsWindow(dialog->m_hWnd)) return nullptr;
  HWND dialogWnd = dialog->m_hWnd;
  auto& controls = ControlsByDialog()[dialogWnd];
  if (!controls.container) {
    controls.container = std::make_unique<COleControlContainer>(dialog);
    AddDestroyHook(dialogWnd, [dialogWnd] { ControlsByDialog().erase(dialogWnd); });
  }
  COleControlSite* site = AfxGetOccManager()->CreateSite(controls.container.get());
  if (!site) return nullptr;
  std::unique_ptr<COleControlSite> owned(site);
  if (!site->CreateControl(clsid, item, rect)) return nullptr;
  controls.sites.push_back(std::move(owned));
  return site->m_hWnd;
}

namespace {

BOOL CreateDialogControl(CWnd* dialog, const DialogItemTemplate& item, const RECT& rect) {
  CLSID clsid;
  if (!CLSIDFromText(item.className, &clsid)) return FALSE;
  return AfxCreateControl(dialog, clsid, item, rect) ? TRUE : FALSE;
}

}  // namespace

void AfxEnableControlContainer(COccManager* manager) {
  g_manager = manager;
  SetControlContainerHook(CreateDialogControl);
}

COccManager* AfxGetOccManager() { return g_manager ? g_manager : StandardManager(); }

HRESULT InvokeControl(HWND host, DISPID dispid, WORD flags, VARTYPE vtRet, void* pvRet, const char* paramInfo, ...) {
  COleControlSite* site = COleControlSite::FromHostWindow(host);
  if (!site || !site->m_pObject) return E_FAIL;
  std::vector<VARIANT> args;
  va_list ap;
  va_start(ap, paramInfo);
  for (const char* p = paramInfo ? paramInfo : ""; *p; ++p) {
    VARIANT v;
    VariantInit(&v);
    switch (static_cast<unsigned char>(*p)) {
      case 0x08:  // VTS_BSTR: a wide string, passed as a fresh BSTR
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(va_arg(ap, const wchar_t*));
        break;
      case 0x4C:  // VTS_PVARIANT
        v.vt = VT_BYREF | VT_VARIANT;
        v.pvarVal = va_arg(ap, VARIANT*);
        break;
      case 0x03:
        v.vt = VT_I4;
        v.lVal = va_arg(ap, LONG);
        break;
      default: break;
    }
    args.insert(args.begin(), v);  // last argument first
  }
  va_end(ap);
  DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = site->m_pObject->Invoke(dispid, IID_NULL, 0, flags, &params, &result, nullptr, nullptr);
  for (VARIANT& v : args)
    if (v.vt == VT_BSTR) VariantClear(&v);
  if (pvRet && vtRet == VT_DISPATCH) {
    *static_cast<IDispatch**>(pvRet) = (SUCCEEDED(hr) && result.vt == VT_DISPATCH) ? result.pdispVal : nullptr;
    if (*static_cast<IDispatch**>(pvRet)) result.vt = VT_EMPTY;  // the caller now holds the reference
  }
  VariantClear(&result);
  return hr;
}
