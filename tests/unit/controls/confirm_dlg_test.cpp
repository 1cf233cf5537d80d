#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "controls/confirm_dlg.h"
#include "controls_fixture.h"

namespace {

constexpr UINT kOwnerDialog = 9202;

const uint32_t kConfirmFrames[4] = {Argb(220, 60, 0), Argb(240, 120, 0), Argb(160, 40, 0), Argb(0, 0, 0)};
const uint32_t kCancelFrames[4] = {Argb(0, 60, 220), Argb(0, 120, 240), Argb(0, 40, 160), Argb(0, 0, 0)};

// The background: a colour that changes with x and y, so a copy from the
// wrong place shows.
uint32_t BackgroundAt(int x, int y) { return Argb(x % 256, 30 + y, 90 + (x + y) % 60); }

// The confirmation box's template as the resource compiler gives it:
// sizes in dialog units of its 10-point font, static texts over the
// buttons, all of them moved in pixels at initialisation.
const DialogTemplate* ConfirmTemplate() {
  static const DialogItemTemplate items[] = {
      {1002, L"Static", L"Static", 0x50020001, WS_EX_TRANSPARENT, 35, 7, 76, 9, nullptr, 0},
      {1008, L"Button", L"Button1", 0x50010000, 0, 18, 35, 50, 14, nullptr, 0},
      {1009, L"Button", L"Button2", 0x50010000, 0, 80, 35, 50, 14, nullptr, 0},
      {1003, L"Static", L"确定要退出游戏吗？", 0x50020001, WS_EX_TRANSPARENT, 16, 17, 110, 24, nullptr, 0},
  };
  static const DialogTemplate dialog{0x90080044, 0, 0, 0, 256, 110, nullptr, L"宋体", 10, 400, 134, items, 4};
  return &dialog;
}

const DialogTemplate* OwnerTemplate() {
  static const DialogTemplate dialog{WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100, L"", L"MS Shell Dlg", 9, 400, 0, nullptr, 0};
  return &dialog;
}

// The application's main window, as the modal run takes its owner from it.
class TestApp : public CWinApp {};

class ConfirmDlgTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    AddDialog(CConfirmDlg::IDD, ConfirmTemplate());
    AddDialog(kOwnerDialog, OwnerTemplate());
    AddPng(175, StripPng(74, 104, kConfirmFrames, 0));
    AddPng(176, StripPng(74, 104, kCancelFrames, 0));
    AddResource(RT_BITMAP, 177, Bmp24(256, 110, BackgroundAt));
    ASSERT_TRUE(owner.Create(kOwnerDialog));
    owner.MoveWindow(300, 200, 640, 400);
    app.m_pMainWnd = &owner;
  }
  void TearDown() override {
    app.m_pMainWnd = nullptr;
    owner.DestroyWindow();
    ControlsTest::TearDown();
  }

  // Runs the box; `whileOpen` runs once the box is up, with its window
  // rectangle, and must end it.
  INT_PTR Run(CConfirmDlg& box, const std::function<void(const CRect&)>& whileOpen) {
    bool ran = false;
    backend->SetIdleHandler([&] {
      if (ran) {
        ADD_FAILURE() << "the box is still open";
        box.EndDialog(99);
        return;
      }
      ran = true;
      CRect r;
      box.GetWindowRect(&r);
      whileOpen(r);
    });
    INT_PTR result = box.DoModal();
    backend->SetIdleHandler(nullptr);
    return result;
  }

  TestApp app;
  CDialog owner;
};

