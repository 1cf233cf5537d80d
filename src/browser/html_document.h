// The top-level document as the shell sees it: the elements in document
// order, links answering IHTMLAnchorElement, and click events delivered to
// the sinks connected to a link. Both browser implementations fill it: the
// WebKit one from what the web process reports, the scripted one from the
// test's description.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "browser/html_interfaces.h"

// One element as a browser reports it. Ids are unique within a document
// and stay with the element, so a refreshed list keeps element identity.
struct ElementInfo {
  uint64_t id = 0;
  std::wstring tag;
  bool anchor = false;
  std::wstring href;  // anchors only; empty when the link has no address
};

class HtmlElement final : public IHTMLElement, public IHTMLAnchorElement, public IConnectionPointContainer {
 public:
  explicit HtmlElement(const ElementInfo& info);

  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) override;
  HRESULT get_tagName(BSTR* p) override;
  HRESULT get_href(BSTR* p) override;
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
  HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

  void Update(const ElementInfo& info);
  const ElementInfo& Info() const { return m_info; }
  // Hands a click to every connected sink (DISPID -600, one argument: the
  // event object). What a sink answers never cancels the click.
  void FireClick();
  size_t ConnectionCount() const { return m_sinks.size(); }

  // Used by the element's connection point.
  HRESULT Connect(IUnknown* sink, DWORD* cookie);
  HRESULT Disconnect(DWORD cookie);

 private:
  ~HtmlElement();

  ULONG m_ref = 1;
  ElementInfo m_info;
  DWORD m_nextCookie = 1;
  std::map<DWORD, IDispatch*> m_sinks;  // one reference each
};

class HtmlDocument final : public IHTMLDocument2 {
 public:
  // A new document (one reference) for the address; serial tells
  // documents of the same browser apart.
  HtmlDocument(std::wstring url, std::string serial);

  HRESULT QueryInterface(REFIID riid, void** ppv) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override;
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
  HRESULT get_all(IHTMLElementCollection** p) override;
  HRESULT get_URL(BSTR* p) override;

  // Replaces the element list; elements seen before keep their objects
  // (and so their connections).
  void SetElements(const std::vector<ElementInfo>& elements);
  // A click on the element with that id; false when no such element.
  bool DispatchClick(uint64_t id);

  const std::wstring& Url() const { return m_url; }
  const std::string& Serial() const { return m_serial; }
  size_t ElementCount() const { return m_order.size(); }
  HtmlElement* ElementAt(size_t index) const { return index < m_order.size() ? m_order[index] : nullptr; }
  HtmlElement* ElementById(uint64_t id) const;

 private:
  ~HtmlDocument();

  ULONG m_ref = 1;
  std::wstring m_url;
  std::string m_serial;
  std::vector<HtmlElement*> m_order;           // current list, borrowed from m_byId
  std::map<uint64_t, HtmlElement*> m_byId;     // one reference each
};
