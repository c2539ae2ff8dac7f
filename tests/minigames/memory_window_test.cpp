// The memory window: cards dealt and laid out face down, a turn of two cards shown for the
// model's time and then covered again or taken off the board, the win on the last pair,
// and a board reopened with cells already empty.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "graphics/sprites/sprite.h"
#include "mini_game_test_util.h"
#include "minigames/memory_window.h"
#include "model/highscore_system.h"
#include "model/memory_game.h"
#include "scenes/sprite_window.h"

namespace {

// Cards of 40 x 30 (faces "pics/face_" + the pair id, the back "pics/back"), 10 pixels
// apart from (10, 10).
class MemoryWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("MemoryGameWindow", &TMemoryWindow::Create);
    Solid("pics/back.png", 40, 30, 0xFF203040);
    for (const char* pair : {"cat", "dog", "owl", "fox"})
      Solid((std::string("pics/face_") + pair + ".png").c_str(), 40, 30, 0xFF806040);
  }
  CMemoryGame& MakeGame(int pairs) {
    auto game = std::make_unique<CMemoryGame>();
    game->SetStartPositionCards(10, 10);
    game->SetCardBackside("pics/back");
    const char* names[] = {"cat", "dog", "owl", "fox"};
    for (int i = 0; i < pairs; i++) {
      auto first = std::make_unique<CMemoryPiece>(), second = std::make_unique<CMemoryPiece>();
      first->SetId(TString(names[i]) + "A");
      second->SetId(TString(names[i]) + "B");
      first->SetImage(TString("pics/face_") + names[i]);
      second->SetImage(first->GetImage());
      game->AddPair(std::move(first), std::move(second));
    }
    mGame = game.get();
    return MakeCurrent(std::move(game), 190401);
  }
  TMemoryWindow* Open() {
    auto* window = WindowCast<TMemoryWindow>(OpenScene("MemoryGameWindow"));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  // A click on the centre of grid cell k.
  void ClickCell(size_t k) {
    auto columns = size_t(std::max(mGame->GetGridColumns(), 1));
    Click(int32_t(30 + 50 * (k % columns)), int32_t(25 + 40 * (k / columns)));
  }
  // The cell of the card with that id.
  static size_t CellOf(CMemoryGame& game, const TString& id) {
    std::vector<CMemoryPiece*> grid = game.GetCardGrid();
    for (size_t k = 0; k < grid.size(); k++)
      if (grid[k] && grid[k]->GetId() == id) return k;
    ADD_FAILURE() << id.c_str();
    return 0;
  }
  CMemoryGame* mGame = nullptr;  // the game's
  static bool Drawn(TMemoryWindow& window, const TString& name) {
    std::shared_ptr<TSprite> sprite = Sprite(*window.GetSpriteWindow(), name.c_str()).GetCurrentSprite();
    return sprite && sprite->GetParent() == window.GetSpriteWindow()->GetRootSprite().get();
  }
};

// Four pairs lie face down in rows of three, 50 and 40 pixels apart: each back drawn and
// clickable, each face listed and not drawn.
TEST_F(MemoryWindow, CardsAreDealtFaceDownIntoTheGrid) {
  CMemoryGame& game = MakeGame(4);
  TMemoryWindow* window = Open();
  std::vector<CMemoryPiece*> grid = game.GetCardGrid();
  ASSERT_EQ(grid.size(), 8u);
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  for (size_t k = 0; k < grid.size(); k++) {
    const TString& id = grid[k]->GetId();
    EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition(id), TPoint(int32_t(10 + 50 * (k % 3)), int32_t(10 + 40 * (k / 3))))
        << k;
    EXPECT_FALSE(Drawn(*window, id));
    EXPECT_TRUE(Drawn(*window, id + "_backside"));
    EXPECT_TRUE(Sprite(*window->GetSpriteWindow(), (id + "_backside").c_str()).IsClickable());
  }
}

// A wrong pair stays shown for the model's time, while clicks on cards wait, and is
// covered again; a right pair leaves the board; the last pair finishes the scene once.
TEST_F(MemoryWindow, PairsLeaveWrongPairsAreCoveredAndTheLastPairWins) {
  CMemoryGame& game = MakeGame(2);
  game.SetTimeTwoCardsUncoveredShown(100);
  TMemoryWindow* window = Open();
  size_t cat = CellOf(game, "catA"), cat2 = CellOf(game, "catB"), dog = CellOf(game, "dogA"), dog2 = CellOf(game, "dogB");

  ClickCell(cat);
  EXPECT_TRUE(Drawn(*window, "catA"));
  EXPECT_FALSE(Drawn(*window, "catA_backside"));
  ClickCell(cat);
  EXPECT_FALSE(window->IsWaiting()) << "an uncovered card is not clicked again";
  ClickCell(dog);
  EXPECT_TRUE(window->IsWaiting());
  ClickCell(cat2);
  EXPECT_FALSE(Drawn(*window, "catB")) << "clicks wait while two cards are shown";
  ASSERT_TRUE(FramesUntil([&] { return !window->IsWaiting(); }, 40));
  EXPECT_FALSE(Drawn(*window, "catA"));
  EXPECT_TRUE(Drawn(*window, "dogA_backside"));
  EXPECT_TRUE(Sprite(*window->GetSpriteWindow(), "dogA_backside").IsClickable());
  FramesUntil([&] { return !window->IsInputBlocked(); }, 40);

  ClickCell(cat);
  ClickCell(cat2);
  ASSERT_TRUE(FramesUntil([&] { return !window->IsWaiting(); }, 40));
  EXPECT_FALSE(HasSprite(*window->GetSpriteWindow(), "catA"));
  EXPECT_FALSE(HasSprite(*window->GetSpriteWindow(), "catB_backside"));
  EXPECT_EQ(game.GetCardGrid()[cat], nullptr);
  EXPECT_EQ(WentOn(), 0);
  FramesUntil([&] { return !window->IsInputBlocked(); }, 40);

  ClickCell(dog2);
  ClickCell(dog);
  ASSERT_TRUE(FramesUntil([&] { return WentOn() > 0; }, 40));
  EXPECT_TRUE(window->IsWon());
  Frames(10);
  EXPECT_EQ(WentOn(), 1);
}

// Regression: a board reopened with its first cells empty laid its cards out with a pitch
// of 0 until the first card was made, piling them onto the first cells. They keep their
// cells.
TEST_F(MemoryWindow, ABoardReopenedWithItsFirstCellsEmptyKeepsItsPitch) {
  CMemoryGame& game = MakeGame(4);
  game.DealCards();
  TString first = game.GetCardGrid()[0]->GetId();
  TString partner = first.Substr(0, int32_t(first.Length() - 1)) + (first.CharAt(first.Length() - 1) == 'A' ? "B" : "A");
  game.RemoveCard(first);
  game.RemoveCard(partner);
  TMemoryWindow* window = Open();
  std::vector<CMemoryPiece*> grid = game.GetCardGrid();
  for (size_t k = 1; k < grid.size(); k++) {
    if (!grid[k]) continue;
    EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition(grid[k]->GetId()),
              TPoint(int32_t(10 + 50 * (k % 3)), int32_t(10 + 40 * (k / 3))))
        << k;
  }
  EXPECT_EQ(window->GetSpriteWindow()->GetSpriteCount(), 12);
}

}  // namespace
