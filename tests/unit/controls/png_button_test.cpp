#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/png_button.h"
#include "controls_fixture.h"

namespace {

constexpr UINT kHostDialog = 9201;
constexpr UINT kFirstId = 10, kSecondId = 11;
constexpr UINT kStripA = 401, kStripB = 402;

const uint32_t kFramesA[4] = {Argb(200, 0, 0), Argb(0, 160, 0), Argb(0, 0, 200), Argb(200, 200, 0)};
const uint32_t kFramesB[4] = {Argb(90, 30, 0), Argb(0, 90, 90), Argb(60, 0, 90), Argb(90, 90, 90)};
const uint32_t kLeftover = Argb(200, 0, 200);

// A pop-up with two plain push buttons, as a dialog template gives them;
// DDX_Control turns them into sprite buttons.
const DialogTemplate* HostTemplate() {
  static const DialogItemTemplate items[] = {
      {kFirstId, L"Button", L"First", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 10, 10, 50, 14, nullptr, 0},
      {kSecondId, L"Button", L"Second", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 100, 10, 50, 14, nullptr, 0},
  };
  static const DialogTemplate dialog{WS_POPUP | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 200, 100, L"", L"MS Shell Dlg", 9,
                                     400, 0, items, 2};
  return &dialog;
}

class ButtonHost : public CDialog {
 public:
  ButtonHost() : CDialog(kHostDialog) {}
  // Opens the host at 100, 100 (screen) with the first button at 20, 20
  // and the second at 200, 20 (host pixels).
  bool Open() {
    if (!Create(kHostDialog)) return false;
    MoveWindow(100, 100, 400, 200);
    first.MoveWindow(20, 20, 80, 30);
    second.MoveWindow(200, 20, 80, 30);
    return true;
  }
  CPngButton first, second;
  int firstClicks = 0, secondClicks = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Control(pDX, kFirstId, first);
    DDX_Control(pDX, kSecondId, second);
  }
  void OnFirst() { ++firstClicks; }
  void OnSecond() { ++secondClicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ButtonHost, CDialog)
  ON_BN_CLICKED(kFirstId, OnFirst)
  ON_BN_CLICKED(kSecondId, OnSecond)
END_MESSAGE_MAP()

class PngButtonTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    AddDialog(kHostDialog, HostTemplate());
  }
  // The frame (0..3) whose colour fills the frame-sized area at the
  // button's top-left, or -1.
  int ShownFrame(CWnd& button, const uint32_t frames[4], int frameWidth, int frameHeight) {
    CRect r;
    button.GetWindowRect(&r);
    uint32_t corner = backend->ScreenPixel(r.left, r.top);
    uint32_t far = backend->ScreenPixel(r.left + frameWidth - 1, r.top + frameHeight - 1);
    for (int k = 0; k < 4; ++k)
      if (corner == frames[k] && far == frames[k]) return k;
    return -1;
  }
};

// --- the frame shown after pointer and button sequences --------------------

enum Step { In, Hover, Press, Release, Out, FarOut, DoubleClickIn, Disable };

TEST_F(PngButtonTest, ShowsTheFrameOfItsStateAfterEachSequence) {
  AddPng(kStripA, StripPng(74, 104, kFramesA, kLeftover));
  struct Case {
    const char* name;
    std::vector<Step> steps;
    int frame;
    int clicks;
  };
  const Case cases[] = {
      {"at rest", {}, 0, 0},
      {"entered, hover time not yet passed", {In}, 0, 0},
      {"hovering", {In, Hover}, 1, 0},
      {"pressed while hovering", {In, Hover, Press}, 2, 0},
      {"pressed before the hover time", {In, Press}, 2, 0},
      {"released inside", {In, Hover, Press, Release}, 1, 1},
      {"released outside", {In, Hover, Press, Out, Release, FarOut}, 0, 0},
      {"left", {In, Hover, Out}, 0, 0},
      {"entered again after leaving", {In, Hover, Out, In, Hover}, 1, 0},
      {"double-clicked", {In, Hover, DoubleClickIn}, 1, 2},
      {"disabled at rest", {Disable}, 0, 0},
      {"disabled while hovered", {In, Hover, Disable}, 1, 0},
  };
  for (const Case& c : cases) {
    ButtonHost host;
    ASSERT_TRUE(host.Open()) << c.name;
    host.first.LoadPng(kStripA);
    backend->MovePointer(5, 5);  // start off the host
    backend->Pump();
    for (Step step : c.steps) {
      switch (step) {
        case In: backend->MovePointer(150, 130); break;
        case Hover: backend->AdvanceTime(5); break;
        case Press: backend->PressButton(); break;
        case Release: backend->ReleaseButton(); break;
        case Out: backend->MovePointer(300, 250); break;
        case FarOut: backend->MovePointer(310, 260); break;
        case DoubleClickIn: backend->DoubleClick(150, 130); break;
        case Disable:
          host.first.EnableWindow(FALSE);
          host.first.Invalidate();
          break;
      }
      backend->Pump();
    }
    EXPECT_EQ(ShownFrame(host.first, kFramesA, 74, 26), c.frame) << c.name;
    EXPECT_EQ(host.firstClicks, c.clicks) << c.name;
  }
}

// --- frame geometry --------------------------------------------------------

