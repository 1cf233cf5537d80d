#include "browser/browser_control.h"

#include <cwctype>

namespace {

bool SameNameIgnoringCase(const wchar_t* a, const wchar_t* b) {
  for (; *a && *b; ++a, ++b)
    if (std::towlower(*a) != std::towlower(*b)) return false;
  return *a == *b;
}

HRESULT TextResult(const std::wstring& text, VARIANT* result) {
  if (!result) return S_OK;
  VariantInit(result);
  result->vt = VT_BSTR;
  result->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

// The address argument of Navigate: a string, possibly behind a VARIANT
// reference.
bool AddressArgument(const VARIANT& arg, std::wstring* url) {
  const VARIANT* v = &arg;
  if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
  if (v->vt == VT_BSTR) {
    *url = v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : std::wstring();
    return true;
  }
  if (v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) {
    *url = *v->pbstrVal ? std::wstring(*v->pbstrVal, SysStringLen(*v->pbstrVal)) : std::wstring();
    return true;
  }
  return false;
}

}  // namespace

BrowserControl::BrowserControl(IUnknown* clientSite) {
  if (!clientSite) return;
  IDocHostUIHandler* handler = nullptr;
  if (SUCCEEDED(clientSite->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&handler))) && handler) {
    // The site owns this control and outlives it; holding a count on its
    // handler would only be given back while the site is being destroyed.
    handler->Release();
    m_host = handler;
    DOCHOSTUIINFO info{sizeof(DOCHOSTUIINFO), 0, DOCHOSTUIDBLCLK_DEFAULT, nullptr, nullptr};
    if (SUCCEEDED(m_host->GetHostInfo(&info))) m_hostFlags = info.dwFlags;
  }
}

BrowserControl::~BrowserControl() {
  if (m_sink) m_sink->Release();
  if (m_document) m_document->Release();
}

HRESULT BrowserControl::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG BrowserControl::AddRef() { return ++m_ref; }

ULONG BrowserControl::Release() {
  ULONG left = --m_ref;
  if (left == 0) delete this;
  return left;
}

