// The browser component in a real WebKitGTK view, against pages served
// from 127.0.0.1 by the test itself.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <set>
#include <string>

#include "browser_harness.h"
#include "http_test_server.h"

namespace {

class BrowserE2E : public ::testing::Test {
 protected:
  void SetUp() override { host.external = &external; }
  void TearDown() override {
    CloseView();
    EXPECT_EQ(0, external.refs) << "GetExternal references not given back";
  }

  // Destroys the browser; its web processes must end with it.
  void CloseView() {
    if (!view) return;
    EXPECT_FALSE(view->Browser()->WebProcessIds().empty()) << "no web process ever reached the shell";
    EXPECT_TRUE(view->Close()) << "a web process outlived its view";
    view.reset();
  }

  // A browser in a window, its events going to `events`.
  void Open(int width = 400, int height = 300) {
    view = std::make_unique<BrowserWindow>(&host, width, height);
    ASSERT_NE(nullptr, view->Browser());
    view->Browser()->SetEventSink(&events);
  }
  IDispatch* Browser() const { return view->Browser(); }

  // Navigates and waits for the page's top-level DocumentComplete.
  void Load(const std::string& path) {
    std::wstring url = Wide(server.Url(path));
    ASSERT_EQ(S_OK, view->Navigate(server.Url(path)));
    ASSERT_TRUE(RunUntil([&] { return HasTopLevelCompletion(events, Browser(), url); })) << server.Url(path);
  }

