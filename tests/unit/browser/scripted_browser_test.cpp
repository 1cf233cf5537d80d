#include <gtest/gtest.h>

#include <stdexcept>

#include "browser/scripted_browser.h"
#include "browser_test_doubles.h"

namespace {

// Calls the browser through IDispatch as the control site does.
HRESULT Navigate(IDispatch* browser, const wchar_t* url) {
  VARIANT empty[4], args[5];
  for (int i = 0; i < 4; ++i) {
    VariantInit(&empty[i]);
    VariantInit(&args[i]);
    args[i].vt = VT_BYREF | VT_VARIANT;
    args[i].pvarVal = &empty[i];
  }
  VariantInit(&args[4]);
  args[4].vt = VT_BSTR;
  args[4].bstrVal = SysAllocString(url);
  DISPPARAMS params{args, nullptr, 5, 0};
  HRESULT hr = browser->Invoke(DISPID_NAVIGATE, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  VariantClear(&args[4]);
  return hr;
}

VARIANT DocumentProperty(IDispatch* browser, WORD flags = DISPATCH_PROPERTYGET, HRESULT* hr = nullptr) {
  VARIANT result;
  VariantInit(&result);
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  HRESULT r = browser->Invoke(DISPID_DOCUMENT, IID_NULL, 0, flags, &none, &result, nullptr, nullptr);
  if (hr) *hr = r;
  return result;
}

class ScriptedBrowserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host.external = &external;
    browser = new ScriptedBrowser(&host);
    browser->SetEventSink(&events);
    browser->AddPage({L"http://h/login", {{L"HTML"}, {L"BODY"}, {L"A", L"http://h/next"}, {L"A", L"", false}},
                      {L"http://h/f1", L"http://h/f2"}});
  }
  void TearDown() override {
    browser->Release();
    EXPECT_EQ(0, events.refs) << "the event sink is let go with the browser";
    EXPECT_EQ(0, external.refs) << "every GetExternal reference was given back";
  }
  TestExternal external;
  TestHost host;
  RecordingSink events;
  ScriptedBrowser* browser = nullptr;
};

TEST_F(ScriptedBrowserTest, AsksTheHostOnceWhenMade) {
  EXPECT_EQ(1, host.hostInfoCalls);
  EXPECT_EQ(&host, browser->HostHandler());
  EXPECT_EQ(DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO, browser->HostFlags());
  EXPECT_EQ(0, host.refs) << "the site outlives the browser; its handler is not counted";

  ScriptedBrowser* unhosted = new ScriptedBrowser(nullptr);
  EXPECT_EQ(nullptr, unhosted->HostHandler());
  EXPECT_EQ(0u, unhosted->HostFlags());
  unhosted->Release();
}

TEST_F(ScriptedBrowserTest, DispatchAnswersNavigateAndDocument) {
  struct Case {
    const wchar_t* name;
    DISPID id;
    HRESULT hr;
  } cases[] = {{L"Navigate", 104, S_OK}, {L"document", 203, S_OK}, {L"LocationURL", 211, S_OK},
               {L"GoBack", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME}};
  for (const Case& c : cases) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = 0;
    EXPECT_EQ(c.hr, browser->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) << c.name;
    EXPECT_EQ(c.id, id) << c.name;
  }

  HRESULT hr;
  VARIANT doc = DocumentProperty(browser, DISPATCH_PROPERTYGET, &hr);
  EXPECT_EQ(S_OK, hr);
  EXPECT_EQ(VT_EMPTY, doc.vt) << "no document before the first page";
  DocumentProperty(browser, DISPATCH_METHOD, &hr);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, hr);

  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, browser->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  VARIANT number;
  VariantInit(&number);
  number.vt = VT_I4;
  DISPPARAMS wrong{&number, nullptr, 1, 0};
  EXPECT_EQ(DISP_E_TYPEMISMATCH, browser->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &wrong, nullptr, nullptr, nullptr));
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, browser->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  EXPECT_EQ(0u, browser->PendingCount());
}

