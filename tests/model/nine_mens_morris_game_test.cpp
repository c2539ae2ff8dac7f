#include "model/nine_mens_morris_game.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

// Four points in a ring, each line listed at both ends. Pieces 1 and 2 stand on points 0 and
// 1 and must reach points 2 and 3.
const char* const RingBoard = R"(MakeGame{ MakeLevel{ MakeNineMensMorrisGame{ seqId = 1, filepath = "stones/s",
    {
      { xPos = 0, yPos = 0, statusStart = 1, statusEnd = 0, { 1, 3 } },
      { xPos = 100, yPos = 0, statusStart = 2, statusEnd = 0, { 0, 2 } },
      { xPos = 100, yPos = 100, statusStart = 0, statusEnd = 1, { 1, 3 } },
      { xPos = 0, yPos = 100, statusStart = 0, statusEnd = 2, { 2, 0 } },
    } } } })";

class TMorrisTest : public TModelTextTest {
 protected:
  CNineMensMorrisGame& Morris() { return FirstScene<CNineMensMorrisGame>(30); }
  std::vector<int32_t> Statuses() {
    std::vector<int32_t> statuses;
    for (int32_t i = 0; i < Morris().GetFieldCount(); ++i) statuses.push_back(Morris().GetFieldStatus(i));
    return statuses;
  }
};

TEST_F(TMorrisTest, PlaysFromARecordToAWinAndKeepsItsProgress) {
  Run(RingBoard);
  CNineMensMorrisGame& game = Morris();
  EXPECT_EQ(game.GetFilepath().ToStd(), "stones/s");
  game.BuildFields();
  ASSERT_EQ(game.GetFieldCount(), 4);
  EXPECT_EQ(game.GetField(2)->GetPosition().x, 100);
  EXPECT_FALSE(game.HasAtMostOneEmpty());
  EXPECT_EQ(game.FindFirstEmpty(), 2);
  EXPECT_FALSE(game.IsWon());
  // Refused: from an empty point, onto a piece, along no line.
  EXPECT_FALSE(game.MovePiece(2, 3));
  EXPECT_FALSE(game.MovePiece(0, 1));
  EXPECT_FALSE(game.MovePiece(0, 2));
  EXPECT_TRUE(game.MovePiece(0, 3));
  EXPECT_TRUE(game.MovePiece(3, 2));
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 2, 1, 0}));
  // A piece on a point that expects none is not home.
  EXPECT_FALSE(game.IsWon());

  // Saved half way: the board comes back as it was left.
  std::string text = Save();
  EXPECT_NE(text.find("\t{xPos = 100, yPos = 100, statusStart = 1, statusEnd = 1, {1, 3}},\n"), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
  CNineMensMorrisGame& loaded = Morris();
  loaded.BuildFields();
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 2, 1, 0}));
  EXPECT_TRUE(loaded.MovePiece(1, 0));
  EXPECT_FALSE(loaded.HasAtMostOneEmpty());
  EXPECT_TRUE(loaded.MovePiece(0, 3));
  EXPECT_TRUE(loaded.IsWon());

  // Laid out again without a reload, the board starts from the statuses last loaded.
  loaded.BuildFields();
  EXPECT_EQ(Statuses(), (std::vector<int32_t>{0, 2, 1, 0}));
}

// Regression: a point lacking a key appended to only some of the four lists, and neighbour
// indices that name no point reached the point objects unchecked.
TEST_F(TMorrisTest, PointsKeepTheirListsInStepAndNameOnlyPoints) {
  Run(R"(MakeGame{ MakeLevel{ MakeNineMensMorrisGame{ seqId = 1,
      {
        { xPos = 5, statusEnd = 1, { 1, 7, -1 } },
        { statusStart = 1, yPos = 9, "ignored", { 0 } },
        "not a point",
        { xPos = 20, statusStart = 3 },
      } } } })");
  CNineMensMorrisGame& game = Morris();
  ASSERT_EQ(game.GetNeighbourListCount(), 3);
  const struct {
    int32_t x, y, start, end, neighbours;
  } points[] = {{5, 0, 0, 1, 3}, {5, 9, 1, 0, 1}, {20, 9, 3, 0, 0}};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(game.GetFieldPosition(i).x, points[i].x) << i;
    EXPECT_EQ(game.GetFieldPosition(i).y, points[i].y) << i;
    EXPECT_EQ(game.GetStatusStart(i), points[i].start) << i;
    EXPECT_EQ(game.GetStatusEnd(i), points[i].end) << i;
    EXPECT_EQ(game.GetNeighbourCount(i), points[i].neighbours) << i;
  }
  EXPECT_EQ(game.GetNeighbour(0, 2), -1);
  EXPECT_EQ(game.GetNeighbour(7, 0), -1);

  game.BuildFields();
  ASSERT_EQ(game.GetFieldCount(), 3);
  EXPECT_EQ(game.GetField(0)->GetNeighbourCount(), 1);
  EXPECT_NE(ReadLog().find("point 0 names the neighbour 7, which is no point of the 3"), std::string::npos);
  // Every index outside the board is refused, also one a neighbour list held.
  EXPECT_FALSE(game.MovePiece(1, -1));
  EXPECT_FALSE(game.MovePiece(0, 7));
  EXPECT_FALSE(game.IsMoveTargetFree(-1, 99));
  game.ExchangeFieldStatus(2, 99);
  EXPECT_EQ(game.GetFieldStatus(2), 3);
  EXPECT_EQ(game.GetFieldStatus(99), 0);
  EXPECT_EQ(game.GetField(99), nullptr);
  // A full board in single-gap play: the second point of every move is -1.
  EXPECT_TRUE(game.MovePiece(1, 0));
  game.GetField(1)->SetStatus(2);
  EXPECT_EQ(game.FindFirstEmpty(), -1);
  EXPECT_TRUE(game.HasAtMostOneEmpty());
  EXPECT_FALSE(game.MovePiece(0, game.FindFirstEmpty()));

  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Save(), text);
}

TEST_F(TMorrisTest, DirectListsOfUnequalLength) {
  CNineMensMorrisGame game;
  EXPECT_TRUE(game.IsWon());
  game.AddFieldNeighbours({1});
  game.AddFieldNeighbours({0});
  game.AddFieldStatusStart(4);
  game.BuildFields();
  ASSERT_EQ(game.GetFieldCount(), 2);
  EXPECT_EQ(game.GetFieldStatus(1), 0);
  EXPECT_EQ(game.GetField(1)->GetPosition().x, 0);
  EXPECT_TRUE(game.MovePiece(0, 1));
  EXPECT_FALSE(game.IsWon());
  game.RemoveLastField();
  game.RemoveLastField();
  game.RemoveLastField();
  EXPECT_EQ(game.GetFieldCount(), 0);
}

}  // namespace
