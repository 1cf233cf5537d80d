#include "browser/html_document.h"

#include <cwchar>
#include <utility>

namespace {

// Dispatch ids of the element properties scripts can read by name.
constexpr DISPID kDispidTagName = 1;
constexpr DISPID kDispidHref = 2;

HRESULT NoTypeInfo(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT CopyText(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

bool PositionOf(const VARIANT& v, long long* position) {
  switch (v.vt) {
    case VT_UINT: *position = v.uintVal; return true;
    case VT_I4: *position = v.lVal; return true;
    case VT_INT: *position = v.intVal; return true;
    case VT_I2: *position = v.iVal; return true;
    default: return false;
  }
}

// The IUnknown and (empty) IDispatch parts of a small counted object that
// offers one interface besides IDispatch.
template <class Interface>
class SingleInterfaceObject : public Interface {
 public:
  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch && riid != m_iid) return E_NOINTERFACE;
    *ppv = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_ref; }
  ULONG Release() override {
    ULONG left = --m_ref;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetTypeInfoCount(UINT* pctinfo) override { return NoTypeInfo(pctinfo); }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

 protected:
  explicit SingleInterfaceObject(const IID& iid) : m_iid(iid) {}
  virtual ~SingleInterfaceObject() = default;

 private:
  const IID& m_iid;
  ULONG m_ref = 1;
};

class ElementCollection final : public SingleInterfaceObject<IHTMLElementCollection> {
 public:
  explicit ElementCollection(std::vector<HtmlElement*> elements)
      : SingleInterfaceObject(IID_IHTMLElementCollection), m_elements(std::move(elements)) {
    for (HtmlElement* e : m_elements) e->AddRef();
  }


  HRESULT get_length(long* p) override {
    if (!p) return E_POINTER;
    *p = static_cast<long>(m_elements.size());
    return S_OK;
  }
  HRESULT item(VARIANT name, VARIANT, IDispatch** pdisp) override {
    if (!pdisp) return E_POINTER;
    *pdisp = nullptr;
    long long position;
    if (!PositionOf(name, &position)) return E_INVALIDARG;
    if (position < 0 || static_cast<unsigned long long>(position) >= m_elements.size()) return S_OK;
    HtmlElement* element = m_elements[static_cast<size_t>(position)];
    *pdisp = static_cast<IHTMLElement*>(element);
    element->AddRef();
    return S_OK;
  }

 private:
  ~ElementCollection() override {
    for (HtmlElement* e : m_elements) e->Release();
  }
  std::vector<HtmlElement*> m_elements;
};

class ElementEventsPoint final : public IConnectionPoint {
 public:
  explicit ElementEventsPoint(HtmlElement* element) : m_element(element) { m_element->AddRef(); }

  HRESULT QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) return E_NOINTERFACE;
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++m_ref; }
  ULONG Release() override {
    ULONG left = --m_ref;
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetConnectionInterface(IID* pIID) override {
    if (!pIID) return E_POINTER;
    *pIID = DIID_HTMLElementEvents2;
    return S_OK;
  }
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override {
    if (!ppCPC) return E_POINTER;
    *ppCPC = static_cast<IConnectionPointContainer*>(m_element);
    m_element->AddRef();
    return S_OK;
  }
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override { return m_element->Connect(sink, cookie); }
  HRESULT Unadvise(DWORD cookie) override { return m_element->Disconnect(cookie); }
  HRESULT EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

 private:
  ~ElementEventsPoint() { m_element->Release(); }
  ULONG m_ref = 1;
  HtmlElement* m_element;
};

class EventObject final : public SingleInterfaceObject<IHTMLEventObj> {
 public:
  EventObject(std::wstring type, HtmlElement* source)
      : SingleInterfaceObject(IID_IHTMLEventObj), m_type(std::move(type)), m_source(source) {
    m_source->AddRef();
  }

  HRESULT get_type(BSTR* p) override { return CopyText(m_type, p); }
  HRESULT get_srcElement(IHTMLElement** p) override {
    if (!p) return E_POINTER;
    *p = m_source;
    m_source->AddRef();
    return S_OK;
  }

 private:
  ~EventObject() override { m_source->Release(); }
  std::wstring m_type;
  HtmlElement* m_source;
};

}  // namespace

// ---------------------------------------------------------------------------

HtmlElement::HtmlElement(const ElementInfo& info) : m_info(info) {}

HtmlElement::~HtmlElement() {
  for (auto& entry : m_sinks) entry.second->Release();
}

HRESULT HtmlElement::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLElement)
    *ppv = static_cast<IHTMLElement*>(this);
  else if (riid == IID_IHTMLAnchorElement && m_info.anchor)
    *ppv = static_cast<IHTMLAnchorElement*>(this);
  else if (riid == IID_IConnectionPointContainer)
    *ppv = static_cast<IConnectionPointContainer*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG HtmlElement::AddRef() { return ++m_ref; }

ULONG HtmlElement::Release() {
  ULONG left = --m_ref;
  if (left == 0) delete this;
  return left;
}