TEST_F(ScriptedBrowserTest, APageWithFramesFiresItsEventsInBrowserOrder) {
  ASSERT_EQ(S_OK, Navigate(browser, L"http://h/login"));
  EXPECT_TRUE(events.events.empty()) << "navigation happens when the loop runs, not inside Navigate";
  EXPECT_EQ(1u, browser->DeliverPending());

  EXPECT_EQ((std::vector<std::wstring>{L"250:http://h/login", L"252:http://h/login", L"250:http://h/f1",
                                       L"252:http://h/f1", L"259:http://h/f1", L"250:http://h/f2", L"252:http://h/f2",
                                       L"259:http://h/f2", L"259:http://h/login"}),
            Describe(events.events));
  for (const auto& e : events.events) EXPECT_EQ(VT_BSTR, e.urlType);
  EXPECT_EQ(static_cast<IDispatch*>(browser), events.events[0].frame);
  EXPECT_EQ(static_cast<IDispatch*>(browser), events.events[8].frame);
  EXPECT_NE(static_cast<IDispatch*>(browser), events.events[3].frame);
  EXPECT_EQ(L"http://h/f1", events.events[3].frameUrl);

  VARIANT doc = DocumentProperty(browser);
  ASSERT_EQ(VT_DISPATCH, doc.vt);
  IHTMLDocument2* html = nullptr;
  ASSERT_EQ(S_OK, doc.pdispVal->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&html)));
  IHTMLElementCollection* all = nullptr;
  html->get_all(&all);
  long length = 0;
  all->get_length(&length);
  EXPECT_EQ(4, length);
  all->Release();
  html->Release();
  VariantClear(&doc);
}

TEST_F(ScriptedBrowserTest, ACancelledNavigationLeavesThePageAsItWas) {
  Navigate(browser, L"http://h/login");
  browser->DeliverPending();
  HtmlDocument* before = browser->CurrentDocument();
  events.events.clear();
  events.cancel = [](const std::wstring& url) { return url == L"http://h/elsewhere"; };
  Navigate(browser, L"http://h/elsewhere");
  browser->DeliverPending();
  EXPECT_EQ((std::vector<std::wstring>{L"250:http://h/elsewhere"}), Describe(events.events));
  EXPECT_EQ(before, browser->CurrentDocument());
}

TEST_F(ScriptedBrowserTest, ClickingALinkRunsItsSinksThenFollowsIt) {
  Navigate(browser, L"http://h/login");
  browser->DeliverPending();
  HtmlElement* link = browser->CurrentDocument()->ElementAt(2);
  link->AddRef();  // it outlives its page here
  RecordingSink linkSink;
  DWORD cookie = 0;
  ASSERT_TRUE(AfxConnectionAdvise(static_cast<IHTMLElement*>(link), DIID_HTMLElementEvents2, &linkSink, TRUE, &cookie));
  events.events.clear();

  struct Case {
    size_t position;
    size_t clicksSeen;
    std::vector<std::wstring> loads;
  } cases[] = {
      {0, 0, {}},                  // not a link
      {3, 0, {}},                  // a link without an address
      {2, 1, {L"http://h/next"}},  // the hooked link
  };
  for (const Case& c : cases) {
    size_t loadsBefore = browser->NavigationLog().size();
    EXPECT_TRUE(browser->ClickElement(c.position));
    browser->DeliverPending();
    EXPECT_EQ(c.clicksSeen, linkSink.events.size()) << c.position;
    std::vector<std::wstring> loads(browser->NavigationLog().begin() + loadsBefore, browser->NavigationLog().end());
    EXPECT_EQ(c.loads, loads) << c.position;
  }
  EXPECT_FALSE(browser->ClickElement(99));
  EXPECT_EQ(L"click", linkSink.events[0].eventType);
  EXPECT_TRUE(AfxConnectionUnadvise(static_cast<IHTMLElement*>(link), DIID_HTMLElementEvents2, &linkSink, TRUE, cookie));
  EXPECT_EQ(0, linkSink.refs);
  link->Release();
}

