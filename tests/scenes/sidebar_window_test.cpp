// The sidebar: its buttons, clicks and hover glows, the Lua functions, and the hint button's
// refill, frames, ready glow and clicks on every kind of screen.

#include <gtest/gtest.h>

#include "graphics/sprites/sprite.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/placing_object_game.h"
#include "platform/settings.h"
#include "platform/test_util.h"
#include "scenes/scene.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "screen_test_util.h"

namespace {

class Sidebar : public TScreenTest {
 protected:
  void SetUp() override {
    TScreenTest::SetUp();
    auto room = std::make_unique<CAdventureScreen>();
    // Place 200 of the story's place tables.
    room->SetSeqId(220001);
    mRoom = &AddCurrent(std::move(room));
    WriteAsset("fx/glow.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/glow.lua"));
    SetConfig("scriptBlurFX", "fx/glow.lua");
  }
  TSidebarWindow* Open() {
    OpenScene("AdventureScreenWindow");
    return TScreenTest::Sidebar();
  }
  std::shared_ptr<TSprite> Button(const char* name) {
    int32_t index = 0;
    TSpriteWindow* sprites = TScreenTest::Sidebar()->GetSpriteWindow();
    return sprites->FindSprite(name, index) ? sprites->GetSprite(index).GetCurrentSprite() : nullptr;
  }
  bool Glows(const char* name) { return TSpriteAnimator::GetInstance()->GetGlow(Button(name).get()) != nullptr; }
  // The play time since the last hint, through the fake wall clock.
  void PlaySeconds(int64_t seconds) { sWallTime += seconds; }
  CAdventureScreen* mRoom = nullptr;
};

// The refill of the hint: the level, readiness and the frame shown, on the refill time 60 s
// after an offset of 10 s with 10 frames.
TEST_F(Sidebar, TheHintRefillsOverThePlayTime) {
  CGame::GetInstance()->SetHintCount(10);
  TSidebarWindow* sidebar = Open();
  ASSERT_TRUE(sidebar);
  struct TCase {
    uint32_t playTime;
    bool ready;
    const char* frame;
  } cases[] = {{0, false, "pics/hint01"},   {9, false, "pics/hint01"},  {35, false, "pics/hint04"},
               {70, false, "pics/hint10"},  {71, true, "pics/hint10"},  {100000, true, "pics/hint10"}};
  for (const TCase& c : cases) {
    TSidebarWindow::TRefill refill = TSidebarWindow::RefillAt(c.playTime);
    EXPECT_EQ(refill.ready, c.ready) << c.playTime;
    EXPECT_EQ(sidebar->HintFrameAsset(refill.clamped).ToStd(), c.frame) << c.playTime;
  }
}

// Regression: a refill time of 0 divided the level by zero; the button now stands full.
TEST_F(Sidebar, ARefillTimeOfZeroShowsTheLastFrame) {
  SetConfig("hintrefilltime", "0");
  TSidebarWindow* sidebar = Open();
  ASSERT_TRUE(sidebar);
  EXPECT_EQ(sidebar->HintFrameAsset(0).ToStd(), "pics/hint02");
  Frames(3);
  EXPECT_EQ(CountInLog("\"hintrefilltime\" is 0"), 1);
}

// A hint used restarts the refill; the button glows once when it is ready again, and the
// glow ends after "glowtimerhint" ms. A click before then does nothing.
TEST_F(Sidebar, TheReadyHintGlowsOnceAndAClickBeforeThatDoesNothing) {
  SetConfig("glowtimerhint", "100");
  TSidebarWindow* sidebar = Open();
  ASSERT_TRUE(sidebar);
  HighscoreSystem::Call(&CHighscoreSystem::UseHint);
  Frames(1);
  EXPECT_EQ(sidebar->GetLastRefillLevel(), 0);
  EXPECT_FALSE(Glows("hintTimer"));
  Click(HintButton.x, HintButton.y);
  EXPECT_EQ(HighscoreSystem::GetElapsedTimeSinceLastHintUse(), 0u);

  PlaySeconds(71);
  Frames(1);
  EXPECT_TRUE(Glows("hintTimer"));
  EXPECT_TRUE(sidebar->IsHintGlowClockRunning());
  EXPECT_EQ(sidebar->GetLastRefillLevel(), -1);
  Frames(6);
  EXPECT_FALSE(Glows("hintTimer"));
  Frames(4);
  EXPECT_FALSE(Glows("hintTimer"));
}