HRESULT BrowserControl::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT BrowserControl::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT BrowserControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    const wchar_t* name = names[i] ? names[i] : L"";
    if (SameNameIgnoringCase(name, L"Navigate"))
      ids[i] = DISPID_NAVIGATE;
    else if (SameNameIgnoringCase(name, L"Document"))
      ids[i] = DISPID_DOCUMENT;
    else if (SameNameIgnoringCase(name, L"LocationURL"))
      ids[i] = DISPID_LOCATIONURL;
    else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT BrowserControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                               UINT* argError) {
  switch (id) {
    case DISPID_NAVIGATE: {
      if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      if (!params || params->cArgs < 1 || !params->rgvarg) return DISP_E_BADPARAMCOUNT;
      std::wstring url;
      // The address is the first argument, which travels last.
      if (!AddressArgument(params->rgvarg[params->cArgs - 1], &url)) {
        if (argError) *argError = params->cArgs - 1;
        return DISP_E_TYPEMISMATCH;
      }
      if (result) VariantInit(result);
      AddRef();  // the events may lead the site to let go of us
      Navigate(url);
      Release();
      return S_OK;
    }
    case DISPID_DOCUMENT:
      if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      if (result) {
        VariantInit(result);
        if (m_document) {
          result->vt = VT_DISPATCH;
          result->pdispVal = m_document;
          m_document->AddRef();
        }
      }
      return S_OK;
    case DISPID_LOCATIONURL:
      if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
      return TextResult(m_document ? m_document->Url() : std::wstring(), result);
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

void BrowserControl::SetEventSink(IDispatch* sink) {
  if (sink) sink->AddRef();
  IDispatch* old = m_sink;
  m_sink = sink;
  if (old) old->Release();
}

void BrowserControl::DetachSite() {
  m_host = nullptr;
  SetEventSink(nullptr);
}

void BrowserControl::SetCurrentDocument(HtmlDocument* doc) {
  HtmlDocument* old = m_document;
  m_document = doc;
  if (old) old->Release();
}

void BrowserControl::FireEvent(DISPID id, VARIANT* argsLastFirst, UINT count) {
  if (!m_sink) return;
  IDispatch* sink = m_sink;
  sink->AddRef();
  AddRef();  // the handler may lead the site to release us
  DISPPARAMS params{argsLastFirst, nullptr, count, 0};
  VARIANT result;
  VariantInit(&result);
  sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
  VariantClear(&result);
  sink->Release();
  Release();
}

namespace {

// A VARIANT holding a string, and the by-reference VARIANT that points at
// it, as the events hand addresses over.
struct TextArgument {
  explicit TextArgument(const std::wstring& text) {
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  }
  ~TextArgument() { VariantClear(&value); }
  TextArgument(const TextArgument&) = delete;
  TextArgument& operator=(const TextArgument&) = delete;
  VARIANT Reference() {
    VARIANT r;
    VariantInit(&r);
    r.vt = VT_BYREF | VT_VARIANT;
    r.pvarVal = &value;
    return r;
  }
  VARIANT value;
};

VARIANT DispatchArgument(IDispatch* frame) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = frame;
  return v;
}

}  // namespace

bool BrowserControl::FireBeforeNavigate2(IDispatch* frame, const std::wstring& url, const std::wstring& targetFrame) {
  TextArgument address(url), target(targetFrame), headers(L"");
  VARIANT flags, postData;
  VariantInit(&flags);
  flags.vt = VT_I4;
  flags.lVal = 0;
  VariantInit(&postData);
  VARIANT flagsRef, postRef;
  VariantInit(&flagsRef);
  flagsRef.vt = VT_BYREF | VT_VARIANT;
  flagsRef.pvarVal = &flags;
  VariantInit(&postRef);
  postRef.vt = VT_BYREF | VT_VARIANT;
  postRef.pvarVal = &postData;
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT cancelRef;
  VariantInit(&cancelRef);
  cancelRef.vt = VT_BYREF | VT_BOOL;
  cancelRef.pboolVal = &cancel;
  // pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel; last first.
  VARIANT args[7] = {cancelRef,          headers.Reference(), postRef, target.Reference(),
                     flagsRef,           address.Reference(), DispatchArgument(frame)};
  FireEvent(DISPID_BEFORENAVIGATE2, args, 7);
  return cancel != VARIANT_FALSE;
}

void BrowserControl::FireNavigateComplete2(IDispatch* frame, const std::wstring& url) {
  TextArgument address(url);
  VARIANT args[2] = {address.Reference(), DispatchArgument(frame)};
  FireEvent(DISPID_NAVIGATECOMPLETE2, args, 2);
}

void BrowserControl::FireDocumentComplete(IDispatch* frame, const std::wstring& url) {
  TextArgument address(url);
  VARIANT args[2] = {address.Reference(), DispatchArgument(frame)};
  FireEvent(DISPID_DOCUMENTCOMPLETE, args, 2);
}

// ---------------------------------------------------------------------------

HRESULT BrowserFrame::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
  *ppv = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG BrowserFrame::Release() {
  ULONG left = --m_ref;
  if (left == 0) delete this;
  return left;
}

HRESULT BrowserFrame::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT BrowserFrame::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    if (names[i] && SameNameIgnoringCase(names[i], L"LocationURL")) {
      ids[i] = DISPID_LOCATIONURL;
    } else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT BrowserFrame::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  if (id != DISPID_LOCATIONURL || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  return TextResult(m_url, result);
}

// ---------------------------------------------------------------------------

HostedControl HostBrowserControl(BrowserControl* control) {
  HostedControl hosted;
  if (!control) return hosted;
  hosted.dispatch = control;
  hosted.connectEvents = [control](IDispatch* sink) {
    if (sink)
      control->SetEventSink(sink);
    else
      control->DetachSite();
  };
  return hosted;
}