TEST_F(PngButtonTest, IsOneFrameLargeAndDrawsOnlyThatFrame) {
  struct Case {
    int width, height, frameWidth, frameHeight;
  };
  const Case cases[] = {{74, 104, 74, 26}, {39, 156, 39, 39}, {54, 216, 54, 54}, {74, 105, 74, 26}};
  for (const Case& c : cases) {
    std::string name = std::to_string(c.width) + "x" + std::to_string(c.height);
    UINT id = 500 + static_cast<UINT>(c.height);
    AddPng(id, StripPng(c.width, c.height, kFramesA, kLeftover));
    ButtonHost host;
    ASSERT_TRUE(host.Open());
    host.first.LoadPng(id);

    CRect r;
    host.first.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(120, 120, 120 + c.frameWidth, 120 + c.frameHeight)) << name;
    EXPECT_EQ(host.first.m_nFrameHeight, c.frameHeight) << name;
    EXPECT_EQ(host.first.m_rcWindow.right - host.first.m_rcWindow.left, c.frameWidth) << name;
    EXPECT_EQ(ShownFrame(host.first, kFramesA, c.frameWidth, c.frameHeight), 0) << name;

    // Pressed: the third band, down to its last row.
    backend->MovePointer(r.left + 2, r.top + 2);
    backend->PressButton();
    EXPECT_EQ(ShownFrame(host.first, kFramesA, c.frameWidth, c.frameHeight), 2) << name;
    backend->ReleaseButton();
    backend->MovePointer(5, 5);

    // A window made larger than a frame shows the frame at its top-left
    // and leaves the rest to what lies beneath.
    host.first.MoveWindow(20, 20, c.frameWidth + 20, c.frameHeight + 20);
    backend->Pump();
    EXPECT_EQ(ShownFrame(host.first, kFramesA, c.frameWidth, c.frameHeight), 0) << name;
    for (int y = c.frameHeight; y < c.frameHeight + 20; y += 3)
      EXPECT_EQ(backend->ScreenPixel(r.left + 1, r.top + y), DialogFace()) << name << " row " << y;
    EXPECT_EQ(backend->ScreenPixel(r.left + c.frameWidth + 5, r.top + 2), DialogFace()) << name;
  }
}

TEST_F(PngButtonTest, LoadedLastLiesOnTop) {
  AddPng(kStripA, StripPng(74, 104, kFramesA, kLeftover));
  AddPng(kStripB, StripPng(74, 104, kFramesB, kLeftover));
  for (bool firstLoadedLast : {false, true}) {
    ButtonHost host;
    ASSERT_TRUE(host.Open());
    host.second.MoveWindow(60, 30, 80, 30);  // overlaps the first's 74 × 26 frame
    if (firstLoadedLast) {
      host.second.LoadPng(kStripB);
      host.first.LoadPng(kStripA);
    } else {
      host.first.LoadPng(kStripA);
      host.second.LoadPng(kStripB);
    }
    const int overlapX = 165, overlapY = 135;  // host pixels 65, 35
    EXPECT_EQ(backend->ScreenPixel(overlapX, overlapY), firstLoadedLast ? kFramesA[0] : kFramesB[0]);
    backend->Click(overlapX, overlapY);
    EXPECT_EQ(host.firstClicks, firstLoadedLast ? 1 : 0);
    EXPECT_EQ(host.secondClicks, firstLoadedLast ? 0 : 1);
  }
}

TEST_F(PngButtonTest, ShowsTheHandOverTheWholeWindow) {
  AddPng(kStripA, StripPng(74, 104, kFramesA, kLeftover));
  ButtonHost host;
  ASSERT_TRUE(host.Open());
  host.first.LoadPng(kStripA);
  host.first.MoveWindow(20, 20, 120, 60);  // larger than its frame
  backend->Pump();
  const uintptr_t kHand = 32649, kArrow = 32512;
  const struct {
    int x, y;
    uintptr_t cursor;
  } cases[] = {{122, 122, kHand}, {230, 170, kHand}, {300, 250, kArrow}, {150, 130, kHand}};
  for (const auto& c : cases) {
    backend->MovePointer(c.x, c.y);
    EXPECT_EQ(backend->CursorShape(), c.cursor) << c.x << "," << c.y;
  }
}

TEST_F(PngButtonTest, WithoutAPictureStaysAnUndrawnClickableButton) {
  AddPng(kStripB, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
  for (UINT id : {UINT{kStripA} /* missing */, UINT{kStripB} /* undecodable */}) {
    ButtonHost host;
    ASSERT_TRUE(host.Open());
    host.first.LoadPng(id);
    EXPECT_EQ(host.first.m_nFrameHeight, 0) << id;
    CRect r;
    host.first.GetWindowRect(&r);
    EXPECT_EQ(r, CRect(120, 120, 200, 150)) << id;
    EXPECT_EQ(backend->ScreenPixel(125, 125), DialogFace()) << id;
    backend->Click(150, 130);
    EXPECT_EQ(host.firstClicks, 1) << id;
  }
}

TEST_F(PngButtonTest, HandsBackItsWindowDeviceContextWhenDestroyed) {
  AddPng(kStripA, StripPng(74, 104, kFramesA, kLeftover));
  ButtonHost host;
  ASSERT_TRUE(host.Open());
  auto* button = new CPngButton;
  ASSERT_TRUE(button->SubclassDlgItem(kSecondId, &host));
  button->LoadPng(kStripA);
  ASSERT_NE(button->m_pGraphics, nullptr);
  HDC dc = button->m_pGraphics->GetHDC();
  ASSERT_NE(SetBkMode(dc, OPAQUE), 0);  // a live device context
  delete button;
  EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);  // released
  backend->Pump();                      // the host still paints without it
  EXPECT_EQ(backend->ScreenPixel(305, 125), DialogFace());
}

}  // namespace
