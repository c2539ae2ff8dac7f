#include "model/labyrinth_game.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

using TMove = CLabyrinthGame::TMove;

// A board of 3 x 3 boxes; the tile must leave through the opening right of row 2, and a
// movable block stands in its way.
const char* const SmallLabyrinth = R"(MakeGame{ MakeLevel{ MakeLabyrinthGame{ seqId = 1,
    countBoxesXDirection = 3, countBoxesYDirection = 3, lengthOneBox = 10, wonSound = "won",
    MakeLabyrinthStartEndPosition{ id = "exit", boxX = 4, boxY = 2 },
    MakeLabyrinthStartEndPosition{ id = "start", boxX = 0, boxY = 1 },
    MakeLabyrinthTile{ id = "t", path = "lab/tile", boxX = 1, boxY = 2, endPosId = "exit" },
    MakeLabyrinthField{ id = "b", path = "lab/block", boxX = 2, boxY = 2, moveable = "true" },
    MakeLabyrinthField{ id = "f", path = "lab/wall", boxX = 3, boxY = 1, moveable = "false" } } } })";

class TLabyrinthTest : public TModelTextTest {
 protected:
  // The board as the window sets it up: built, then each block's cells taken.
  CLabyrinthGame& SetUpBoard(bool reload) {
    if (!reload) Run(SmallLabyrinth);
    CLabyrinthGame& game = FirstScene<CLabyrinthGame>(44);
    game.BuildBoard();
    for (CLabyrinthField* block : game.GetFields()) game.OccupyField(*block);
    return game;
  }
};

TEST_F(TLabyrinthTest, PlaysFromARecordToAWinAndKeepsItsProgress) {
  CLabyrinthGame& game = SetUpBoard(false);
  CLabyrinthField& tile = *game.GetTileById("t");
  CLabyrinthField& block = *game.GetFieldById("b");
  EXPECT_FALSE(game.IsWon());
  EXPECT_TRUE(game.HasRightExit(1));
  EXPECT_TRUE(game.HasLeftExit(0));
  EXPECT_FALSE(game.MoveTile(tile, TMove::MoveRight));
  EXPECT_FALSE(game.MoveField(*game.GetFieldById("f"), TMove::MoveDown));
  // A tile passes an opening; a block never leaves the playing area.
  EXPECT_TRUE(game.MoveTile(tile, TMove::MoveUp));
  EXPECT_TRUE(game.MoveTile(tile, TMove::MoveLeft));
  EXPECT_EQ(tile.GetBoxX(), 0);
  EXPECT_TRUE(game.MoveTile(tile, TMove::MoveRight));
  EXPECT_TRUE(game.MoveTile(tile, TMove::MoveDown));
  EXPECT_TRUE(game.MoveField(block, TMove::MoveUp));
  EXPECT_FALSE(game.MoveField(block, TMove::MoveUp));
  EXPECT_FALSE(game.MoveField(block, TMove::MoveRight));
  EXPECT_TRUE(game.MoveTile(tile, TMove::MoveRight));

  // Half way, saved and loaded: the pieces where they were, the board built around them.
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Save(), text);
  CLabyrinthGame& loaded = SetUpBoard(true);
  CLabyrinthField& again = *loaded.GetTileById("t");
  EXPECT_EQ(again.GetBoxX(), 2);
  EXPECT_EQ(loaded.GetFieldById("b")->GetBoxY(), 1);
  EXPECT_FALSE(loaded.GetFieldById("f")->IsMoveable());
  EXPECT_FALSE(loaded.IsCellFree(2, 1));
  EXPECT_FALSE(loaded.MoveTile(again, TMove::MoveUp));
  EXPECT_TRUE(loaded.MoveTile(again, TMove::MoveRight));
  EXPECT_FALSE(loaded.IsWon());
  EXPECT_TRUE(loaded.MoveTile(again, TMove::MoveRight));
  EXPECT_TRUE(loaded.IsWon());
  EXPECT_FALSE(loaded.MoveTile(again, TMove::MoveRight));
}