  HttpTestServer server;
  TestExternal external;
  TestHost host;
  RecordingSink events;
  std::unique_ptr<BrowserWindow> view;
};

TEST_F(BrowserE2E, ExternalAnswersInThePageAndInEveryFrame) {
  const std::string probe =
      "<script>var e = window.external;"
      "e.AppLogin(WHERE + '|' + e.piqnwg + '|' + typeof e.applogin + '|' + typeof e.nothing + '|' +"
      " typeof e.AppLogin + '|' + (window.external === e));</script>";
  auto with = [&](const std::string& where) {
    std::string page = probe;
    page.replace(page.find("WHERE"), 5, "'" + where + "'");
    return page;
  };
  server.Add("/frame.html", with("same-origin frame"));
  server.Add("/other.html", with("other-origin frame"));
  server.Add("/page.html", with("page") + "<iframe src='/frame.html'></iframe><iframe src='" +
                               server.OtherOriginUrl("/other.html") + "'></iframe>");
  Open();
  Load("/page.html");
  ASSERT_TRUE(RunUntil([&] { return external.calls.size() >= 3; }));

  std::vector<std::wstring> all = external.Payloads();
  std::set<std::wstring> got(all.begin(), all.end());
  EXPECT_EQ((std::set<std::wstring>{L"page|Xfspry|undefined|undefined|function|true",
                                    L"same-origin frame|Xfspry|undefined|undefined|function|true",
                                    L"other-origin frame|Xfspry|undefined|undefined|function|true"}),
            got);
  // Each read went through GetExternal and GetIDsOfNames with the name as
  // script wrote it.
  EXPECT_GE(host.getExternalCalls, 15);
  std::set<std::wstring> names(external.lookedUp.begin(), external.lookedUp.end());
  EXPECT_TRUE(names.count(L"piqnwg") && names.count(L"applogin") && names.count(L"nothing") && names.count(L"AppLogin"));
}

TEST_F(BrowserE2E, MethodCallsReachTheMethodIdWithTheScriptsArguments) {
  server.Add("/args.html",
             "<script>var r = window.external.Apple(7, 2.5, true, null, 'x', -2147483649);"
             "window.external.AppLogin();"
             "window.external.AppLogin('result:' + typeof r);</script>");
  Open();
  Load("/args.html");
  ASSERT_EQ(3u, external.calls.size());

  const auto& apple = external.calls[0];
  EXPECT_EQ(10001, apple.id);
  EXPECT_EQ(DISPATCH_METHOD, apple.flags);
  ASSERT_EQ(6u, apple.args.size());
  EXPECT_EQ(VT_I4, apple.args[0].vt);
  EXPECT_EQ(7, apple.args[0].lVal);
  EXPECT_EQ(VT_R8, apple.args[1].vt);
  EXPECT_EQ(2.5, apple.args[1].dblVal);
  EXPECT_EQ(VT_BOOL, apple.args[2].vt);
  EXPECT_EQ(VARIANT_TRUE, apple.args[2].boolVal);
  EXPECT_EQ(VT_NULL, apple.args[3].vt);
  EXPECT_EQ(VT_BSTR, apple.args[4].vt);
  EXPECT_STREQ(L"x", apple.args[4].bstrVal);
  EXPECT_EQ(VT_R8, apple.args[5].vt);  // beyond 32 bits
  EXPECT_EQ(-2147483649.0, apple.args[5].dblVal);

  EXPECT_TRUE(external.calls[1].args.empty());
  EXPECT_EQ(L"result:undefined", external.Payloads()[2]);
}

TEST_F(BrowserE2E, AppLoginGetsTheExactPayloadAndScriptWaitsForIt) {
  // 64 KiB of text mixing ASCII, two- and three-byte UTF-8 and a character
  // outside the BMP, built the same way on both sides.
  std::wstring big;
  const std::wstring unit = L"abcdefgh-é-ж-登录-😀-0123456789";
  while (big.size() + unit.size() <= 65536) big += unit;
  big.append(65536 - big.size(), L'z');
  const std::wstring json = L"{\"uid\":\"玩家01\",\"token\":\"naïve ✓ \\\"q\\\"\",\"server_id\":\"7\"}";

  server.Add("/login.html",
             "<script>"
             "var unit = 'abcdefgh-é-ж-登录-😀-0123456789', big = '';"
             "while (big.length + unit.length <= 65536) big += unit;"
             "while (big.length < 65536) big += 'z';"
             "window.external.AppLogin('{\"uid\":\"玩家01\",\"token\":\"naïve ✓ \\\\\"q\\\\\"\",\"server_id\":\"7\"}');"
             "window.external.AppLogin(big);"
             "window.external.Apple('after');"
             "</script>");
  // JS counts UTF-16 units: the emoji takes two, so the page's text is
  // shorter in characters than ours by one per unit copy. Build the page's
  // string the way JS does and compare that.
  std::wstring expectedBig;
  {
    size_t jsLength = 0;
    auto units = [](const std::wstring& s) {
      size_t n = 0;
      for (wchar_t c : s) n += c > 0xFFFF ? 2 : 1;
      return n;
    };
    while (jsLength + units(unit) <= 65536) {
      expectedBig += unit;
      jsLength += units(unit);
    }
    expectedBig.append(65536 - jsLength, L'z');
  }

  std::vector<std::string> order;
  size_t callsSeenInside = 0;
  external.duringMethod = [&](const TestExternal::Call& call) {
    std::wstring first = call.args.empty() || call.args[0].vt != VT_BSTR ? L"" : call.args[0].bstrVal;
    if (first.size() < 1000) {
      order.push_back(first == L"after" ? "after" : "json");
      return;
    }
    order.push_back("big:start");
    // The shell keeps running (a download, a dialog) while the page waits.
    RunFor(300);
    callsSeenInside = external.calls.size();
    order.push_back("big:end");
  };
  Open();
  Load("/login.html");
  ASSERT_TRUE(RunUntil([&] { return external.calls.size() == 3; }));

  std::vector<std::wstring> payloads = external.Payloads();
  EXPECT_EQ(json, payloads[0]);
  EXPECT_EQ(expectedBig.size(), payloads[1].size());
  EXPECT_TRUE(expectedBig == payloads[1]);
  EXPECT_EQ(L"after", payloads[2]);
  EXPECT_EQ((std::vector<std::string>{"json", "big:start", "big:end", "after"}), order);
  EXPECT_EQ(2u, callsSeenInside) << "the page went on before AppLogin returned";
}

TEST_F(BrowserE2E, RightClickShowsNoMenuWhenTheHostSaysSo) {
  server.Add("/menu.html",
             "<body style='margin:0'><a href='/x.html' style='position:absolute;left:10px;top:10px;width:100px;"
             "height:30px;display:block'>link</a><p style='position:absolute;left:10px;top:100px'>plain text</p>"
             "</body>");
  struct Case {
    HRESULT answer;
    bool menuShown;
  };
  for (Case c : {Case{S_OK, false}, Case{S_FALSE, true}}) {
    SCOPED_TRACE(c.answer);
    host.contextMenus.clear();
    host.contextMenuAnswer = c.answer;
    Open();
    Load("/menu.html");
    Xdotool("mousemove 40 20 click 3");
    ASSERT_TRUE(RunUntil([&] { return host.contextMenus.size() == 1; }));
    EXPECT_EQ(CONTEXT_MENU_ANCHOR, host.contextMenus[0]);
    if (c.menuShown) {
      EXPECT_TRUE(RunUntil([] { return VisiblePopups() > 0; }, 5000));
      Xdotool("key Escape");
      RunUntil([] { return VisiblePopups() == 0; }, 5000);
    } else {
      RunFor(500);
      EXPECT_EQ(0, VisiblePopups());
      Xdotool("mousemove 30 110 click 3");
      ASSERT_TRUE(RunUntil([&] { return host.contextMenus.size() == 2; }));
      EXPECT_EQ(CONTEXT_MENU_DEFAULT, host.contextMenus[1]);
      RunFor(500);
      EXPECT_EQ(0, VisiblePopups());
    }
    CloseView();
    events.events.clear();
  }
}

// Pixels of the window's right and bottom edges that are not the page's
// green: scroll bars, if any.
int EdgePixelsOffGreen(GdkPixbuf* shot, int edge) {
  int width = gdk_pixbuf_get_width(shot), height = gdk_pixbuf_get_height(shot);
  int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
  const guchar* pixels = gdk_pixbuf_get_pixels(shot);
  int off = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (x < width - edge && y < height - edge) continue;
      const guchar* p = pixels + y * stride + x * channels;
      if (!(p[0] < 16 && p[1] > 240 && p[2] < 16)) ++off;
    }
  return off;
}

