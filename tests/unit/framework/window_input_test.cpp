#include <gtest/gtest.h>

#include "framework/input.h"
#include "test_dialogs.h"

namespace {

// A modeless pop-up that is dragged by any client pixel and counts moves.
class DraggableDialog : public CDialog {
 public:
  int moves = 0;

 protected:
  LRESULT OnNcHitTest(CPoint) {
    LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
  }
  void OnMove(int, int) { ++moves; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DraggableDialog, CDialog)
  ON_WM_NCHITTEST()
  ON_WM_MOVE()
END_MESSAGE_MAP()

using WindowInput = HeadlessTest;

TEST_F(WindowInput, CaptionPressMovesTheWindowUntilRelease) {
  DraggableDialog dialog;
  ASSERT_TRUE(dialog.Create(kTestDialog));
  dialog.MoveWindow(100, 100, 200, 100);
  dialog.moves = 0;
  backend->Pump();
  // Press between the buttons (client area, not a control).
  backend->Drag(105, 190, 305, 240, 5);
  CRect r;
  dialog.GetWindowRect(&r);
  EXPECT_EQ(r, CRect(300, 150, 500, 250));
  EXPECT_EQ(dialog.moves, 5);
  backend->MovePointer(600, 600);  // after the release nothing follows
  dialog.GetWindowRect(&r);
  EXPECT_EQ(r.left, 300);
}

TEST_F(WindowInput, ColourKeyedPixelsLetThePointerThrough) {
  DraggableDialog below, above;
  ASSERT_TRUE(below.Create(kTestDialog));
  ASSERT_TRUE(above.Create(kTestDialog));
  below.MoveWindow(0, 0, 400, 400);
  above.MoveWindow(0, 0, 400, 400);
  // The upper window's background is the key colour, so all of it is
  // see-through except its buttons.
  above.ModifyStyleEx(0, WS_EX_LAYERED);
  SetLayeredWindowAttributes(above.m_hWnd, RGB(240, 240, 240), 255, LWA_COLORKEY | LWA_ALPHA);
  backend->Pump();
  EXPECT_EQ(TopLevelAtPoint(200, 300), below.m_hWnd);
  CRect button;
  above.GetDlgItem(50)->GetWindowRect(&button);
  EXPECT_EQ(TopLevelAtPoint(button.left + 2, button.top + 2), above.m_hWnd);
  backend->Drag(200, 300, 250, 300);
  CRect r;
  below.GetWindowRect(&r);
  EXPECT_EQ(r.left, 50);
  above.GetWindowRect(&r);
  EXPECT_EQ(r.left, 0);
}

TEST_F(WindowInput, MinimisingHidesOwnedWindowsAndRestoringShowsThem) {
  CDialog owner(kTestDialog), owned(kTestDialog);
  ASSERT_TRUE(owner.Create(kTestDialog));
  ASSERT_TRUE(owned.Create(kTestDialog, &owner));
  EXPECT_TRUE(owned.IsWindowVisible());
  owner.ShowWindow(SW_MINIMIZE);
  EXPECT_TRUE(owner.IsIconic());
  EXPECT_FALSE(owned.IsWindowVisible());
  InputIconicChanged(owner.m_hWnd, false);
  EXPECT_FALSE(owner.IsIconic());
  EXPECT_TRUE(owned.IsWindowVisible());
}

}  // namespace