HRESULT HtmlElement::GetTypeInfoCount(UINT* pctinfo) { return NoTypeInfo(pctinfo); }
HRESULT HtmlElement::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT HtmlElement::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    const wchar_t* name = names[i] ? names[i] : L"";
    if (std::wcscmp(name, L"tagName") == 0)
      ids[i] = kDispidTagName;
    else if (std::wcscmp(name, L"href") == 0 && m_info.anchor)
      ids[i] = kDispidHref;
    else {
      ids[i] = DISPID_UNKNOWN;
      hr = DISP_E_UNKNOWNNAME;
    }
  }
  return hr;
}

HRESULT HtmlElement::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (id != kDispidTagName && !(id == kDispidHref && m_info.anchor)) return DISP_E_MEMBERNOTFOUND;
  if (!result) return S_OK;
  VariantInit(result);
  result->vt = VT_BSTR;
  return CopyText(id == kDispidTagName ? m_info.tag : m_info.href, &result->bstrVal);
}

HRESULT HtmlElement::get_tagName(BSTR* p) { return CopyText(m_info.tag, p); }

HRESULT HtmlElement::get_href(BSTR* p) {
  if (!m_info.anchor) return E_NOINTERFACE;
  return CopyText(m_info.href, p);
}

HRESULT HtmlElement::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT HtmlElement::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
  if (!ppCP) return E_POINTER;
  *ppCP = nullptr;
  if (riid != DIID_HTMLElementEvents2) return CONNECT_E_NOCONNECTION;
  *ppCP = new ElementEventsPoint(this);
  return S_OK;
}

HRESULT HtmlElement::Connect(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  // A sink may answer the event interface itself or only plain IDispatch.
  IDispatch* dispatch = nullptr;
  if (FAILED(sink->QueryInterface(DIID_HTMLElementEvents2, reinterpret_cast<void**>(&dispatch))) || !dispatch) {
    dispatch = nullptr;
    if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))) || !dispatch)
      return CONNECT_E_CANNOTCONNECT;
  }
  DWORD given = m_nextCookie++;
  if (m_nextCookie == 0) m_nextCookie = 1;
  m_sinks[given] = dispatch;
  *cookie = given;
  return S_OK;
}

HRESULT HtmlElement::Disconnect(DWORD cookie) {
  auto found = m_sinks.find(cookie);
  if (found == m_sinks.end()) return CONNECT_E_NOCONNECTION;
  IDispatch* sink = found->second;
  m_sinks.erase(found);
  sink->Release();
  return S_OK;
}

void HtmlElement::Update(const ElementInfo& info) { m_info = info; }

void HtmlElement::FireClick() {
  if (m_sinks.empty()) return;
  AddRef();  // a sink may drop the last outside reference
  // Sinks may connect or disconnect while being called: call the ones
  // connected now, each kept alive for its call.
  std::vector<IDispatch*> sinks;
  for (auto& entry : m_sinks) {
    entry.second->AddRef();
    sinks.push_back(entry.second);
  }
  auto* event = new EventObject(L"click", this);
  for (IDispatch* sink : sinks) {
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = event;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    sink->Invoke(DISPID_HTMLELEMENTEVENTS2_ONCLICK, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                 nullptr, nullptr);
    VariantClear(&result);
    sink->Release();
  }
  event->Release();
  Release();
}

// ---------------------------------------------------------------------------

HtmlDocument::HtmlDocument(std::wstring url, std::string serial) : m_url(std::move(url)), m_serial(std::move(serial)) {}

HtmlDocument::~HtmlDocument() {
  for (auto& entry : m_byId) entry.second->Release();
}

HRESULT HtmlDocument::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IDispatch && riid != IID_IHTMLDocument2) return E_NOINTERFACE;
  *ppv = static_cast<IHTMLDocument2*>(this);
  AddRef();
  return S_OK;
}

ULONG HtmlDocument::AddRef() { return ++m_ref; }

ULONG HtmlDocument::Release() {
  ULONG left = --m_ref;
  if (left == 0) delete this;
  return left;
}

HRESULT HtmlDocument::GetTypeInfoCount(UINT* pctinfo) { return NoTypeInfo(pctinfo); }
HRESULT HtmlDocument::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT HtmlDocument::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}
HRESULT HtmlDocument::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

HRESULT HtmlDocument::get_all(IHTMLElementCollection** p) {
  if (!p) return E_POINTER;
  *p = new ElementCollection(m_order);
  return S_OK;
}

HRESULT HtmlDocument::get_URL(BSTR* p) { return CopyText(m_url, p); }

void HtmlDocument::SetElements(const std::vector<ElementInfo>& elements) {
  std::vector<HtmlElement*> order;
  order.reserve(elements.size());
  for (const ElementInfo& info : elements) {
    auto found = m_byId.find(info.id);
    HtmlElement* element;
    if (found != m_byId.end()) {
      element = found->second;
      element->Update(info);
    } else {
      element = new HtmlElement(info);
      m_byId[info.id] = element;
    }
    order.push_back(element);
  }
  m_order = std::move(order);
}

HtmlElement* HtmlDocument::ElementById(uint64_t id) const {
  auto found = m_byId.find(id);
  return found == m_byId.end() ? nullptr : found->second;
}

bool HtmlDocument::DispatchClick(uint64_t id) {
  HtmlElement* element = ElementById(id);
  if (!element) return false;
  element->FireClick();
  return true;
}
