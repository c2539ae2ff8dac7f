// The mini-game window base: the skip and menu buttons from the game's values, the briefing
// gate, the buttons' hover glow, and "IsWon" bound to the newest mini-game window.

#include <gtest/gtest.h>

#include <string>

#include "mini_game_test_util.h"
#include "minigames/mini_game_window.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "platform/settings.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

class MiniGameWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    GiveButtons();
    SetConfig("sbwMenuButtonX", "15");
    SetConfig("sbwMenuButtonY", "212");
    SetConfig("sbwMenuButtonTextWidth", "50");
    SetConfig("sbwMenuButtonTextHeight", "16");
  }
  TMiniGameWindow* Open() {
    TMiniGameWindow* window = WindowCast<TMiniGameWindow>(OpenScene("MiniGameWindow"));
    EXPECT_NE(window, nullptr);
    return window;
  }
  static uint32_t Skipped() { return CHighscoreSystem::GetInstance()->GetMiniGamesSkipped(); }
  std::shared_ptr<TSprite> Button(TMiniGameWindow& window, const char* name) {
    return Sprite(*window.GetAnimationWindow(), name).GetCurrentSprite();
  }
};

// The two buttons stand in the animation window from the game's values, clickable, with
// their labels: the skip label centred on its picture, the menu label where the settings
// put it. A scene of seqId 77777, or a button without a picture, shows no button.
TEST_F(MiniGameWindow, TheButtonsComeFromTheGamesValues) {
  TMiniGameWindow* window = Open();
  TSpriteWindow& buttons = *window->GetAnimationWindow();
  EXPECT_EQ(buttons.GetName(), "animationWindow");
  EXPECT_EQ(Sprite(buttons, "skipButton").GetKind(), SpriteKindSkipButton);
  EXPECT_TRUE(Sprite(buttons, "skipButton").IsClickable());
  EXPECT_EQ(Sprite(buttons, "menuButton").GetKind(), SpriteKindMenuButton);
  TTextbox* skip = Textbox("skip");
  ASSERT_NE(skip, nullptr);
  TRect label = skip->GetRect();
  EXPECT_NEAR((label.left + label.right) / 2.0, 250 + 30, 1.0);
  EXPECT_NEAR((label.top + label.bottom) / 2.0, 210 + 10, 1.0);
  EXPECT_EQ(skip->GetText(), "Weiter");
  TTextbox* menu = Textbox("menuButtonText");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetRect(), TRect(15, 212, 65, 228));
  Manager().PopModal();

  CGame::GetInstance()->MiniGameMenuButton().graphic = "";
  MakeCurrent(std::make_unique<CTestScene>(0), TMiniGameWindow::NoButtonsSeqId);
  window = Open();
  EXPECT_EQ(window->GetAnimationWindow()->GetSpriteCount(), 0);
  Manager().PopModal();
  CGame::GetInstance()->SetCurrentScene(120001);
  window = Open();
  EXPECT_TRUE(HasSprite(*window->GetAnimationWindow(), "skipButton"));
  EXPECT_FALSE(HasSprite(*window->GetAnimationWindow(), "menuButton"));
}

// The skip button counts one skipped mini-game and finishes the scene once: a second click
// while the screen fades out counts nothing more.
TEST_F(MiniGameWindow, SkipCountsOnceAndGoesOnOnce) {
  Open();
  Frames(2);
  Click(SkipX, SkipY);
  EXPECT_EQ(Skipped(), 1u);
  EXPECT_EQ(mFlow.calls.back(), "next:1");
  size_t calls = mFlow.calls.size();
  Click(SkipX, SkipY);
  EXPECT_EQ(Skipped(), 1u);
  EXPECT_EQ(mFlow.calls.size(), calls);
}

// While the briefing shows, clicks and moves are swallowed: no skip, no cursor change, no
// glow; the flow still hears where the pointer is.
TEST_F(MiniGameWindow, TheBriefingSwallowsClicksAndMoves) {
  TMiniGameWindow* window = Open();
  Frames(2);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  window->SetCursorStyle(3);
  Click(SkipX, SkipY);
  MouseMove(MenuX, MenuY);
  EXPECT_EQ(Skipped(), 0u);
  EXPECT_EQ(window->GetCursorStyle(), 3);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetGlowCount(), 0u);
  EXPECT_EQ(mFlow.mouse, TPoint(MenuX, MenuY));
  EXPECT_FALSE(window->IsSceneFinished());
}

// The menu button opens the pause script of "scriptPause" as a modal and sets the normal
// cursor.
TEST_F(MiniGameWindow, TheMenuButtonOpensThePauseScript) {
  WriteAsset("scripts/pause.lua", "PausedFrom = 'menu'");
  SetConfig("scriptPause", "scripts/pause.lua");
  TMiniGameWindow* window = Open();
  Frames(2);
  window->SetCursorStyle(4);
  MouseDown(MenuX, MenuY);
  EXPECT_EQ(Global("PausedFrom"), "menu");
  EXPECT_EQ(window->GetCursorStyle(), 2);
  EXPECT_EQ(Skipped(), 0u);
}

// The glow follows the pointer from the menu button to the skip button and leaves both
// when the pointer leaves them; resting on a button keeps its one glow (no new one, and no
// new task, per move).
TEST_F(MiniGameWindow, TheGlowFollowsThePointerOverTheButtons) {
  TMiniGameWindow* window = Open();
  Frames(2);
  TSpriteAnimator& animator = *TSpriteAnimator::GetInstance();
  std::shared_ptr<TSprite> menu = Button(*window, "menuButton"), skip = Button(*window, "skipButton");
  MouseMove(MenuX, MenuY);
  const auto* glow = animator.GetGlow(menu.get());
  ASSERT_NE(glow, nullptr);
  for (int i = 1; i <= 5; i++) MouseMove(MenuX + i, MenuY);
  EXPECT_EQ(animator.GetGlow(menu.get()), glow);
  EXPECT_EQ(animator.GetGlowCount(), 1u);
  MouseMove(SkipX, SkipY);
  EXPECT_EQ(animator.GetGlow(menu.get()), nullptr);
  EXPECT_NE(animator.GetGlow(skip.get()), nullptr);
  window->SetCursorStyle(4);
  MouseMove(160, 100);
  EXPECT_EQ(animator.GetGlowCount(), 0u);
  EXPECT_EQ(window->GetCursorStyle(), 2);
}

// "IsWon" answers the newest mini-game window's test (false in the base); once that window
// is gone a script that still calls it gets nothing instead of reaching freed memory.
TEST_F(MiniGameWindow, IsWonFollowsTheNewestWindowAndIsHarmlessOnceItGoes) {
  auto first = std::make_unique<TMiniGameWindow>();
  auto second = std::make_unique<TMiniGameWindow>();
  first.reset();
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "false");
  second.reset();
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "nil");
}

}  // namespace