// Regression: positions in a corner of the border ring or beyond it, and pieces off the
// grid, indexed the opening lists and the cells out of bounds.
TEST_F(TLabyrinthTest, PlacesOffTheRingOpenNothing) {
  Run(R"(MakeGame{ MakeLevel{ MakeLabyrinthGame{ seqId = 1, countBoxesXDirection = 3, countBoxesYDirection = 3,
      MakeLabyrinthStartEndPosition{ id = "corner", boxX = 0, boxY = 0 },
      MakeLabyrinthStartEndPosition{ id = "far corner", boxX = 4, boxY = 4 },
      MakeLabyrinthStartEndPosition{ id = "left of the ring", boxX = -1, boxY = 2 },
      MakeLabyrinthStartEndPosition{ id = "beyond", boxX = 9, boxY = 9 },
      MakeLabyrinthStartEndPosition{ id = "inside", boxX = 2, boxY = 2 },
      MakeLabyrinthStartEndPosition{ id = "top", boxX = 2, boxY = 0 },
      MakeLabyrinthTile{ id = "lost", boxX = 50, boxY = -7, endPosId = "top" },
      MakeLabyrinthField{ id = "wide", boxX = 2147483647, boxY = 3, moveable = "true" } } } })");
  auto& game = *static_cast<CLabyrinthGame*>(Game().FindScene(1));
  game.BuildBoard();
  CLabyrinthField& wide = *game.GetFieldById("wide");
  wide.SetBoxWidth(2147483647);
  game.OccupyField(wide);
  for (int32_t i = -1; i <= 3; ++i) {
    EXPECT_EQ(game.HasLeftExit(i), false) << i;
    EXPECT_EQ(game.HasBottomExit(i), false) << i;
    EXPECT_EQ(game.HasTopExit(i), i == 1) << i;
  }
  EXPECT_FALSE(game.IsCellFree(0, 0));
  EXPECT_FALSE(game.IsCellFree(4, 4));
  EXPECT_TRUE(game.IsCellFree(2, 2));
  EXPECT_TRUE(game.IsCellFree(2, 0));
  EXPECT_FALSE(game.IsCellFree(-1, 2));
  game.SetCellFree(9, 9, true);
  EXPECT_FALSE(game.IsCellFree(9, 9));
  EXPECT_FALSE(game.MoveTile(*game.GetTileById("lost"), TMove::MoveDown));
  EXPECT_FALSE(game.MoveField(wide, TMove::MoveLeft));
  EXPECT_FALSE(game.IsWon());
  std::string log = ReadLog();
  EXPECT_NE(log.find("position \"corner\" at (0, 0) is a corner of the border or beyond it"), std::string::npos);
  EXPECT_NE(log.find("position \"beyond\" at (9, 9)"), std::string::npos);
  EXPECT_EQ(log.find("position \"inside\""), std::string::npos);
  EXPECT_NE(log.find("tile \"lost\" at (50, -7) lies outside the board"), std::string::npos);
}

// Regression: a position without one of its keys appended only to the other lists, which
// then paired the next position's values with this one's.
TEST_F(TLabyrinthTest, PositionsKeepTheirListsInStep) {
  Run(R"(MakeGame{ MakeLevel{ MakeLabyrinthGame{ seqId = 1,
      MakeLabyrinthStartEndPosition{ id = "a", boxX = 0 },
      MakeLabyrinthStartEndPosition{ boxX = 4, boxY = 1 },
      MakeLabyrinthStartEndPosition{ id = "c", boxX = 2, boxY = 0 } } } })");
  auto& game = *static_cast<CLabyrinthGame*>(Game().FindScene(1));
  ASSERT_EQ(game.GetStartEndPositionCount(), 3);
  const struct {
    const char* id;
    int32_t x, y;
  } positions[] = {{"a", 0, 0}, {"", 4, 1}, {"c", 2, 0}};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(game.GetStartEndPositionId(i).ToStd(), positions[i].id) << i;
    EXPECT_EQ(game.GetStartEndPositionBoxX(i), positions[i].x) << i;
    EXPECT_EQ(game.GetStartEndPositionBoxY(i), positions[i].y) << i;
  }
  // Lists fed one at a time count only the positions all three hold.
  game.AddStartEndPositionId("d");
  game.AddStartEndPositionBoxX(5);
  EXPECT_EQ(game.GetStartEndPositionCount(), 3);
  EXPECT_EQ(game.GetStartEndPositionId(3).ToStd(), "");
  EXPECT_TRUE(game.IsWon());
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Save(), text);
}

}  // namespace
