#include "browser_test_doubles.h"

#include <string>

namespace {

std::wstring TextOf(const VARIANT& v) {
  const VARIANT* p = &v;
  if (p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal) p = p->pvarVal;
  if (p->vt != VT_BSTR || !p->bstrVal) return std::wstring();
  return std::wstring(p->bstrVal, SysStringLen(p->bstrVal));
}

std::wstring LocationOf(IDispatch* frame) {
  if (!frame) return std::wstring();
  LPOLESTR name = const_cast<LPOLESTR>(L"LocationURL");
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(frame->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return std::wstring();
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  frame->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
  std::wstring url = TextOf(result);
  VariantClear(&result);
  return url;
}

}  // namespace

// ---------------------------------------------------------------------------

TestExternal::~TestExternal() {
  for (Call& call : calls)
    for (VARIANT& v : call.args) VariantClear(&v);
}

HRESULT TestExternal::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IDispatch) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

HRESULT TestExternal::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }

HRESULT TestExternal::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    lookedUp.push_back(names[i] ? names[i] : L"");
    if (CompareStringW(lcid, NORM_IGNOREWIDTH, names[i], 3, L"piqnwg", 3) == CSTR_EQUAL)
      ids[i] = 12345;
    else if (CompareStringW(lcid, NORM_IGNOREWIDTH, names[i], 3, L"AppLogin", 3) == CSTR_EQUAL)
      ids[i] = 10001;
    else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT TestExternal::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                             UINT*) {
  if (id == 12345 && (flags & DISPATCH_PROPERTYGET) && result) {
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocString(L"Xfspry");
  } else if (id == 10001 && (flags & DISPATCH_METHOD)) {
    Call call{id, flags, {}};
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
      VARIANT copy;
      VariantInit(&copy);
      VariantCopy(&copy, &params->rgvarg[i - 1]);
      call.args.push_back(copy);
    }
    calls.push_back(call);
    if (duringMethod) duringMethod(calls.back());
  }
  return S_OK;
}

std::vector<std::wstring> TestExternal::Payloads() const {
  std::vector<std::wstring> out;
  for (const Call& call : calls) out.push_back(call.args.empty() ? L"<none>" : TextOf(call.args[0]));
  return out;
}

// ---------------------------------------------------------------------------

HRESULT TestHost::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDocHostUIHandler) return E_NOINTERFACE;
  *ppv = static_cast<IDocHostUIHandler*>(this);
  AddRef();
  return S_OK;
}

HRESULT TestHost::ShowContextMenu(DWORD dwID, POINT*, IUnknown*, IDispatch*) {
  contextMenus.push_back(dwID);
  return contextMenuAnswer;
}

HRESULT TestHost::GetHostInfo(DOCHOSTUIINFO* info) {
  ++hostInfoCalls;
  info->dwFlags = flags;
  info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
  return S_OK;
}

HRESULT TestHost::TranslateAccelerator(LPMSG msg, const GUID*, DWORD) {
  keys.push_back(msg ? msg->wParam : 0);
  return acceleratorAnswer;
}

HRESULT TestHost::GetExternal(IDispatch** ppDispatch) {
  ++getExternalCalls;
  if (!external) return E_NOTIMPL;
  external->AddRef();
  *ppDispatch = external;
  return S_OK;
}

// ---------------------------------------------------------------------------

HRESULT RecordingSink::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch && !(answersEventInterface && riid == DIID_HTMLElementEvents2))
    return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

HRESULT RecordingSink::GetTypeInfoCount(UINT* pctinfo) {
  *pctinfo = 0;
  return S_OK;
}

HRESULT RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  Event event{id, L"", nullptr, L"", L"", VT_EMPTY};
  UINT n = params ? params->cArgs : 0;
  if (id == DISPID_HTMLELEMENTEVENTS2_ONCLICK) {
    if (n == 1 && params->rgvarg[0].vt == VT_DISPATCH && params->rgvarg[0].pdispVal) {
      IHTMLEventObj* object = nullptr;
      if (SUCCEEDED(params->rgvarg[0].pdispVal->QueryInterface(IID_IHTMLEventObj, reinterpret_cast<void**>(&object)))) {
        BSTR type = nullptr;
        object->get_type(&type);
        event.eventType = type ? type : L"";
        SysFreeString(type);
        object->Release();
      }
    }
  } else if (n >= 2) {
    // pDisp and URL come first, so they travel last.
    const VARIANT& frame = params->rgvarg[n - 1];
    const VARIANT& url = params->rgvarg[n - 2];
    if (frame.vt == VT_DISPATCH) event.frame = frame.pdispVal;
    event.frameUrl = LocationOf(event.frame);
    event.url = TextOf(url);
    event.urlType = (url.vt == (VT_BYREF | VT_VARIANT) && url.pvarVal) ? url.pvarVal->vt : url.vt;
    if (id == 250 && n == 7 && cancel && cancel(event.url) && params->rgvarg[0].vt == (VT_BYREF | VT_BOOL))
      *params->rgvarg[0].pboolVal = VARIANT_TRUE;
  }
  events.push_back(event);
  if (after) after(events.back());
  return S_OK;
}

std::vector<RecordingSink::Event> RecordingSink::Of(DISPID id) const {
  std::vector<Event> out;
  for (const Event& e : events)
    if (e.id == id) out.push_back(e);
  return out;
}

std::vector<std::wstring> Describe(const std::vector<RecordingSink::Event>& events) {
  std::vector<std::wstring> out;
  for (const auto& e : events) out.push_back(std::to_wstring(e.id) + L":" + e.url);
  return out;
}