TEST_F(BrowserE2E, PageLargerThanTheViewShowsNoScrollBarsYetScrollsByKeys) {
  server.Add("/large.html",
             "<body style='margin:0;background:#00ff00'><div style='width:3000px;height:3000px'></div></body>");
  struct Case {
    DWORD flags;
    HRESULT keyAnswer;  // what the host answers TranslateAccelerator
    bool barsExpected;
    const char* shot;
  };
  for (Case c : {Case{DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO, S_FALSE, false, "e2e-browser-no-scroll-bars.png"},
                 Case{DOCHOSTUIFLAG_NO3DBORDER, S_FALSE, true, "e2e-browser-scroll-bars.png"},
                 Case{DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_SCROLL_NO, S_OK, false, nullptr}}) {
    SCOPED_TRACE(c.shot ? c.shot : "host takes the keys");
    host.flags = c.flags;
    host.acceleratorAnswer = c.keyAnswer;
    host.keys.clear();
    Open(400, 300);
    Load("/large.html");
    // Wait until the page is on screen.
    GdkPixbuf* shot = nullptr;
    ASSERT_TRUE(RunUntil([&] {
      if (shot) g_object_unref(shot);
      shot = view->Screenshot();
      const guchar* center = gdk_pixbuf_get_pixels(shot) + 150 * gdk_pixbuf_get_rowstride(shot) +
                             200 * gdk_pixbuf_get_n_channels(shot);
      return center[0] < 16 && center[1] > 240 && center[2] < 16;
    }, 15000));
    if (c.shot) gdk_pixbuf_save(shot, (std::string(QUORIN_BINARY_DIR) + "/" + c.shot).c_str(), "png", nullptr, nullptr);
    // The picture, and the layout: scroll bars take their width from the page.
    const std::string layoutWidth = view->Evaluate("document.documentElement.clientWidth");
    if (c.barsExpected) {
      EXPECT_GT(EdgePixelsOffGreen(shot, 16), 0) << "the comparison case shows no scroll bars: the check proves nothing";
      EXPECT_LT(std::atoi(layoutWidth.c_str()), 400);
    } else {
      EXPECT_EQ(0, EdgePixelsOffGreen(shot, 16));
      EXPECT_EQ("400", layoutWidth);
    }
    g_object_unref(shot);

    if (!c.barsExpected) {
      // The host sees each key first; the page scrolls unless it took it.
      Xdotool("mousemove 200 150 click 1");
      RunFor(200);
      Xdotool("key End");
      ASSERT_TRUE(RunUntil([&] {
        for (WPARAM k : host.keys)
          if (k == 0x23) return true;
        return false;
      }, 10000));
      if (c.keyAnswer == S_FALSE) {
        EXPECT_TRUE(RunUntil([&] { return std::atoi(view->Evaluate("window.scrollY").c_str()) > 0; }, 10000));
      } else {
        RunFor(1000);
        EXPECT_EQ("0", view->Evaluate("window.scrollY"));
      }
    }
    CloseView();
    events.events.clear();
  }
}