TEST_F(ConfirmDlgTest, EndsWithTheAnswerOfWhatClosedIt) {
  struct Case {
    const char* name;
    std::function<void(HeadlessBackend*, CConfirmDlg&, const CRect&)> act;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"click on the visible cancel frame", [](HeadlessBackend* b, CConfirmDlg&, const CRect& r) { b->Click(r.left + 150, r.top + 80); }, IDCANCEL},
      {"click on the visible confirm frame", [](HeadlessBackend* b, CConfirmDlg&, const CRect& r) { b->Click(r.left + 60, r.top + 80); }, IDOK},
      {"click where confirm's window lies under cancel's", [](HeadlessBackend* b, CConfirmDlg&, const CRect& r) { b->Click(r.left + 200, r.top + 90); }, IDCANCEL},
      {"Escape", [](HeadlessBackend* b, CConfirmDlg&, const CRect&) { b->Key(VK_ESCAPE); }, IDCANCEL},
      {"Alt+F4", [](HeadlessBackend* b, CConfirmDlg&, const CRect&) { b->Key(VK_F4, true); }, IDCANCEL},
      {"WM_CLOSE", [](HeadlessBackend*, CConfirmDlg& d, const CRect&) { d.SendMessage(WM_CLOSE); }, IDCANCEL},
  };
  for (const Case& c : cases) {
    CConfirmDlg box;
    EXPECT_EQ(Run(box, [&](const CRect& r) { c.act(backend, box, r); }), c.expected) << c.name;
    EXPECT_EQ(box.m_hWnd, nullptr) << c.name;
  }
}

TEST_F(ConfirmDlgTest, Is256By110PixelsCentredOverItsOwner) {
  CConfirmDlg box;
  CRect seen;
  Run(box, [&](const CRect& r) {
    seen = r;
    box.EndDialog(IDCANCEL);
  });
  // Owner 300..940 × 200..600: centre 620, 400.
  EXPECT_EQ(seen, CRect(492, 345, 748, 455));
}

TEST_F(ConfirmDlgTest, ShowsTheTwoFramesOverTheBackground) {
  CConfirmDlg box;
  Run(box, [&](const CRect& r) {
    auto at = [&](int x, int y) { return backend->ScreenPixel(r.left + x, r.top + y); };
    // Confirm spans x 40..113, cancel 140..213, both y 72..97.
    EXPECT_EQ(at(40, 72), kConfirmFrames[0]);
    EXPECT_EQ(at(113, 97), kConfirmFrames[0]);
    EXPECT_EQ(at(140, 72), kCancelFrames[0]);
    EXPECT_EQ(at(213, 97), kCancelFrames[0]);
    // Between and beside the frames the buttons' windows draw nothing.
    EXPECT_EQ(at(120, 80), BackgroundAt(120, 80));
    EXPECT_EQ(at(230, 80), BackgroundAt(230, 80));
    EXPECT_EQ(at(5, 105), BackgroundAt(5, 105));
    // Hovering the cancel frame shows its second frame.
    backend->MovePointer(r.left + 150, r.top + 80);
    backend->AdvanceTime(5);
    EXPECT_EQ(at(150, 80), kCancelFrames[1]);
    EXPECT_EQ(at(60, 80), kConfirmFrames[0]);
    box.EndDialog(IDCANCEL);
  });
}

// White text in its static's rectangle, with the picture behind it: every
// pixel is the picture's own pixel at that place or a blend of it towards
// white (the text and its smoothed edges), and the text is centred.
void ExpectWhiteTextOverPicture(HeadlessBackend* b, const CRect& box, const CRect& text, const char* what,
                                const std::function<uint32_t(int, int)>& background) {
  int picture = 0, textPixels = 0, nearWhite = 0, left = text.right, right = text.left;
  for (int y = text.top; y < text.bottom; ++y)
    for (int x = text.left; x < text.right; ++x) {
      uint32_t p = b->ScreenPixel(box.left + x, box.top + y), bg = background(x, y);
      if (p == bg) {
        ++picture;
        continue;
      }
      ++textPixels;
      left = std::min(left, x);
      right = std::max(right, x + 1);
      bool towardsWhite = true, white = true;
      for (int shift : {0, 8, 16}) {
        int pc = (p >> shift) & 0xFF, bc = (bg >> shift) & 0xFF;
        towardsWhite = towardsWhite && pc + 1 >= bc;
        white = white && pc >= 220;
      }
      EXPECT_TRUE(towardsWhite) << what << " at " << x << "," << y << ": " << std::hex << p << " over " << bg;
      if (white) ++nearWhite;
    }
  EXPECT_GT(textPixels, 50) << what;
  EXPECT_GT(nearWhite, 10) << what;
  EXPECT_GT(picture, text.Width() * text.Height() / 2) << what;
  EXPECT_NEAR(left - text.left, text.right - right, 3) << what << ": text from " << left << " to " << right;
}

