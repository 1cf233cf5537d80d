#include <gtest/gtest.h>

#include "browser/html_document.h"
#include "browser_test_doubles.h"

namespace {

std::vector<ElementInfo> Page() {
  return {{1, L"HTML", false, L""},
          {2, L"BODY", false, L""},
          {3, L"A", true, L"http://127.0.0.1/a"},
          {4, L"A", true, L""},
          {5, L"DIV", false, L""}};
}

// Fetches item(position) of the document's all collection.
IDispatch* Item(HtmlDocument* doc, VARIANT name, HRESULT* hr = nullptr) {
  IHTMLElementCollection* all = nullptr;
  doc->get_all(&all);
  VARIANT index;
  VariantInit(&index);
  IDispatch* element = reinterpret_cast<IDispatch*>(0x1);  // must be overwritten
  HRESULT result = all->item(name, index, &element);
  if (hr) *hr = result;
  all->Release();
  return element;
}

VARIANT Position(VARTYPE vt, long long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  switch (vt) {
    case VT_UINT: v.uintVal = static_cast<UINT>(value); break;
    case VT_I4: v.lVal = static_cast<LONG>(value); break;
    case VT_INT: v.intVal = static_cast<int>(value); break;
    case VT_I2: v.iVal = static_cast<short>(value); break;
    default: break;
  }
  return v;
}

std::wstring Tag(IDispatch* element) {
  IHTMLElement* e = nullptr;
  if (!element || FAILED(element->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&e)))) return L"?";
  BSTR tag = nullptr;
  e->get_tagName(&tag);
  std::wstring out = tag ? tag : L"";
  SysFreeString(tag);
  e->Release();
  return out;
}

TEST(HtmlDocument, AllGivesElementsByPosition) {
  auto* doc = new HtmlDocument(L"http://127.0.0.1/", "1");
  doc->SetElements(Page());
  IHTMLElementCollection* all = nullptr;
  ASSERT_EQ(S_OK, doc->get_all(&all));
  long length = -1;
  all->get_length(&length);
  EXPECT_EQ(5, length);
  all->Release();

  struct Case {
    VARTYPE vt;
    long long position;
    HRESULT hr;
    const wchar_t* tag;  // null: no element
  } cases[] = {
      {VT_UINT, 0, S_OK, L"HTML"}, {VT_I4, 2, S_OK, L"A"},   {VT_INT, 4, S_OK, L"DIV"}, {VT_I2, 1, S_OK, L"BODY"},
      {VT_UINT, 5, S_OK, nullptr}, {VT_I4, -1, S_OK, nullptr}, {VT_BSTR, 0, E_INVALIDARG, nullptr},
  };
  for (const Case& c : cases) {
    HRESULT hr;
    IDispatch* element = Item(doc, Position(c.vt, c.position), &hr);
    EXPECT_EQ(c.hr, hr) << c.vt << " " << c.position;
    if (c.tag) {
      EXPECT_EQ(c.tag, Tag(element));
      if (element) element->Release();
    } else {
      EXPECT_EQ(nullptr, element) << c.vt << " " << c.position;
    }
  }
  doc->Release();
}

TEST(HtmlDocument, OnlyLinksAnswerAsAnchorsWithTheirAddress) {
  auto* doc = new HtmlDocument(L"u", "1");
  doc->SetElements(Page());
  const wchar_t* expected[] = {nullptr, nullptr, L"http://127.0.0.1/a", L"", nullptr};
  for (int i = 0; i < 5; ++i) {
    IDispatch* element = Item(doc, Position(VT_UINT, i));
    IHTMLAnchorElement* anchor = nullptr;
    HRESULT hr = element->QueryInterface(IID_IHTMLAnchorElement, reinterpret_cast<void**>(&anchor));
    if (!expected[i]) {
      EXPECT_EQ(E_NOINTERFACE, hr) << i;
      EXPECT_EQ(nullptr, anchor);
    } else {
      ASSERT_EQ(S_OK, hr) << i;
      BSTR href = nullptr;
      anchor->get_href(&href);
      EXPECT_EQ(std::wstring(expected[i]), std::wstring(href, SysStringLen(href)));
      SysFreeString(href);
      anchor->Release();
    }
    element->Release();
  }
  doc->Release();
}

TEST(HtmlDocument, ElementsKeepTheirIdentityAndConnectionsAcrossRefreshes) {
  auto* doc = new HtmlDocument(L"u", "1");
  doc->SetElements(Page());
  IDispatch* before = Item(doc, Position(VT_UINT, 2));
  RecordingSink sink;
  DWORD cookie = 0;
  ASSERT_TRUE(AfxConnectionAdvise(before, DIID_HTMLElementEvents2, &sink, TRUE, &cookie));

  // Script moved the link to the front and added an element.
  doc->SetElements({{3, L"A", true, L"http://127.0.0.1/moved"}, {1, L"HTML", false, L""}, {9, L"P", false, L""}});
  IDispatch* after = Item(doc, Position(VT_UINT, 0));
  EXPECT_EQ(before, after);
  EXPECT_TRUE(doc->DispatchClick(3));
  EXPECT_EQ(1u, sink.Of(DISPID_HTMLELEMENTEVENTS2_ONCLICK).size());
  EXPECT_FALSE(doc->DispatchClick(77));
  EXPECT_TRUE(AfxConnectionUnadvise(after, DIID_HTMLElementEvents2, &sink, TRUE, cookie));
  before->Release();
  after->Release();
  doc->Release();
  EXPECT_EQ(0, sink.refs);
}

