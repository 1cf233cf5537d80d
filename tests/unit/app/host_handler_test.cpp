#include <fstream>
#include <sstream>

#include "framework/runtime.h"
#include "launch/imp_idispatch.h"
#include "panel/custom_control_site.h"
#include "panel/custom_occ_manager.h"
#include "shell_fixture.h"

namespace {

// Exposes the site's handler the way its interface map answers it.
IDocHostUIHandler* HandlerOf(COleControlSite* site) {
  void* out = nullptr;
  EXPECT_EQ(site->ExternalQueryInterface(&IID_IDocHostUIHandler, &out), S_OK);
  site->ExternalRelease();
  return static_cast<IDocHostUIHandler*>(out);
}

TEST(HostHandler, AnswersAsTheShellNeeds) {
  CImpIDispatch bridge;
  CImpIDispatch* saved = theApp.m_pImpIDispatch;
  theApp.m_pImpIDispatch = &bridge;
  CCustomOccManager manager;
  COleControlSite* site = manager.CreateSite(nullptr);
  ASSERT_NE(dynamic_cast<CCustomControlSite*>(site), nullptr);
  IDocHostUIHandler* h = HandlerOf(site);
  ASSERT_NE(h, nullptr);

  DOCHOSTUIINFO info{sizeof(DOCHOSTUIINFO), 0x1234, 7, nullptr, nullptr};
  struct Row {
    const char* method;
    HRESULT got;
    HRESULT expected;
  };
  POINT pt{1, 2};
  LPOLESTR key = nullptr;
  const Row rows[] = {
      {"ShowContextMenu", h->ShowContextMenu(CONTEXT_MENU_ANCHOR, &pt, nullptr, nullptr), S_OK},
      {"ShowContextMenu default", h->ShowContextMenu(CONTEXT_MENU_DEFAULT, &pt, nullptr, nullptr), S_OK},
      {"GetHostInfo", h->GetHostInfo(&info), S_OK},
      {"ShowUI", h->ShowUI(0, nullptr, nullptr, nullptr, nullptr), S_OK},
      {"HideUI", h->HideUI(), S_OK},
      {"UpdateUI", h->UpdateUI(), S_OK},
      {"EnableModeless", h->EnableModeless(TRUE), E_NOTIMPL},
      {"OnDocWindowActivate", h->OnDocWindowActivate(TRUE), E_NOTIMPL},
      {"OnFrameWindowActivate", h->OnFrameWindowActivate(TRUE), E_NOTIMPL},
      {"ResizeBorder", h->ResizeBorder(nullptr, nullptr, TRUE), E_NOTIMPL},
      {"TranslateAccelerator", h->TranslateAccelerator(nullptr, nullptr, 0), S_FALSE},
      {"GetOptionKeyPath", h->GetOptionKeyPath(&key, 0), E_NOTIMPL},
      {"GetDropTarget", h->GetDropTarget(nullptr, nullptr), E_NOTIMPL},
      {"TranslateUrl", h->TranslateUrl(0, nullptr, nullptr), E_NOTIMPL},
      {"FilterDataObject", h->FilterDataObject(nullptr, nullptr), E_NOTIMPL},
  };
  for (const Row& r : rows) EXPECT_EQ(r.got, r.expected) << r.method;
  EXPECT_EQ(info.dwFlags, 0xCu);
  EXPECT_EQ(info.dwDoubleClick, 0u);
  EXPECT_EQ(info.cbSize, sizeof(DOCHOSTUIINFO));
  EXPECT_EQ(key, nullptr);

  // The same bridge every time, one reference per call.
  IDispatch* first = nullptr;
  IDispatch* second = nullptr;
  EXPECT_EQ(h->GetExternal(&first), S_OK);
  EXPECT_EQ(h->GetExternal(&second), S_OK);
  EXPECT_EQ(first, static_cast<IDispatch*>(&bridge));
  EXPECT_EQ(second, first);
  EXPECT_EQ(bridge.m_cRef, 2);

  // The handler shares the site's identity and count.
  LONG before = static_cast<LONG>(site->ExternalAddRef()) - 1;
  site->ExternalRelease();
  h->AddRef();
  EXPECT_EQ(static_cast<LONG>(site->ExternalRelease()), before);
  delete site;
  theApp.m_pImpIDispatch = saved;
}

std::vector<std::string> LogLines(const std::string& dir) {
  std::ifstream in(dir + "/log.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(ShellTest, PageScriptReachesTheLoginProcessingThroughTheBridge) {
  setenv("QUORIN_DOWNLOAD_HOST", "127.0.0.1:1", 1);  // nothing gets started
  RunShell([&] {
    EXPECT_EQ(browser->ScriptRead(L"piqnwg").kind, ExternalProperty::Kind::kValue);
    EXPECT_EQ(browser->ScriptRead(L"applogin").kind, ExternalProperty::Kind::kUndefined);
    const std::string payload =
        "{\"uid\":\"1001\",\"token\":\"t\",\"server_id\":\"7\",\"other\":\"x\",\"sign\":\"\xE7\xAD\xBE\"}";
    browser->ScriptCall(L"Apple", {channel::Value::String(payload)});
    std::vector<std::string> lines = LogLines(workDir);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], payload);
    EXPECT_EQ(lines[1], "t&7&x&\xE7\xAD\xBE");
    EXPECT_EQ(theApp.m_strLaunchArgs, " ,id^1001,auth_key^t&7&x&\xE7\xAD\xBE");
    EXPECT_FALSE(QuitPending()) << "the download failed, so the shell stays";
  });
  unsetenv("QUORIN_DOWNLOAD_HOST");
}

}  // namespace
