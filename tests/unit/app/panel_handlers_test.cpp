#include <cstdlib>

#include "framework/runtime.h"
#include "panel/navigation_rules.h"
#include "shell_fixture.h"

namespace {

ScriptedElement Link(const wchar_t* href) { return ScriptedElement{L"A", href, true}; }
ScriptedElement Text() { return ScriptedElement{L"P", L"", false}; }

std::vector<std::wstring> HookedAddresses(CLoginActiveDlg* panel) {
  std::vector<std::wstring> out;
  for (auto& entry : panel->m_mapLinkHooks) out.push_back(entry.first.str());
  return out;
}

TEST(CodeCallbackRule, MatchesOnlyTheExactTextWithoutNeedCode) {
  struct Case {
    const wchar_t* address;
    bool starts;
  } const cases[] = {
      {L"http://h/plandor/codeCallback.htm?code=abc", true},
      {L"https://other.example/x/y/plandor/codeCallback.htm?code=1&state=2", true},
      {L"plandor/codeCallback.htm?code=", true},
      {L"http://h/plandor/codeCallback.htm?code=abc&needCode=1", false},
      {L"http://h/?needCode=0&r=plandor/codeCallback.htm?code=abc", false},
      {L"http://h/plandor/codecallback.htm?code=abc", false},
      {L"http://h/Plandor/codeCallback.htm?code=abc", false},
      {L"http://h/plandor/codeCallback.htm?Code=abc", false},
      {L"http://h/plandor/codeCallback.htm?code", false},
      {L"http://h/client", false},
      {L"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsCodeCallbackAddress(CString(c.address)), c.starts) << c.address;
}

TEST_F(ShellTest, BrowserStaysHiddenUntilItsFirstNavigationCompletes) {
  RunShell([&] {
    // The fixture delivered the login page's load before this step; take
    // a fresh shell state by checking the order on a second navigation.
    EXPECT_TRUE(Panel()->m_wndBrowser.IsWindowVisible());
    Panel()->m_wndBrowser.ShowWindow(SW_HIDE);
    browser->Navigate(L"http://127.0.0.1:1/anything");
    EXPECT_FALSE(Panel()->m_wndBrowser.IsWindowVisible()) << "not before the navigation completes";
    browser->DeliverPending();
    EXPECT_TRUE(Panel()->m_wndBrowser.IsWindowVisible());
  });
}

TEST_F(ShellTest, LoginPageNavigationIsToTheConfiguredHost) {
  setenv("QUORIN_LOGIN_HOST", "127.0.0.1:9", 1);
  RunShell([&] {
    ASSERT_FALSE(browser->NavigationLog().empty());
    EXPECT_EQ(browser->NavigationLog()[0], L"http://127.0.0.1:9/client");
    EXPECT_EQ(Panel()->m_strLoginUrl, CString(L"http://127.0.0.1:9/client"));
  });
  unsetenv("QUORIN_LOGIN_HOST");
}

TEST_F(ShellTest, LinksAreHookedOncePerAddressUntilCleared) {
  RunShell([&] {
    CLoginActiveDlg* panel = Panel();
    browser->AddPage({L"http://h/a", {Link(L"http://h/x"), Text(), Link(L"http://h/y"), Link(L"http://h/x")}, {}});
    browser->AddPage({L"http://h/b", {Link(L"http://h/x"), Link(L"http://h/z"), ScriptedElement{L"A", L"", false},
                                      ScriptedElement{L"A", L"", false}}, {}});
    browser->AddPage({L"http://h/c", {}, {}});
    panel->ClearLinkHooks();

    browser->Navigate(L"http://h/a");
    browser->DeliverPending();
    EXPECT_EQ(HookedAddresses(panel), (std::vector<std::wstring>{L"http://h/x", L"http://h/y"}));
    // The shared address is hooked on its first link only.
    HtmlDocument* doc = browser->CurrentDocument();
    EXPECT_EQ(doc->ElementAt(0)->ConnectionCount(), 1u);
    EXPECT_EQ(doc->ElementAt(3)->ConnectionCount(), 0u);

    browser->Navigate(L"http://h/a");  // a reload adds nothing
    browser->DeliverPending();
    EXPECT_EQ(panel->m_mapLinkHooks.size(), 2u);

    browser->Navigate(L"http://h/b");  // x is kept from page a; z and "" are new
    browser->DeliverPending();
    EXPECT_EQ(HookedAddresses(panel), (std::vector<std::wstring>{L"", L"http://h/x", L"http://h/y", L"http://h/z"}));
    EXPECT_EQ(browser->CurrentDocument()->ElementAt(0)->ConnectionCount(), 0u);
    EXPECT_EQ(browser->CurrentDocument()->ElementAt(2)->ConnectionCount(), 1u);
    EXPECT_EQ(browser->CurrentDocument()->ElementAt(3)->ConnectionCount(), 0u);

    browser->Navigate(L"http://h/c");  // no links
    browser->DeliverPending();
    EXPECT_EQ(panel->m_mapLinkHooks.size(), 4u);

    panel->ClearLinkHooks();
    EXPECT_TRUE(panel->m_mapLinkHooks.empty());
    panel->ClearLinkHooks();
    EXPECT_TRUE(panel->m_mapLinkHooks.empty());

    browser->Navigate(L"http://h/b");  // after clearing, the addresses are hooked again
    browser->DeliverPending();
    EXPECT_EQ(panel->m_mapLinkHooks.size(), 3u);
  });
}

TEST_F(ShellTest, AboutBlankCompletionsAreIgnoredAndClicksStillNavigate) {
  RunShell([&] {
    CLoginActiveDlg* panel = Panel();
    panel->ClearLinkHooks();
    browser->AddPage({L"about:blank", {Link(L"http://h/q")}, {}});
    browser->Navigate(L"about:blank");
    browser->DeliverPending();
    EXPECT_TRUE(panel->m_mapLinkHooks.empty());

    browser->AddPage({L"http://h/p", {Link(L"http://h/next")}, {}});
    browser->Navigate(L"http://h/p");
    browser->DeliverPending();
    ASSERT_EQ(panel->m_mapLinkHooks.size(), 1u);
    size_t before = browser->NavigationLog().size();
    EXPECT_TRUE(browser->ClickElement(0));
    browser->DeliverPending();
    ASSERT_EQ(browser->NavigationLog().size(), before + 1);
    EXPECT_EQ(browser->NavigationLog().back(), L"http://h/next");
  });
}

TEST_F(ShellTest, CallbackInAFrameStartsTheLaunchPipelineAndClearsHooks) {
  // The download host refuses connections, so nothing is started and the
  // shell stays; what the pipeline was given is still visible.
  setenv("QUORIN_DOWNLOAD_HOST", "127.0.0.1:1", 1);
  RunShell([&] {
    CLoginActiveDlg* panel = Panel();
    browser->AddPage({L"http://h/p", {Link(L"http://h/l")}, {L"http://h/plandor/codeCallback.htm?code=F1&x=y"}});
    browser->Navigate(L"http://h/p");
    browser->DeliverPending();
    EXPECT_EQ(theApp.m_strLaunchArgs, "http://h/plandor/codeCallback.htm?code=F1&x=y");
    EXPECT_FALSE(QuitPending());
    // The page's link is hooked by the completions after the frame's.
    EXPECT_EQ(panel->m_mapLinkHooks.size(), 1u);

    // A top-level callback releases the hooks made so far.
    browser->AddPage({L"http://h/plandor/codeCallback.htm?code=T", {}, {}});
    browser->Navigate(L"http://h/plandor/codeCallback.htm?code=T");
    browser->DeliverPending();
    EXPECT_EQ(theApp.m_strLaunchArgs, "http://h/plandor/codeCallback.htm?code=T");
    EXPECT_TRUE(panel->m_mapLinkHooks.empty());

    theApp.m_strLaunchArgs.clear();
    browser->AddPage({L"http://h/plandor/codeCallback.htm?code=A&needCode=1", {}, {}});
    browser->Navigate(L"http://h/plandor/codeCallback.htm?code=A&needCode=1");
    browser->DeliverPending();
    EXPECT_TRUE(theApp.m_strLaunchArgs.empty());
  });
  unsetenv("QUORIN_DOWNLOAD_HOST");
}

}  // namespace