TEST(HtmlDocument, ClicksReachEveryConnectedSinkUntilItDisconnects) {
  auto* doc = new HtmlDocument(L"u", "1");
  doc->SetElements(Page());
  IDispatch* link = Item(doc, Position(VT_UINT, 2));
  RecordingSink first, second, plainDispatch, nothing;
  plainDispatch.answersEventInterface = false;
  // Sinks are held by their owners; FALSE means the connection's own
  // reference is given back at once.
  for (RecordingSink* s : {&first, &second, &plainDispatch, &nothing}) s->AddRef();
  DWORD c1 = 0, c2 = 0, c3 = 0;
  ASSERT_TRUE(AfxConnectionAdvise(link, DIID_HTMLElementEvents2, &first, FALSE, &c1));
  ASSERT_TRUE(AfxConnectionAdvise(link, DIID_HTMLElementEvents2, &second, FALSE, &c2));
  ASSERT_TRUE(AfxConnectionAdvise(link, DIID_HTMLElementEvents2, &plainDispatch, FALSE, &c3));
  EXPECT_NE(0u, c1);
  EXPECT_NE(c1, c2);
  EXPECT_EQ(1, first.refs);
  EXPECT_EQ(1, second.refs);

  // No connection for other event sets; a wrong cookie disconnects nothing.
  DWORD unused = 0;
  const IID someOtherEvents = {0x1, 0x2, 0x3, {0, 0, 0, 0, 0, 0, 0, 4}};
  EXPECT_FALSE(AfxConnectionAdvise(link, someOtherEvents, &nothing, FALSE, &unused));
  EXPECT_FALSE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &nothing, FALSE, 999));
  EXPECT_EQ(1, nothing.refs);

  // The second sink disconnects itself while handling the click.
  second.after = [&](const RecordingSink::Event&) {
    EXPECT_TRUE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &second, FALSE, c2));
  };
  doc->DispatchClick(3);
  doc->DispatchClick(3);
  EXPECT_EQ(2u, first.Of(DISPID_HTMLELEMENTEVENTS2_ONCLICK).size());
  EXPECT_EQ(1u, second.Of(DISPID_HTMLELEMENTEVENTS2_ONCLICK).size());
  EXPECT_EQ(2u, plainDispatch.Of(DISPID_HTMLELEMENTEVENTS2_ONCLICK).size());
  EXPECT_EQ(L"click", first.events[0].eventType);

  EXPECT_TRUE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &first, FALSE, c1));
  EXPECT_FALSE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &first, FALSE, c1)) << "already gone";
  doc->DispatchClick(3);
  EXPECT_EQ(2u, first.Of(DISPID_HTMLELEMENTEVENTS2_ONCLICK).size());
  EXPECT_EQ(1, first.refs);
  EXPECT_EQ(1, second.refs);

  link->Release();
  doc->Release();  // the last connection (plainDispatch) goes with the element
  EXPECT_EQ(0, plainDispatch.refs);
}

TEST(HtmlDocument, TheEventObjectNamesTheClickAndItsSource) {
  auto* doc = new HtmlDocument(L"u", "1");
  doc->SetElements(Page());
  IDispatch* link = Item(doc, Position(VT_UINT, 2));
  IDispatch* source = nullptr;
  // Looks into the event object while it is alive.
  class Peek : public IDispatch {
   public:
    IDispatch** out;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
      *ppv = (riid == IID_IDispatch || riid == IID_IUnknown) ? this : nullptr;
      return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override {
      EXPECT_EQ(DISPATCH_METHOD, flags);
      IHTMLEventObj* event = nullptr;
      p->rgvarg[0].pdispVal->QueryInterface(IID_IHTMLEventObj, reinterpret_cast<void**>(&event));
      IHTMLElement* element = nullptr;
      event->get_srcElement(&element);
      *out = element;
      event->Release();
      return S_OK;
    }
  } peek;
  peek.out = &source;
  DWORD cookie;
  ASSERT_TRUE(AfxConnectionAdvise(link, DIID_HTMLElementEvents2, &peek, TRUE, &cookie));
  doc->DispatchClick(3);
  EXPECT_EQ(link, source);
  if (source) source->Release();
  AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &peek, TRUE, cookie);
  link->Release();
  doc->Release();
}

}  // namespace
