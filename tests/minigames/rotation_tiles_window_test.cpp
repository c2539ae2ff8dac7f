// The rotation tiles window: a new board dealt and laid out in rows, a saved board kept as
// it was, clicks that turn tiles to the win, and boards without tiles.

#include <gtest/gtest.h>

#include <string>

#include "mini_game_test_util.h"
#include "minigames/rotation_tiles_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/rotation_tiles_game.h"
#include "scenes/sprite_window.h"

namespace {

// Tiles "pics/t0" to "pics/t9", 40 x 40.
class RotationTilesWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("RotationTilesWindow", &TRotationTilesWindow::Create);
    for (int i = 0; i < 10; i++) Solid(("pics/t" + std::to_string(i) + ".png").c_str(), 40, 40, 0xFF406080);
  }
  CRotationTilesGame& MakeGame(int32_t tilesCount, int32_t seqId = 190301) {
    auto game = std::make_unique<CRotationTilesGame>();
    game->SetTilesCount(tilesCount);
    game->SetStartPositionX(20);
    game->SetStartPositionY(10);
    game->SetTilesFilepath("pics/t");
    return MakeCurrent(std::move(game), seqId);
  }
  // A saved board: tile i ("saved_i", image pics/ti) at (20 + 50 i, 100) with its turns.
  CRotationTilesGame& MakeSavedGame(const std::vector<int32_t>& statuses) {
    CRotationTilesGame& game = MakeGame(int32_t(statuses.size()));
    for (size_t i = 0; i < statuses.size(); i++) {
      auto tile = std::make_unique<CRotationTile>();
      tile->SetId(TString(("saved_" + std::to_string(i)).c_str()));
      tile->SetImage(TString(("pics/t" + std::to_string(i)).c_str()));
      tile->SetStatus(statuses[i]);
      tile->SetPosition(int32_t(20 + 50 * i), 100);
      game.AddTile(std::move(tile));
    }
    return game;
  }
  TRotationTilesWindow* Open() {
    auto* window = WindowCast<TRotationTilesWindow>(OpenScene("RotationTilesWindow"));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  static float Angle(TRotationTilesWindow& window, const char* id) {
    return Sprite(*window.GetSpriteWindow(), id).GetAngle();
  }
  void ClickSaved(size_t tile) { Click(int32_t(40 + 50 * tile), 120); }
};

// Ten new tiles lie in rows of three (the whole root of 10), 40 pixels apart as the first
// image is high, the last row holding one; each sprite stands turned by its tile's turns.
// The play clock stands still while the window lives.
TEST_F(RotationTilesWindow, ANewBoardLiesInRowsOfTheRootOfItsCount) {
  CRotationTilesGame& game = MakeGame(10);
  TRotationTilesWindow* window = Open();
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  std::vector<CRotationTile*> tiles = game.GetTiles();
  ASSERT_EQ(tiles.size(), 10u);
  for (size_t n = 0; n < tiles.size(); n++) {
    EXPECT_EQ(tiles[n]->GetId(), TString(("tile_" + std::to_string(n)).c_str()));
    EXPECT_EQ(tiles[n]->GetPosition().x, int32_t(20 + 40 * (n % 3))) << n;
    EXPECT_EQ(tiles[n]->GetPosition().y, int32_t(10 + 40 * (n / 3))) << n;
    EXPECT_EQ(Angle(*window, tiles[n]->GetId().c_str()), float(90 * tiles[n]->GetStatus()));
    EXPECT_EQ(Sprite(*window->GetSpriteWindow(), tiles[n]->GetId().c_str()).GetKind(), SpriteKindRotationTile);
  }
  Manager().PopModal();
  Frames(1);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
}

// A saved board keeps its places and turns. Clicks while the briefing shows turn nothing;
// a tile at 3 turns upright, and the turn that sets the last tile upright finishes the
// scene once; clicks after that turn nothing.
TEST_F(RotationTilesWindow, ClicksTurnTilesUntilAllStandUpright) {
  CRotationTilesGame& game = MakeSavedGame({3, 0, 2});
  TRotationTilesWindow* window = Open();
  EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition("saved_1").y, 120) << "turned about its centre";
  EXPECT_EQ(Angle(*window, "saved_2"), 180.0f);

  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  ClickSaved(0);
  EXPECT_EQ(game.GetTiles()[0]->GetStatus(), 3);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);

  ClickSaved(0);
  EXPECT_EQ(game.GetTiles()[0]->GetStatus(), 0);
  EXPECT_EQ(Angle(*window, "saved_0"), 0.0f);
  ClickSaved(2);
  EXPECT_FALSE(window->IsWon());
  EXPECT_EQ(WentOn(), 0);
  ClickSaved(2);
  EXPECT_TRUE(window->IsWon());
  EXPECT_EQ(WentOn(), 1);
  ClickSaved(1);
  EXPECT_EQ(game.GetTiles()[1]->GetStatus(), 0);
  EXPECT_EQ(WentOn(), 1);
}

// A board that is solved when the window opens is not finished by the window; a click
// turns a tile away from upright.
TEST_F(RotationTilesWindow, ASolvedBoardWaitsForAClick) {
  CRotationTilesGame& game = MakeSavedGame({0, 0});
  TRotationTilesWindow* window = Open();
  Frames(4);
  EXPECT_TRUE(window->IsWon());
  EXPECT_EQ(WentOn(), 0);
  ClickSaved(1);
  EXPECT_EQ(game.GetTiles()[1]->GetStatus(), 1);
  EXPECT_EQ(Angle(*window, "saved_1"), 90.0f);
  EXPECT_EQ(WentOn(), 0);
}

// Regression: a new board of no tiles (a count of 0 or below) measured the image of a first
// tile that did not exist and divided by a row length of 0. The board now stays empty, the
// buttons still work.
TEST_F(RotationTilesWindow, ABoardWithoutTilesStaysEmpty) {
  for (int32_t count : {0, -3}) {
    SCOPED_TRACE(count);
    mFlow.calls.clear();
    GiveButtons();
    CRotationTilesGame& game = MakeGame(count, 190310 + count);
    TRotationTilesWindow* window = Open();
    EXPECT_TRUE(game.GetTiles().empty());
    EXPECT_EQ(window->GetSpriteWindow()->GetSpriteCount(), 0);
    Click(SkipX, SkipY);
    EXPECT_EQ(WentOn(), 1);
    Manager().PopModal();
    Frames(1);
  }
}

}  // namespace