TEST_F(BrowserE2E, NavigationsAndCompletionsOfAPageWithAFrameArriveInOrder) {
  server.Add("/inner.html", "<p>inner</p>");
  server.Add("/outer.html",
             "<!DOCTYPE html><html><head><title>t</title></head><body><a href='/x.html'>x</a><a>no address</a>"
             "<iframe src='/inner.html'></iframe></body></html>");
  Open();
  IHTMLDocument2* none = view->Document();
  EXPECT_EQ(nullptr, none) << "a document before any page";
  Load("/outer.html");
  RunFor(300);  // anything late would show up now

  const std::wstring outer = Wide(server.Url("/outer.html")), inner = Wide(server.Url("/inner.html"));
  std::vector<RecordingSink::Event> seen;
  for (const auto& e : events.events)
    if (e.id == 250 || e.id == 252 || e.id == 259) seen.push_back(e);
  EXPECT_EQ((std::vector<std::wstring>{L"250:" + outer, L"252:" + outer, L"250:" + inner, L"252:" + inner,
                                       L"259:" + inner, L"259:" + outer}),
            Describe(seen));
  for (const auto& e : seen) EXPECT_EQ(VT_BSTR, e.urlType);
  ASSERT_EQ(6u, seen.size());
  EXPECT_EQ(Browser(), seen[1].frame);
  EXPECT_EQ(Browser(), seen[5].frame);
  EXPECT_NE(Browser(), seen[3].frame);
  EXPECT_EQ(seen[3].frame, seen[4].frame);
  EXPECT_EQ(inner, seen[4].frameUrl);

  // The top-level document: all elements in order, links with addresses.
  IHTMLDocument2* document = view->Document();
  ASSERT_NE(nullptr, document);
  BSTR url = nullptr;
  document->get_URL(&url);
  EXPECT_EQ(outer, std::wstring(url));
  SysFreeString(url);
  IHTMLElementCollection* all = nullptr;
  ASSERT_EQ(S_OK, document->get_all(&all));
  long length = 0;
  all->get_length(&length);
  std::vector<std::wstring> tags, hrefs;
  for (long i = 0; i < length; ++i) {
    VARIANT position, index;
    VariantInit(&position);
    VariantInit(&index);
    position.vt = VT_UINT;
    position.uintVal = static_cast<UINT>(i);
    IDispatch* item = nullptr;
    ASSERT_EQ(S_OK, all->item(position, index, &item));
    ASSERT_NE(nullptr, item);
    IHTMLElement* element = nullptr;
    item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element));
    BSTR tag = nullptr;
    element->get_tagName(&tag);
    tags.push_back(tag);
    SysFreeString(tag);
    element->Release();
    IHTMLAnchorElement* anchor = nullptr;
    if (SUCCEEDED(item->QueryInterface(IID_IHTMLAnchorElement, reinterpret_cast<void**>(&anchor)))) {
      BSTR href = nullptr;
      anchor->get_href(&href);
      hrefs.push_back(href);
      SysFreeString(href);
      anchor->Release();
    }
    item->Release();
  }
  all->Release();
  document->Release();
  EXPECT_EQ((std::vector<std::wstring>{L"HTML", L"HEAD", L"TITLE", L"BODY", L"A", L"A", L"IFRAME"}), tags);
  EXPECT_EQ((std::vector<std::wstring>{Wide(server.Url("/x.html")), L""}), hrefs);
}

TEST_F(BrowserE2E, CancelledNavigationDoesNotHappen) {
  server.Add("/start.html", "<p>start</p>");
  server.Add("/blocked.html", "<p>blocked</p>");
  events.cancel = [](const std::wstring& url) { return url.find(L"/blocked.html") != std::wstring::npos; };
  Open();
  Load("/start.html");
  ASSERT_EQ(S_OK, view->Navigate(server.Url("/blocked.html")));
  ASSERT_TRUE(RunUntil([&] { return events.Of(250).size() == 2; }));
  RunFor(1000);
  EXPECT_EQ(Wide(server.Url("/blocked.html")), events.Of(250).back().url);
  for (const auto& e : events.events) {
    if (e.id != 250) {
      EXPECT_EQ(std::wstring::npos, e.url.find(L"/blocked.html")) << e.id;
    }
  }
  EXPECT_EQ("start", view->Evaluate("document.body.textContent"));
}

