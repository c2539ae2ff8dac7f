// The morris window: the board laid out as one sprite per point, moves in single-gap mode
// (one click on a piece) and in select mode (a piece, then its target), refused moves, the
// win, and neighbours that name no point.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mini_game_test_util.h"
#include "minigames/nine_mens_morris_window.h"
#include "model/global_information_system.h"
#include "model/nine_mens_morris_game.h"
#include "scenes/sprite_window.h"

namespace {

struct TPoint3 {
  int32_t start, end;
  std::vector<int32_t> neighbours;
};

// Points of 30 x 30 in a row, 50 pixels apart from (10, 10); "st/s0" is the empty point,
// "st/s1" and "st/s2" the pieces, "st/s1a" and "st/s2a" the selected ones.
class MorrisWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("NineMensMorrisWindow", &TNineMensMorrisWindow::Create);
    for (const char* image : {"st/s0.png", "st/s1.png", "st/s2.png", "st/s1a.png", "st/s2a.png"})
      Solid(image, 30, 30, 0xFF806040);
    GiveWinAndLoseSounds();
  }
  CNineMensMorrisGame& MakeGame(const std::vector<TPoint3>& points) {
    auto game = std::make_unique<CNineMensMorrisGame>();
    game->SetFilepath("st/s");
    for (size_t i = 0; i < points.size(); i++) {
      game->AddFieldPosition(10 + 50 * int32_t(i), 10);
      game->AddFieldStatusStart(points[i].start);
      game->AddFieldStatusEnd(points[i].end);
      game->AddFieldNeighbours(points[i].neighbours);
    }
    return MakeCurrent(std::move(game), 290401);
  }
  TNineMensMorrisWindow* Open() {
    mWindow = WindowCast<TNineMensMorrisWindow>(OpenScene("NineMensMorrisWindow"));
    EXPECT_NE(mWindow, nullptr);
    Frames(1);
    return mWindow;
  }
  void ClickPoint(int32_t i) { Click(25 + 50 * i, 25); }
  std::vector<int32_t> Statuses() const {
    std::vector<int32_t> statuses;
    const CNineMensMorrisGame& game = *mWindow->GetGame();
    for (int32_t i = 0; i < game.GetFieldCount(); i++) statuses.push_back(game.GetFieldStatus(i));
    return statuses;
  }
  bool PointShows(int32_t i, const char* image) {
    return Shows(Sprite(*mWindow->GetSpriteWindow(), std::to_string(i).c_str()), image);
  }
  size_t Lost() { return Playing(*mWindow, "lose"); }
  TNineMensMorrisWindow* mWindow = nullptr;
};

// A row 0 - 1 - 2 with one empty point: a click on a piece joined to the gap moves it there,
// one on a piece that is not plays "lose", one on the gap does nothing. The move that brings
// every piece home plays "win" and goes on.
TEST_F(MorrisWindow, SingleGapMovesAPieceIntoTheGap) {
  MakeGame({{1, 0, {1}}, {2, 1, {0, 2}}, {0, 2, {1}}});
  Open();
  EXPECT_TRUE(mWindow->IsSingleGap());
  EXPECT_TRUE(PointShows(0, "st/s1"));
  EXPECT_TRUE(Sprite(*mWindow->GetSpriteWindow(), "2").IsClickable());
  EXPECT_EQ(Sprite(*mWindow->GetSpriteWindow(), "2").GetKind(), SpriteKindMorrisPoint);

  ClickPoint(0);
  EXPECT_EQ(Lost(), 1u);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{1, 2, 0}));
  ClickPoint(2);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{1, 2, 0}));
  ClickPoint(1);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{1, 0, 2}));
  EXPECT_TRUE(PointShows(1, "st/s0"));
  EXPECT_TRUE(PointShows(2, "st/s2"));
  EXPECT_EQ(WentOn(), 0);
  ClickPoint(0);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_TRUE(mWindow->IsWon());
  EXPECT_EQ(Playing(*mWindow, "win"), 1u);
  EXPECT_EQ(WentOn(), 1);
}

// Two empty points: the first click selects a piece (its "a" image), the second names the
// target. A joined empty target takes the piece; a target that holds a piece plays "lose"
// and only deselects. A click on an empty point with nothing selected does nothing.
TEST_F(MorrisWindow, SelectModeTakesAPieceAndThenItsTarget) {
  MakeGame({{1, 0, {1}}, {0, 0, {0, 2, 3}}, {0, 1, {1}}, {2, 2, {1}}});
  Open();
  EXPECT_FALSE(mWindow->IsSingleGap());
  ClickPoint(2);
  EXPECT_TRUE(mWindow->GetSelection().empty());
  ClickPoint(0);
  EXPECT_TRUE(PointShows(0, "st/s1a"));
  ClickPoint(1);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 1, 0, 2}));
  EXPECT_TRUE(PointShows(0, "st/s0"));
  EXPECT_TRUE(PointShows(1, "st/s1"));
  EXPECT_EQ(Lost(), 0u);

  ClickPoint(1);
  ClickPoint(3);
  EXPECT_EQ(Lost(), 1u);
  EXPECT_TRUE(PointShows(1, "st/s1"));
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 1, 0, 2}));
  ClickPoint(1);
  ClickPoint(2);
  EXPECT_EQ(WentOn(), 1);
}

// Clicks while the briefing shows change nothing; a full board in single-gap play refuses
// every move (the gap is -1, which no point is joined to).
TEST_F(MorrisWindow, BriefingAndAFullBoardMoveNothing) {
  MakeGame({{1, 2, {1}}, {2, 1, {0}}});
  Open();
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  ClickPoint(0);
  EXPECT_EQ(Lost(), 0u);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  EXPECT_TRUE(mWindow->IsSingleGap());
  ClickPoint(0);
  EXPECT_EQ(Lost(), 1u);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{1, 2}));
}

// Regression: lists of unequal length were read past their ends, and a neighbour index that
// names no point reached the board unchecked. The board has a point per neighbour list, the
// missing entries 0, and a move towards a point that does not exist is refused.
TEST_F(MorrisWindow, BoardsFromUnevenListsPlaySafely) {
  CNineMensMorrisGame& game = MakeGame({{1, 1, {1, 7, -1}}, {0, 0, {0}}});
  game.AddFieldNeighbours({0, 9});
  Open();
  ASSERT_EQ(game.GetFieldCount(), 3);
  EXPECT_TRUE(PointShows(2, "st/s0"));
  EXPECT_FALSE(mWindow->IsSingleGap());
  EXPECT_EQ(game.GetField(0)->GetNeighbourCount(), 1);
  // The third point, without a position, lies at the origin over a corner of the first.
  Click(37, 37);
  ClickPoint(1);
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 1, 0}));
}

}  // namespace