TEST_F(ScriptedBrowserTest, WindowExternalFollowsTheHostsObject) {
  struct Case {
    const wchar_t* name;
    ExternalProperty::Kind kind;
    DISPID id;
  } cases[] = {
      {L"piqnwg", ExternalProperty::Kind::kValue, 12345},
      {L"ｐｉｑ", ExternalProperty::Kind::kValue, 12345},  // full-width forms
      {L"AppLogin", ExternalProperty::Kind::kMethod, 10001},
      {L"Apple", ExternalProperty::Kind::kMethod, 10001},
      {L"applogin", ExternalProperty::Kind::kUndefined, DISPID_UNKNOWN},
      {L"Ap", ExternalProperty::Kind::kUndefined, DISPID_UNKNOWN},
  };
  for (const Case& c : cases) {
    int before = host.getExternalCalls;
    ExternalProperty p = browser->ScriptRead(c.name);
    EXPECT_EQ(c.kind, p.kind) << c.name;
    EXPECT_EQ(c.id, p.dispid) << c.name;
    EXPECT_EQ(before + 1, host.getExternalCalls) << "each read asks the host again";
    EXPECT_EQ(0, external.refs);
    if (c.kind == ExternalProperty::Kind::kValue) {
      EXPECT_EQ(channel::Value::String("Xfspry"), p.value);
    }
  }

  ExternalCallResult ok = browser->ScriptCall(L"Apple", {channel::Value::String("{\"uid\":\"1\"}"), channel::Value::Int(3)});
  EXPECT_TRUE(ok.ok);
  EXPECT_EQ(channel::Value::Undefined(), ok.value);
  ASSERT_EQ(1u, external.calls.size());
  EXPECT_EQ(L"{\"uid\":\"1\"}", external.Payloads()[0]);
  EXPECT_EQ(VT_I4, external.calls[0].args[1].vt);

  EXPECT_FALSE(browser->ScriptCall(L"piqnwg", {}).ok) << "a value is not a function";
  EXPECT_FALSE(browser->ScriptCall(L"nothing", {}).ok);
}

TEST_F(ScriptedBrowserTest, WithoutAnExternalObjectEveryNameIsUndefined) {
  host.external = nullptr;
  EXPECT_EQ(ExternalProperty::Kind::kUndefined, browser->ScriptRead(L"piqnwg").kind);
  browser->DetachSite();
  host.external = &external;
  EXPECT_EQ(nullptr, browser->HostHandler());
  int before = host.getExternalCalls;
  EXPECT_EQ(ExternalProperty::Kind::kUndefined, browser->ScriptRead(L"piqnwg").kind);
  EXPECT_EQ(before, host.getExternalCalls) << "a detached browser asks its old site nothing";
  Navigate(browser, L"http://h/login");
  browser->DeliverPending();
  EXPECT_TRUE(events.events.empty()) << "nor does it fire events into the old sink";
}

// An external object whose method throws, as a failing login could.
class ThrowingExternal : public IDispatch {
 public:
  HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
    ids[0] = 10001;
    return S_OK;
  }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    if (flags & DISPATCH_METHOD) throw std::runtime_error("download failed");
    return S_OK;
  }
};

TEST_F(ScriptedBrowserTest, AnExceptionFromTheExternalObjectBecomesAFailedCall) {
  ThrowingExternal throwing;
  host.external = &throwing;
  ExternalCallResult result;
  EXPECT_NO_THROW(result = browser->ScriptCall(L"AppLogin", {channel::Value::String("x")}));
  EXPECT_FALSE(result.ok);
  EXPECT_NE(std::string::npos, result.error.find("download failed"));
  host.external = &external;
}

TEST(HostBrowserControl, TheSiteConnectsAndFinallyDetaches) {
  TestHost host;
  RecordingSink sink;
  auto* browser = new ScriptedBrowser(&host);
  HostedControl hosted = HostBrowserControl(browser);
  ASSERT_EQ(static_cast<IDispatch*>(browser), hosted.dispatch);
  hosted.connectEvents(&sink);
  EXPECT_EQ(1, sink.refs);
  Navigate(browser, L"http://h/");
  browser->DeliverPending();
  EXPECT_EQ(3u, sink.events.size());
  hosted.connectEvents(nullptr);
  EXPECT_EQ(0, sink.refs);
  EXPECT_EQ(nullptr, browser->HostHandler());
  hosted.dispatch->Release();
}

}  // namespace
