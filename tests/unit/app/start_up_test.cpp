#include "framework/app_services.h"
#include "framework/resources.h"
#include "framework/runtime.h"
#include "launch/imp_idispatch.h"
#include "shell_fixture.h"

namespace {

TEST_F(ShellTest, CloseEndsTheRunWithExitStatusZeroAndNoBox) {
  EXPECT_TRUE(theApp.m_strLaunchArgs.empty());
  int status = RunShell([&] { MainDialog()->SendMessage(WM_CLOSE); });
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(backend->MessageBoxes().empty());
}

TEST_F(ShellTest, QuitRequestEndsTheRunWith16AndEverythingIsReleased) {
  int status = RunShell([&] {
    EXPECT_NE(theApp.m_pImpIDispatch, nullptr);
    EXPECT_EQ(theApp.m_pImpIDispatch->m_pLoginActiveDlg, Panel());
    EXPECT_EQ(CShellManager::LiveCount(), 1);
    PostQuitMessage(16);
  });
  EXPECT_EQ(status, 16);
  EXPECT_TRUE(backend->MessageBoxes().empty()) << "the start-failure box must not wait after a quit";
  EXPECT_EQ(theApp.m_pImpIDispatch, nullptr);
  EXPECT_EQ(CShellManager::LiveCount(), 0);
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
}

TEST_F(ShellTest, StartFailureBoxOnlyWhenTheMainWindowCannotBeCreated) {
  const void* saved = LockResource(LoadResource(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(102), RT_DIALOG)));
  ASSERT_NE(saved, nullptr);
  UnregisterResource(AfxGetInstanceHandle(), RT_DIALOG, 102);
  backend->SetIdleHandler([] { ADD_FAILURE() << "no loop should run"; PostQuitMessage(1); });
  EXPECT_FALSE(theApp.InitInstance());
  RegisterResource(AfxGetInstanceHandle(), RT_DIALOG, 102, saved, 0);
  ASSERT_EQ(backend->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend->MessageBoxes()[0].text, L"启动游戏失败，请重新启动！");
  EXPECT_EQ(backend->MessageBoxes()[0].caption, L"【启动失败】");
  EXPECT_EQ(backend->MessageBoxes()[0].owner, nullptr);
  EXPECT_EQ(theApp.ExitInstance(), 0);
}

}  // namespace
