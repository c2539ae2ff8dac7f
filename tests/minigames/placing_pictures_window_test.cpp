// The placing-pictures window: pictures on their hotspots, carried with the pointer and
// dropped on an empty hotspot (normal mode) or exchanged with the picture there (swap
// mode), the check button's feedback and win, the board as it was left when the screen
// opens again, and the text boxes laid over it.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "mini_game_test_util.h"
#include "minigames/placing_pictures_window.h"
#include "model/highscore_system.h"
#include "model/placing_pictures_game.h"
#include "model/scene_hotspot.h"
#include "platform/settings.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

// Hotspots of 60 x 60 at x = 10, 90 and 170 (y 10), pictures of 40 x 40 ("pp/p1" to
// "pp/p3"), a safe zone of 8 and the check button (40 x 40) at (250, 150).
class PlacingPicturesWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("PlacingPicturesWindow", &TPlacingPicturesWindow::Create);
    for (const char* picture : {"pp/p1.png", "pp/p2.png", "pp/p3.png"}) Solid(picture, 40, 40, 0xFF806040);
    Solid("pp/check.png", 40, 40, 0xFF30A030);
    GiveWinAndLoseSounds();
    SetConfig("plpiHotspotSafeZoneInPixels", "8");
    mStrings.Set("placingpicturesfalsefeedback", "Noch nicht richtig.");
  }
  // Hotspot i holds starts[i] and must end with ends[i].
  CPlacingPicturesGame& MakeGame(bool swap, std::vector<const char*> starts, std::vector<const char*> ends,
                                 std::vector<const char*> ids = {"0", "1", "2"}) {
    auto game = std::make_unique<CPlacingPicturesGame>();
    game->SetSwopMode(swap);
    game->SetFilepath("pp/p");
    game->SetCheckbutton("pp/check");
    game->SetCheckbuttonPosition(250, 150);
    for (size_t i = 0; i < starts.size(); i++) {
      int32_t x = HotspotX(int32_t(i));
      game->AddHotspotX1(x), game->AddHotspotX2(x + 60), game->AddHotspotX3(x + 60), game->AddHotspotX4(x);
      game->AddHotspotY1(10), game->AddHotspotY2(10), game->AddHotspotY3(70), game->AddHotspotY4(70);
      game->AddHotspotId(ids[i]);
      game->AddHotspotImageStart(starts[i]);
      game->AddHotspotImageEnd(ends[i]);
    }
    return MakeCurrent(std::move(game), 290301);
  }
  TPlacingPicturesWindow* Open() {
    auto* window = WindowCast<TPlacingPicturesWindow>(OpenScene("PlacingPicturesWindow"));
    EXPECT_NE(window, nullptr);
    Frames(1);
    return window;
  }
  static int32_t HotspotX(int32_t i) { return 10 + 80 * i; }
  // A press in the middle of hotspot i (on its picture, if it holds one).
  void PressHotspot(int32_t i) { Click(HotspotX(i) + 30, 40); }
  // Where the picture's sprite stands.
  static TPoint At(TPlacingPicturesWindow& window, const char* picture) {
    return window.GetSpriteWindow()->GetSpritePosition(picture);
  }
  static TPoint OnHotspot(int32_t i) { return TPoint(HotspotX(i) + 8, 18); }
  static std::vector<std::string> Board(const CPlacingPicturesGame& game) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < game.GetHotspotObjectCount(); i++)
      names.push_back(game.GetHotspotObject(i)->GetName().ToStd());
    return names;
  }
};

// Normal mode: a carried picture follows the pointer; a press on a hotspot that holds a
// picture goes to the base window and the picture stays carried; on the empty hotspot it is
// placed, and the hotspot it came from takes pictures. The check button tells an unsolved
// board with the feedback text and wins a solved one.
TEST_F(PlacingPicturesWindow, NormalModeMovesOntoEmptyHotspotsAndTheCheckButtonWins) {
  CPlacingPicturesGame& game = MakeGame(false, {"1", "2", ""}, {"?", "2", "1"});
  TPlacingPicturesWindow* window = Open();
  EXPECT_EQ(At(*window, "1"), OnHotspot(0));
  EXPECT_EQ(At(*window, "2"), OnHotspot(1));
  EXPECT_EQ(Sprite(*window->GetSpriteWindow(), "CheckButton").GetKind(), SpriteKindPlacingCheckButton);
  EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition("CheckButton"), TPoint(250, 150));

  Click(270, 170);
  Frames(2);
  EXPECT_EQ(window->GetBriefingCurrent(), 0);
  EXPECT_EQ(WentOn(), 0);

  PressHotspot(0);
  ASSERT_TRUE(game.IsCarrying());
  MouseMove(200, 150);
  EXPECT_EQ(At(*window, "1"), TPoint(170, 120));
  PressHotspot(1);
  EXPECT_TRUE(game.IsCarrying());
  PressHotspot(2);
  EXPECT_FALSE(game.IsCarrying());
  EXPECT_EQ(At(*window, "1"), OnHotspot(2));
  EXPECT_EQ(Board(game), (std::vector<std::string>{"", "2", "1"}));
  EXPECT_TRUE(game.GetHotspotObject(0)->IsActive());
  EXPECT_FALSE(game.GetHotspotObject(2)->IsActive());
  EXPECT_EQ(WentOn(), 0) << "moves never test the board";

  uint32_t completed = CHighscoreSystem::GetInstance()->GetMiniGamesCompleted();
  Click(270, 170);
  EXPECT_TRUE(window->IsWon());
  EXPECT_EQ(Playing(*window, "win"), 1u);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), completed + 1);
  EXPECT_EQ(window->GetBonusTextCount(), 1u);
  EXPECT_EQ(WentOn(), 1);
}