// On an adventure screen a ready hint circles the place the story's globals name (here the
// screen itself) and counts; the play time starts again.
TEST_F(Sidebar, TheAdventureHintCirclesTheNamedPlace) {
  TSidebarWindow* sidebar = Open();
  ASSERT_TRUE(sidebar);
  auto* globals = CGlobalInformationSystem::GetInstance();
  globals->SetGlobalString("HintLocation", "200");
  globals->SetGlobalNumber("HintPosX", 250.7);
  globals->SetGlobalNumber("HintPosY", 120);
  auto* scene = WindowCast<TScene>(Manager().GetTopModal()->FindChild("scene"));
  Click(HintButton.x, HintButton.y);
  EXPECT_TRUE(scene->IsHintSpiralActive());
  EXPECT_EQ(scene->GetHintSpiralCentre().x, 250);
  EXPECT_EQ(HighscoreSystem::GetElapsedTimeSinceLastHintUse(), 0u);
}

// Regression: a placing-object hint with no item left drew modulo 0. It now shows nothing
// and still counts.
TEST_F(Sidebar, APlacingHintWithoutItemsCountsAndPointsNowhere) {
  auto placing = std::make_unique<CPlacingObjectGame>();
  placing->SetSeqId(130002);
  AddCurrent(std::move(placing));
  TSidebarWindow* sidebar = Open();
  ASSERT_TRUE(sidebar);
  Click(HintButton.x, HintButton.y);
  EXPECT_EQ(HighscoreSystem::GetElapsedTimeSinceLastHintUse(), 0u);
  EXPECT_EQ(CountInLog("no item left to place"), 1);
  EXPECT_FALSE(WindowCast<TScene>(Manager().GetTopModal()->FindChild("scene"))->IsHintSpiralActive());
}

// Help counts its use before the content's "ShowHelp(0)"; the light toggles the candle frame.
TEST_F(Sidebar, HelpCountsAndLightTogglesTheCandle) {
  mRoom->SetShowLightButton(true);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Lua("function ShowHelp(n) HelpShown = n end"), "");
  Click(HelpButton.x, HelpButton.y);
  EXPECT_EQ(Global("HelpShown"), "0");
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHelpUseCount(), 1u);
  bool candle = mRoom->IsCandleWindow();
  Click(LightButton.x, LightButton.y);
  EXPECT_NE(mRoom->IsCandleWindow(), candle);
  Click(LightButton.x, LightButton.y);
  EXPECT_EQ(mRoom->IsCandleWindow(), candle);
}

// Hovering a button glows it, moving off ends the glow. Regression: every move over a
// button made a new glow task; the glow (and its task) is now made once.
TEST_F(Sidebar, HoverGlowsAButtonOnceAndMovingOffEndsIt) {
  ASSERT_TRUE(Open());
  MouseMove(MenuButton.x, MenuButton.y);
  auto* glow = TSpriteAnimator::GetInstance()->GetGlow(Button("sidebarmenu").get());
  ASSERT_TRUE(glow);
  MouseMove(MenuButton.x + 2, MenuButton.y + 1);
  MouseMove(MenuButton.x + 3, MenuButton.y + 2);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetGlow(Button("sidebarmenu").get()), glow);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetGlowCount(), 1u);
  MouseMove(300, 230);
  EXPECT_FALSE(Glows("sidebarmenu"));
}

// Regression: the Lua functions stayed bound to a destroyed sidebar. A call after it has
// gone does nothing and logs a line, and the script goes on; the next sidebar takes them
// over.
TEST_F(Sidebar, TheLuaFunctionsOutliveNoSidebar) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(Lua("SetDiaryButtonVisible(false)"), "");
  EXPECT_FALSE(Button("sidebardiary")->IsVisible());
  Manager().PopModal();
  Frames(2);
  EXPECT_EQ(Lua("SetDiaryButtonVisible(true); gAfter = 1"), "");
  EXPECT_EQ(Global("gAfter"), "1");
  EXPECT_EQ(CountInLog("a function of a window that is gone was called"), 1);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Lua("SetDiaryButtonVisible(false)"), "");
  EXPECT_FALSE(Button("sidebardiary")->IsVisible());
}

// A sidebar of an unknown screen type: buttons, no background, no list; hint clicks are not
// consumed.
TEST_F(Sidebar, AnUnknownScreenTypeHasButtonsOnly) {
  TSidebarWindow sidebar(7);
  EXPECT_EQ(sidebar.GetSpriteWindow()->GetSpriteCount(), 5);
  EXPECT_FALSE(sidebar.FindChild("itemsWindow"));
  EXPECT_FALSE(sidebar.OnMouseDown(HintButton));
}

}  // namespace
