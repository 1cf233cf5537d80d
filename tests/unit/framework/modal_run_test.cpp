#include <gtest/gtest.h>

#include "framework/message_box.h"
#include "test_dialogs.h"

namespace {

class ClickCounterDialog : public CDialog {
 public:
  ClickCounterDialog() : CDialog(kTestDialog) {}
  int otherClicks = 0;

 protected:
  void OnOther() { ++otherClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ClickCounterDialog, CDialog)
  ON_BN_CLICKED(50, OnOther)
END_MESSAGE_MAP()

using ModalRun = HeadlessTest;

TEST_F(ModalRun, EndsWithTheResultOfWhatClosedIt) {
  struct Case {
    const char* name;
    std::function<void(HeadlessBackend*, CDialog&)> close;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"EndDialog", [](HeadlessBackend*, CDialog& d) { d.EndDialog(7); }, 7},
      {"WM_CLOSE", [](HeadlessBackend*, CDialog& d) { d.SendMessage(WM_CLOSE); }, IDCANCEL},
      {"Escape", [](HeadlessBackend* b, CDialog&) { b->Key(VK_ESCAPE); }, IDCANCEL},
      {"Alt+F4", [](HeadlessBackend* b, CDialog&) { b->Key(VK_F4, true); }, IDCANCEL},
      {"Enter", [](HeadlessBackend* b, CDialog&) { b->Key(VK_RETURN); }, IDOK},
      {"OK button", [](HeadlessBackend* b, CDialog& d) {
         CRect r;
         d.GetDlgItem(IDOK)->GetWindowRect(&r);
         b->Click(r.left + 2, r.top + 2);
       }, IDOK},
  };
  for (const Case& c : cases) {
    CDialog dialog(kTestDialog);
    backend->SetIdleHandler([&] { c.close(backend, dialog); });
    EXPECT_EQ(dialog.DoModal(), c.expected) << c.name;
    EXPECT_EQ(dialog.m_hWnd, nullptr) << c.name;
  }
}

TEST_F(ModalRun, ButtonNotifiesOnlyWhenReleasedInside) {
  ClickCounterDialog dialog;
  int step = 0;
  backend->SetIdleHandler([&] {
    CRect r;
    dialog.GetDlgItem(50)->GetWindowRect(&r);
    switch (step++) {
      case 0: backend->Click(r.left + 3, r.top + 3); break;              // click
      case 1: backend->Drag(r.left + 3, r.top + 3, r.right + 40, r.top + 3); break;  // released outside
      default: dialog.EndDialog(IDOK);
    }
  });
  dialog.DoModal();
  EXPECT_EQ(dialog.otherClicks, 1);
}

TEST_F(ModalRun, QuitRequestEndsTheRunWithMinusOneAndStaysPending) {
  CDialog dialog(kTestDialog);
  backend->SetIdleHandler([] { PostQuitMessage(16); });
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_TRUE(QuitPending());
  EXPECT_EQ(QuitExitCode(), 16);
  // A box shown now must not wait for anybody.
  backend->SetMessageBoxAnswer([](const HeadlessBackend::MessageBoxRecord&) -> int {
    ADD_FAILURE() << "a message box waited during a quit";
    return IDOK;
  });
  EXPECT_EQ(MessageBoxW(nullptr, L"text", L"caption", MB_OK), IDOK);
  EXPECT_TRUE(backend->MessageBoxes().empty());
  // Another modal run does not even start.
  CDialog second(kTestDialog);
  EXPECT_EQ(second.DoModal(), -1);
}

TEST_F(ModalRun, MissingTemplateFailsWithMinusOne) {
  CDialog dialog(4242);
  EXPECT_EQ(dialog.DoModal(), -1);
  EXPECT_FALSE(QuitPending());
}

class QuittingApp : public CWinApp {
 public:
  explicit QuittingApp(int code) : m_code(code) {}
  BOOL InitInstance() override {
    ++runs;
    if (m_code) PostQuitMessage(m_code);
    return FALSE;
  }
  int runs = 0;

 private:
  int m_code;
};

TEST_F(ModalRun, ExitStatusIsTheQuitCodeElseZero) {
  {
    QuittingApp app(16);
    EXPECT_EQ(AfxWinMain(), 16);
    EXPECT_EQ(app.runs, 1);
  }
  ClearQuitRequest();
  {
    QuittingApp app(0);
    EXPECT_EQ(AfxWinMain(), 0);
  }
}

}  // namespace
