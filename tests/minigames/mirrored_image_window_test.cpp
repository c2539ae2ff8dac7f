// The mirrored-image window: the deal laid out on its slots with the hidden result pictures,
// the one click that wins or loses and goes on, and clicks that are not its own.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "graphics/sprites/sprite.h"
#include "mini_game_test_util.h"
#include "minigames/mirrored_image_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/mirrored_image_game.h"
#include "scenes/sprite_window.h"

namespace {

// Faces of 40 x 40 ("mi/face1" to "mi/face3", the correct one "mi/right"), slots 60 pixels
// apart from (10, 10), results of 20 x 20.
class MirroredImageWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("MirroredImageWindow", &TMirroredImageWindow::Create);
    for (const char* face : {"mi/face1.png", "mi/face2.png", "mi/face3.png", "mi/right.png"})
      Solid(face, 40, 40, 0xFF806040);
    Solid("standard/sprites/mirroredimage/mi_right.png", 20, 20, 0xFF30A030);
    Solid("standard/sprites/mirroredimage/mi_wrong.png", 20, 20, 0xFFA03030);
    GiveWinAndLoseSounds();
    CHighscoreSystem::GetInstance()->SetMiniGameTaskCompleteBonus(250);
  }
  CMirroredImageGame& MakeGame(int32_t asked, int32_t exist, int slots, int32_t seqId = 290201) {
    auto game = std::make_unique<CMirroredImageGame>();
    game->SetAmountSelectedFalseImages(asked);
    game->SetAmountAllFalseImages(exist);
    game->SetFilepath("mi/");
    game->SetNameFalseImage("face");
    game->SetNameCorrectImage("right");
    for (int i = 0; i < slots; i++) game->AddPosition(10 + 60 * i, 10);
    return MakeCurrent(std::move(game), seqId);
  }
  TMirroredImageWindow* Open() {
    auto* window = WindowCast<TMirroredImageWindow>(OpenScene("MirroredImageWindow"));
    EXPECT_NE(window, nullptr);
    Frames(1);
    return window;
  }
  static bool Visible(TMirroredImageWindow& window, const char* name) {
    return Sprite(*window.GetSpriteWindow(), name).GetCurrentSprite()->IsVisible();
  }
};

// Three of three false images and the correct one fill the four slots, one each, all
// clickable; the result pictures wait hidden.
TEST_F(MirroredImageWindow, TheDealFillsTheSlots) {
  MakeGame(3, 3, 4);
  TMirroredImageWindow* window = Open();
  TSpriteWindow& sprites = *window->GetSpriteWindow();
  std::set<std::pair<int32_t, int32_t>> slots;
  for (int32_t i = 0; i < sprites.GetSpriteCount(); i++) {
    GeneralSprite& sprite = sprites.GetSprite(i);
    if (sprite.GetKind() != SpriteKindMirroredImage) continue;
    EXPECT_TRUE(sprite.IsClickable());
    TPoint at = GetSpriteTranslation(*sprite.GetCurrentSprite());
    EXPECT_TRUE(slots.insert({at.x, at.y}).second) << at.x;
  }
  EXPECT_EQ(slots.size(), 4u);
  EXPECT_TRUE(Shows(Sprite(sprites, "correct"), "mi/right"));
  EXPECT_EQ(Sprite(sprites, "won").GetKind(), SpriteKindMirroredResult);
  EXPECT_FALSE(Visible(*window, "won"));
  EXPECT_FALSE(Visible(*window, "lose"));
}

// One click decides: on the correct image it shows "won", counts the mini-game with its
// bonus at the click and plays "win"; on a false one it shows "lose" and plays "lose". The
// scene goes on once, and a second click changes nothing.
TEST_F(MirroredImageWindow, OneClickWinsOrLosesAndGoesOn) {
  for (bool right : {true, false}) {
    SCOPED_TRACE(right);
    MakeGame(1, 3, 2, right ? 290201 : 290202);
    uint32_t completed = CHighscoreSystem::GetInstance()->GetMiniGamesCompleted();
    TMirroredImageWindow* window = Open();
    TPoint at = window->GetSpriteWindow()->GetSpritePosition(right ? "correct" : "false");
    // The sounds are shared with the window before: count what this click starts.
    size_t wins = Playing(*window, "win"), losses = Playing(*window, "lose");
    Click(at.x + 20, at.y + 20);
    EXPECT_EQ(Visible(*window, "won"), right);
    EXPECT_EQ(Visible(*window, "lose"), !right);
    EXPECT_EQ(Playing(*window, "win"), wins + (right ? 1u : 0u));
    EXPECT_EQ(Playing(*window, "lose"), losses + (right ? 0u : 1u));
    EXPECT_EQ(window->IsWon(), right);
    EXPECT_EQ(window->GetBonusTextCount(), right ? 1u : 0u);
    EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), completed + (right ? 1u : 0u));
    EXPECT_EQ(WentOn(), 1);
    TPoint other = window->GetSpriteWindow()->GetSpritePosition(right ? "false" : "correct");
    Click(other.x + 20, other.y + 20);
    EXPECT_EQ(WentOn(), 1);
    EXPECT_EQ(window->IsWon(), right);
    mFlow.calls.clear();
  }
}

// While the briefing shows a click on an image is swallowed; a click beside the images goes
// to the base window (here its skip button).
TEST_F(MirroredImageWindow, ClicksNotOnAnImageAreNotItsOwn) {
  GiveButtons();
  MakeGame(2, 2, 3);
  TMirroredImageWindow* window = Open();
  TPoint at = window->GetSpriteWindow()->GetSpritePosition("correct");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Click(at.x + 20, at.y + 20);
  EXPECT_FALSE(window->IsWon());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  Click(SkipX, SkipY);
  EXPECT_FALSE(window->IsWon());
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesSkipped(), 1u);
  EXPECT_EQ(WentOn(), 1);
}

// Regression: a deal asked for more false images than exist, or than the slots hold beside
// the correct one, drew from an empty pool and read slots past the end. The screen shows
// what fits and plays on.
TEST_F(MirroredImageWindow, ADealAskingTooMuchShowsWhatFits) {
  MakeGame(5, 3, 3);
  TMirroredImageWindow* window = Open();
  EXPECT_EQ(window->GetGame()->GetFalseSpriteCount(), 2);
  TPoint at = window->GetSpriteWindow()->GetSpritePosition("correct");
  Click(at.x + 20, at.y + 20);
  EXPECT_TRUE(window->IsWon());
}

}  // namespace