TEST_F(ConfirmDlgTest, ShowsCentredWhiteTextsOverThePicture) {
  CConfirmDlg box;
  Run(box, [&](const CRect& r) {
    // Title at 79, 10 (100 × 30); question at 28, 34 (200 × 66), whose
    // lower part lies behind the buttons: its text fits in one line.
    ExpectWhiteTextOverPicture(backend, r, CRect(79, 10, 179, 40), "title", BackgroundAt);
    ExpectWhiteTextOverPicture(backend, r, CRect(28, 34, 228, 70), "question", BackgroundAt);

    CWnd* title = box.GetDlgItem(1002);
    CWnd* question = box.GetDlgItem(1003);
    EXPECT_EQ(std::wstring(title->GetWindowText().GetString()), L"关闭游戏");
    EXPECT_EQ(std::wstring(question->GetWindowText().GetString()), L"确定要退出游戏吗?");
    std::wstring face;
    int height = 0;
    ASSERT_TRUE(FontInfo(reinterpret_cast<HFONT>(title->SendMessage(WM_GETFONT)), &face, &height, nullptr));
    EXPECT_EQ(face, L"Arial");
    EXPECT_EQ(height, 16);  // 12 points
    ASSERT_TRUE(FontInfo(reinterpret_cast<HFONT>(question->SendMessage(WM_GETFONT)), &face, &height, nullptr));
    EXPECT_EQ(face, L"宋体");
    EXPECT_EQ(height, 13);  // 10 points
    box.EndDialog(IDCANCEL);
  });
}

TEST_F(ConfirmDlgTest, WithoutItsPictureShowsWhiteTextsOnADarkBackground) {
  Remove(RT_BITMAP, 177);
  CConfirmDlg box;
  uint32_t fill = 0;
  Run(box, [&](const CRect& r) {
    fill = backend->ScreenPixel(r.left + 3, r.top + 3);
    auto plain = [fill](int, int) { return fill; };
    ExpectWhiteTextOverPicture(backend, r, CRect(79, 10, 179, 40), "title", plain);
    ExpectWhiteTextOverPicture(backend, r, CRect(28, 34, 228, 70), "question", plain);
    EXPECT_EQ(backend->ScreenPixel(r.left + 250, r.top + 105), fill);
    box.EndDialog(IDCANCEL);
  });
  int r = (fill >> 16) & 0xFF, g = (fill >> 8) & 0xFF, b = fill & 0xFF;
  EXPECT_LT(r + g + b, 3 * 80) << std::hex << fill;
}

TEST_F(ConfirmDlgTest, ShowsOneBoxPerButtonWhenGdiplusFailsAndGoesOn) {
  Gdiplus::SetGdiplusStartupFailsForTesting(true);
  CConfirmDlg box;
  INT_PTR result = Run(box, [&](const CRect& r) {
    EXPECT_EQ(backend->ScreenPixel(r.left + 60, r.top + 80), kConfirmFrames[0]);
    backend->Click(r.left + 60, r.top + 80);
  });
  EXPECT_EQ(result, IDOK);
  ASSERT_EQ(backend->MessageBoxes().size(), 2u);
  for (const auto& shown : backend->MessageBoxes()) {
    EXPECT_EQ(shown.owner, nullptr);
    EXPECT_EQ(shown.text, L"Initialize GDI+ library failed");
    EXPECT_EQ(shown.caption, L"Error");
    EXPECT_EQ(shown.type, MB_ICONERROR);
  }
}

TEST_F(ConfirmDlgTest, AnswersMinusOneWhenItCannotBeCreated) {
  Remove(RT_DIALOG, CConfirmDlg::IDD);
  CConfirmDlg box;
  backend->SetIdleHandler([&] { ADD_FAILURE() << "a modal loop ran"; });
  EXPECT_EQ(box.DoModal(), -1);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

}  // namespace
