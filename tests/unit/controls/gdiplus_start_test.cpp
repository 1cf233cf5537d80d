#include <gtest/gtest.h>

#include "controls/gdiplus_start.h"
#include "controls/png_button.h"
#include "controls_fixture.h"

namespace {

using GdiplusStart = ControlsTest;

TEST_F(GdiplusStart, StartsIntoTheButtonsTokenOrTellsTheUserOnce) {
  CPngButton started, failed;
  EXPECT_TRUE(StartGdiplusForButton(started));
  EXPECT_NE(started.m_gdiplusToken, 0u);
  EXPECT_TRUE(backend->MessageBoxes().empty());

  Gdiplus::SetGdiplusStartupFailsForTesting(true);
  EXPECT_FALSE(StartGdiplusForButton(failed));
  EXPECT_EQ(failed.m_gdiplusToken, 0u);
  ASSERT_EQ(backend->MessageBoxes().size(), 1u);
  EXPECT_EQ(backend->MessageBoxes()[0].text, L"Initialize GDI+ library failed");
  EXPECT_EQ(backend->MessageBoxes()[0].caption, L"Error");
  EXPECT_EQ(backend->MessageBoxes()[0].type, MB_ICONERROR);
  EXPECT_EQ(backend->MessageBoxes()[0].owner, nullptr);
}

}  // namespace