TEST_F(BrowserE2E, AFailedLoadStillCompletesUnderItsAddress) {
  // A loopback port nobody listens on (taken and given back).
  int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ASSERT_EQ(0, ::bind(probe, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(probe);
  const std::string dead = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/login.html";

  Open();
  ASSERT_EQ(S_OK, view->Navigate(dead));
  // The browser shows its error page; the shell hears of the address as of
  // any page, so it can show the browser and judge the address.
  ASSERT_TRUE(RunUntil([&] { return HasTopLevelCompletion(events, Browser(), Wide(dead)); }));
  EXPECT_EQ((std::vector<std::wstring>{L"250:" + Wide(dead), L"252:" + Wide(dead), L"259:" + Wide(dead)}),
            Describe(events.events));
}

TEST_F(BrowserE2E, ClickOnAHookedLinkReachesTheSinkAndStillNavigates) {
  server.Add("/next.html", "<p>next</p>");
  server.Add("/links.html",
             "<body style='margin:0'><a id='l' href='/next.html' style='position:absolute;left:20px;top:20px;"
             "width:120px;height:40px;display:block;background:#ccc'>next</a></body>");
  const std::wstring next = Wide(server.Url("/next.html"));
  for (bool unadvise : {false, true}) {
    SCOPED_TRACE(unadvise ? "unadvised" : "advised");
    RecordingSink linkSink;
    std::vector<std::string> order;
    linkSink.after = [&](const RecordingSink::Event&) { order.push_back("click"); };
    events.after = [&](const RecordingSink::Event& e) {
      if (e.url == next) order.push_back(std::to_string(e.id));
    };
    Open();
    Load("/links.html");

    IHTMLDocument2* document = view->Document();
    ASSERT_NE(nullptr, document);
    IHTMLElementCollection* all = nullptr;
    document->get_all(&all);
    long length = 0;
    all->get_length(&length);
    IHTMLAnchorElement* link = nullptr;
    for (long i = 0; i < length && !link; ++i) {
      VARIANT position, index;
      VariantInit(&position);
      VariantInit(&index);
      position.vt = VT_I4;
      position.lVal = i;
      IDispatch* item = nullptr;
      all->item(position, index, &item);
      if (item && FAILED(item->QueryInterface(IID_IHTMLAnchorElement, reinterpret_cast<void**>(&link)))) link = nullptr;
      if (item) item->Release();
    }
    all->Release();
    document->Release();
    ASSERT_NE(nullptr, link);

    linkSink.AddRef();  // the sink's owner holds it
    DWORD cookie = 0;
    ASSERT_TRUE(AfxConnectionAdvise(link, DIID_HTMLElementEvents2, &linkSink, FALSE, &cookie));
    EXPECT_NE(0u, cookie);
    if (unadvise) {
      EXPECT_TRUE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &linkSink, FALSE, cookie));
    }

    Xdotool("mousemove 60 40 click 1");
    ASSERT_TRUE(RunUntil([&] { return HasTopLevelCompletion(events, Browser(), next); }));
    if (unadvise) {
      EXPECT_TRUE(linkSink.events.empty());
      EXPECT_EQ((std::vector<std::string>{"250", "252", "259"}), order);
    } else {
      ASSERT_EQ(1u, linkSink.events.size());
      EXPECT_EQ(DISPID_HTMLELEMENTEVENTS2_ONCLICK, linkSink.events[0].id);
      EXPECT_EQ(L"click", linkSink.events[0].eventType);
      EXPECT_EQ((std::vector<std::string>{"click", "250", "252", "259"}), order);
      EXPECT_TRUE(AfxConnectionUnadvise(link, DIID_HTMLElementEvents2, &linkSink, FALSE, cookie));
    }
    link->Release();
    CloseView();
    EXPECT_EQ(1, linkSink.refs) << "connections must give their sink references back";
    events.events.clear();
    events.after = nullptr;
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Classic scroll bars: always drawn while they exist, where overlay ones
  // fade out after a moment, so a picture shows whether there are any.
  setenv("GTK_OVERLAY_SCROLLING", "0", 1);
  gtk_init(&argc, &argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
