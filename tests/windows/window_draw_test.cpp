// Drawing the window tree through the renderer on the software display: the order (draw,
// children back to front, post-draw, modal layers, overlays), viewports and clips, and the
// layers a redraw starts at, and a screen without its background. The golden frames are
// regenerated with (then look at them before committing):
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/windows_tests --gtest_filter='WindowDraw.*'

#include <memory>

#include "graphics/device/golden_png.h"
#include "graphics/display/platform_data.h"
#include "graphics/display_start.h"
#include "windows/modal_window.h"
#include "windows/screen.h"
#include "windows/window_style.h"
#include "panel_window.h"
#include "soft_display.h"
#include "windows_test_util.h"

namespace {

class WindowDraw : public TWindowsTest {
 protected:
  static constexpr uint32_t Width = 160, Height = 120;

  void SetUp() override {
    TWindowsTest::SetUp();
    ASSERT_TRUE(mDisplay.Open(Width, Height));
    Screen()->SetSize(Width, Height);
    auto* screen = WindowCast<TScreen>(Screen());
    screen->SetAlwaysClear(true);
    screen->SetClearColor(TColor{0.1f, 0.1f, 0.15f, 1});
    Script().RegisterWindowType("Panel", &TPanel::Create);
    TPanel::SetDrawLog(&mLog);
  }
  void TearDown() override {
    TPanel::SetDrawLog(nullptr);
    mManager.reset();
    mDisplay.Close();
    TWindowsTest::TearDown();
  }

  void Redraw() {
    FakeNow += 1000;
    Manager().Invalidate();
    Send(EventIdle);
  }
  const std::vector<uint32_t>& Shown() const { return mDisplay.Shown(); }
  uint32_t ShownAt(uint32_t x, uint32_t y) const { return Shown()[size_t(y) * Width + x]; }

  TSoftDisplay mDisplay;
};

TEST_F(WindowDraw, ATreeFromAScriptDrawsInOrderWithViewportsAndClips) {
  ASSERT_EQ(Lua("Panel{ name = 'back', x = 10, y = 10, w = 100, h = 80, color = {0.2, 0.4, 0.8, 1},"
                "  mark = {1, 1, 1, 1},"
                "  Panel{ name = 'child', x = 60, y = 50, w = 80, h = 60, color = {0.9, 0.3, 0.2, 1} },"
                "  Panel{ name = 'top', x = 4, y = 4, w = 30, h = 30, color = {0.2, 0.8, 0.3, 1} } }();"
                "PushModal('layer');"
                "Panel{ name = 'dialog', x = 90, y = 20, w = 50, h = 40, color = {0.95, 0.8, 0.2, 1} }()"),
            "");
  auto overlay = std::make_unique<TPanel>();
  overlay->SetName("overlay");
  overlay->SetColor(TColor{0.6f, 0.2f, 0.7f, 1});
  overlay->SetPosition(0, 104);
  overlay->SetSize(Width, 16);
  Manager().AddOverlay(std::move(overlay));

  mLog.clear();
  Redraw();
  EXPECT_EQ(mLog, (TProbeLog{
                      "back:draw vp 10,10,110,90 clip 10,10,110,90",
                      "child:draw vp 70,60,150,120 clip 70,60,110,90",  // clipped to its parent
                      "child:postdraw",
                      "top:draw vp 14,14,44,44 clip 14,14,44,44",
                      "top:postdraw",
                      "back:postdraw",
                      "dialog:draw vp 90,20,140,60 clip 90,20,140,60",
                      "dialog:postdraw",
                      "overlay:draw vp 0,104,160,120 clip 0,104,160,120",
                      "overlay:postdraw",
                  }));
  ASSERT_EQ(Shown().size(), size_t(Width) * Height);
  EXPECT_EQ(MatchGolden("windows/window_tree.png", Shown(), Width, Height), "");
  // The post-draw mark lies over the topmost child; the child is cut at its parent's edge.
  EXPECT_EQ(ShownAt(15, 15), 0xFFFFFFFFu);
  EXPECT_NE(ShownAt(112, 80), ShownAt(100, 80));
}

TEST_F(WindowDraw, TheRedrawStartsAtTheUpperFullScreenOpaqueModal) {
  ASSERT_EQ(Lua("Panel{ name = 'below', x = 0, y = 0, w = 20, h = 20 }();"
                "PushModal('first'); Panel{ name = 'in first', x = 0, y = 0, w = 160, h = 120 }();"
                "PushModal('second'); Panel{ name = 'in second', x = 0, y = 0, w = 160, h = 120 }()"),
            "");
  // An opaque window of the screen's size in each modal (a background picture): only the
  // upper one is drawn.
  for (const char* name : {"in first", "in second"}) {
    TWindow* cover = Screen()->FindChild(name);
    cover->SetFlags(cover->GetFlags() | WindowOpaqueCover);
  }
  mLog.clear();
  Redraw();
  EXPECT_EQ(mLog, (TProbeLog{"in second:draw vp 0,0,160,120 clip 0,0,160,120", "in second:postdraw"}));
  // Without the upper cover the walk starts at the first.
  Screen()->FindChild("in second")->SetSize(20, 20);
  mLog.clear();
  Redraw();
  ASSERT_EQ(mLog.size(), 4u);
  EXPECT_EQ(mLog[0].substr(0, 13), "in first:draw");
  // Only the top modal, when asked.
  Manager().SetTopModalOnly(true);
  mLog.clear();
  Redraw();
  EXPECT_EQ(mLog.size(), 2u);
  // Hidden windows are skipped with their subtree.
  Manager().GetTopModal()->FindChild("in second")->SetFlags(0);
  mLog.clear();
  Redraw();
  EXPECT_TRUE(mLog.empty());
}

TEST_F(WindowDraw, TheHitWindowCanBeHighlighted) {
  ASSERT_EQ(Lua("Panel{ name = 'target', x = 40, y = 30, w = 40, h = 30, color = {0, 0, 0, 1} }()"), "");
  Manager().SetHighlightHitWindow(true);
  Send(EventMouseMove, 50, 40);
  Redraw();
  EXPECT_EQ(ShownAt(40, 45), 0xFFFFFF00u);
  EXPECT_EQ(ShownAt(79, 45), 0xFFFFFF00u);
  EXPECT_EQ(ShownAt(60, 30), 0xFFFFFF00u);
  EXPECT_EQ(ShownAt(60, 59), 0xFFFFFF00u);
  EXPECT_EQ(ShownAt(60, 45), 0xFF000000u);
}

}  // namespace

// Regression: a screen whose background is missing showed a strip of white boxes at its top
// left. Where no opaque window covers the screen, the screen is not cleared under another
// modal and the frame shows what the back buffer holds; the display start's calibration
// had left its cells there, drawing its render-target block in the back buffer's corner.
TEST_F(WindowDraw, AScreenWithoutItsBackgroundShowsNothingOfTheDisplayStart) {
  WindowCast<TScreen>(Screen())->SetAlwaysClear(false);
  Redraw();  // the screen alone, the top modal: cleared
  ASSERT_NE(GetPlatformData(), nullptr);
  CalibratePixelOffset(*GetPlatformData());
  // The start screen's dialog, its background picture missing: only its panel is drawn.
  ASSERT_EQ(Lua("PushModal('start'); Panel{ name = 'panel', x = 40, y = 30, w = 80, h = 60, color = {0.2, 0.4, 0.8, 1} }()"),
            "");
  Redraw();
  EXPECT_EQ(ShownAt(4, 8), ShownAt(150, 110));
  EXPECT_EQ(MatchGolden("windows/screen_without_background.png", Shown(), Width, Height), "");
}