// Swap mode: a picture dropped on another's hotspot sends that one to where it came from; a
// picture dropped back on its own hotspot moves nothing else.
TEST_F(PlacingPicturesWindow, SwapModeExchangesPictures) {
  CPlacingPicturesGame& game = MakeGame(true, {"1", "2", "3"}, {"2", "1", "3"});
  TPlacingPicturesWindow* window = Open();
  PressHotspot(0);
  PressHotspot(1);
  EXPECT_EQ(Board(game), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_EQ(At(*window, "1"), OnHotspot(1));
  EXPECT_EQ(At(*window, "2"), OnHotspot(0));
  PressHotspot(2);
  PressHotspot(2);
  EXPECT_EQ(Board(game), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_EQ(At(*window, "3"), OnHotspot(2));
  EXPECT_TRUE(window->IsWon());
}

// Regression: a picture pressed where it hangs over no hotspot was carried without emptying
// its hotspot, and a swap then sent the target's picture to hotspot 0, over the one there:
// a picture was lost. The hotspot that holds the picture gives it up wherever it is pressed.
TEST_F(PlacingPicturesWindow, APicturePressedOutsideItsHotspotKeepsTheBoardWhole) {
  Solid("pp/p1.png", 40, 120, 0xFF806040);
  CPlacingPicturesGame& game = MakeGame(true, {"2", "1", "3"}, {"1", "2", "3"});
  TPlacingPicturesWindow* window = Open();
  Click(HotspotX(1) + 20, 120);
  ASSERT_TRUE(game.IsCarrying());
  PressHotspot(2);
  EXPECT_EQ(Board(game), (std::vector<std::string>{"2", "3", "1"}));
  EXPECT_EQ(At(*window, "3"), OnHotspot(1));
  EXPECT_EQ(At(*window, "2"), OnHotspot(0));
}

// The screen opened again shows the board as it was left, its hotspots in the order of their
// ids' values ("9" before "10"); a swap board keeps its mode.
TEST_F(PlacingPicturesWindow, TheBoardComesBackAsItWasLeft) {
  CPlacingPicturesGame& game = MakeGame(true, {"1", "2"}, {"2", "1"}, {"10", "9"});
  Open();
  PressHotspot(0);
  PressHotspot(1);
  Manager().PopModal();
  Frames(2);
  EXPECT_EQ(game.GetHotspotObjectCount(), 0);
  TPlacingPicturesWindow* window = Open();
  EXPECT_EQ(game.GetHotspotId(0).ToStd(), "9");
  EXPECT_EQ(Board(game), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(At(*window, "1"), OnHotspot(1));
  EXPECT_TRUE(game.GetSwopMode());
}

// The model's text boxes are laid over the board at their places, listed in the model while
// the screen is up and forgotten when it goes.
TEST_F(PlacingPicturesWindow, TheTextBoxesLieOverTheBoardWhileItIsUp) {
  CPlacingPicturesGame& game = MakeGame(false, {"1"}, {"1"});
  mStrings.Set("NAME_A", "Konrad");
  mStrings.Set("NAME_B", "Luise");
  game.SetTextboxWidth(80);
  game.SetTextboxHeight(20);
  game.SetLineHeight(12);
  for (const auto& [label, x] : {std::pair{"NAME_A", 10}, std::pair{"NAME_B", 90}}) {
    game.AddTextboxText(label);
    game.AddTextboxPosition(x, 80);
    game.AddTextboxRotation(0);
  }
  Open();
  ASSERT_NE(game.GetTextboxWindow(1), nullptr);
  EXPECT_EQ(game.GetTextboxWindow(0)->GetText(), "Konrad");
  EXPECT_EQ(game.GetTextboxWindow(1)->GetRect(), TRect(90, 80, 170, 100));
  Manager().PopModal();
  Frames(2);
  EXPECT_EQ(game.GetTextboxWindow(0), nullptr);
}

}  // namespace
