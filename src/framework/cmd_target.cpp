#include "cmd_target.h"

#include <cwctype>

CCmdTarget::CCmdTarget() = default;
CCmdTarget::~CCmdTarget() = default;

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }
const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }
const AFX_INTERFACEMAP* CCmdTarget::GetThisInterfaceMap() {
  static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, nullptr}};
  static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const { return GetThisDispatchMap(); }
const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap() {
  static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, 0, nullptr}};
  static const AFX_DISPMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_EVENTSINKMAP* CCmdTarget::GetEventSinkMap() const { return GetThisEventSinkMap(); }
const AFX_EVENTSINKMAP* CCmdTarget::GetThisEventSinkMap() {
  static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr}};
  static const AFX_EVENTSINKMAP map = {nullptr, &entries[0]};
  return &map;
}

void CCmdTarget::EnableAutomation() { m_bAutomation = true; }

IDispatch* CCmdTarget::GetIDispatch(BOOL addRef) {
  if (!m_bAutomation) return nullptr;
  if (addRef) ExternalAddRef();
  return &m_xDispatch;
}

ULONG CCmdTarget::ExternalAddRef() { return static_cast<ULONG>(++m_dwRef); }

ULONG CCmdTarget::ExternalRelease() {
  LONG count = --m_dwRef;
  if (count == 0) OnFinalRelease();
  return static_cast<ULONG>(count);
}

HRESULT CCmdTarget::ExternalQueryInterface(const void* iid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  const IID& wanted = *static_cast<const IID*>(iid);
  IUnknown* found = nullptr;
  if (m_bAutomation && (wanted == IID_IUnknown || wanted == IID_IDispatch)) found = &m_xDispatch;
  for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map && !found;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntry; e->piid; ++e)
      if (*e->piid == wanted) {
        found = e->get(this);
        break;
      }
  }
  if (!found) return E_NOINTERFACE;
  ExternalAddRef();
  *ppv = found;
  return S_OK;
}

BOOL CCmdTarget::OnEvent(UINT ctrlId, DISPID dispid, DISPPARAMS* params) {
  for (const AFX_EVENTSINKMAP* map = GetEventSinkMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
    for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e->invoke; ++e)
      if (e->nCtrlID == ctrlId && e->dispid == dispid) return e->invoke(this, params);
  return FALSE;
}

HRESULT CCmdTarget::XDispatch::QueryInterface(REFIID riid, void** ppv) { return m_pOwner->ExternalQueryInterface(&riid, ppv); }
ULONG CCmdTarget::XDispatch::AddRef() { return m_pOwner->ExternalAddRef(); }
ULONG CCmdTarget::XDispatch::Release() { return m_pOwner->ExternalRelease(); }
HRESULT CCmdTarget::XDispatch::GetTypeInfoCount(UINT* pctinfo) {
  if (pctinfo) *pctinfo = 0;
  return S_OK;
}
HRESULT CCmdTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT CCmdTarget::XDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const AFX_DISPMAP* map = m_pOwner->GetDispatchMap(); map && ids[i] == DISPID_UNKNOWN;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
      for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e->invoke; ++e) {
        const wchar_t *a = e->lpszName, *b = names[i];
        while (*a && *b && std::towlower(*a) == std::towlower(*b)) ++a, ++b;
        if (!*a && !*b) {
          ids[i] = e->lDispID;
          break;
        }
      }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT CCmdTarget::XDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                      UINT*) {
  for (const AFX_DISPMAP* map = m_pOwner->GetDispatchMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr)
    for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e->invoke; ++e)
      if (e->lDispID == id) return e->invoke(m_pOwner, params, result);
  return DISP_E_MEMBERNOTFOUND;
}
