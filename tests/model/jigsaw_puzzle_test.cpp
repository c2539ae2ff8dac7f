#include "model/jigsaw_puzzle.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

// Three pieces in a row of the picture, scattered on the board.
const char* const RowOfThree = R"(MakeGame{ MakeLevel{ MakeJigsawPuzzle{ seqId = 1,
    offsetX = 300, offsetY = 200, delta = 10,
    MakeJigsawPiece{ id = 1, image = "jigsaw/1", startPosX = 10, startPosY = 600, endPosX = 0, endPosY = 0, {2} },
    MakeJigsawPiece{ id = 2, image = "jigsaw/2", startPosX = 500, startPosY = 600, endPosX = 100, {1, 3} },
    MakeJigsawPiece{ id = 3, image = "jigsaw/3", startPosX = 800, startPosY = 50, endPosX = 200, {2} } } } })";

class TJigsawTest : public TModelTextTest {
 protected:
  CJigsawPuzzle& Puzzle() { return FirstScene<CJigsawPuzzle>(6); }
  CJigsawPuzzle& Load(const std::string& fields) {
    RunOneScene("MakeJigsawPuzzle", fields);
    return Puzzle();
  }
  static std::string Place(CJigsawPuzzle& puzzle, uint32_t number) {
    const CJigsawPiece* piece = puzzle.FindPiece(CJigsawPuzzle::PieceName(number));
    if (!piece) return "none";
    return std::to_string(piece->GetPosX()) + "," + std::to_string(piece->GetPosY()) +
           (piece->IsMovable() ? "" : " fixed");
  }
  static TString Name(uint32_t number) { return CJigsawPuzzle::PieceName(number); }
};

TEST_F(TJigsawTest, PlaysFromARecordToAWinAndKeepsItsPlaces) {
  Run(RowOfThree);
  CJigsawPuzzle& puzzle = Puzzle();
  EXPECT_EQ(puzzle.GetPieceCount(), 3u);
  EXPECT_EQ(puzzle.GetGroupCount(), 3u);
  EXPECT_EQ(puzzle.FindPiece(Name(2))->GetNeighbour(1).ToStd(), "jigsawPiece3");
  EXPECT_EQ(Place(puzzle, 1), "10,600");

  puzzle.MoveGroup(Name(2), 400, 300);
  puzzle.DropPiece(Name(1), 303, 298);
  EXPECT_EQ(puzzle.GetGroupCount(), 2u);
  EXPECT_EQ(Place(puzzle, 2), "403,298");
  puzzle.DropPiece(Name(3), 505, 296);
  EXPECT_EQ(puzzle.GetGroupCount(), 1u);
  EXPECT_EQ(Place(puzzle, 1), "305,296");
  puzzle.SelectGroupOf(Name(1));
  std::string members;
  while (puzzle.HasMoreGroupMembers()) members += puzzle.GetNextGroupMember().ToStd() + " ";
  EXPECT_EQ(members, "jigsawPiece3 jigsawPiece1 jigsawPiece2 ");

  // Saved and loaded: the places stay, the groups come apart.
  std::string text = Save();
  Reload(text);
  EXPECT_EQ(Save(), text);
  CJigsawPuzzle& loaded = Puzzle();
  EXPECT_EQ(loaded.GetGroupCount(), 3u);
  EXPECT_EQ(Place(loaded, 2), "405,296");

  // A drop hooks the dropped group's own neighbours only: 3 joins on the next drop.
  loaded.DropPiece(Name(1), 305, 296);
  EXPECT_EQ(loaded.GetGroupCount(), 2u);
  loaded.DropPiece(Name(2), 406, 297);
  EXPECT_EQ(loaded.GetGroupCount(), 1u);
  EXPECT_EQ(Place(loaded, 3), "506,297");
  EXPECT_FALSE(loaded.IsWon());

  loaded.MoveGroup(Name(2), 402, 205);
  EXPECT_EQ(Place(loaded, 1), "302,205");
  loaded.DropPiece(Name(2), 402, 205);
  EXPECT_EQ(Place(loaded, 1), "300,200 fixed");
  EXPECT_EQ(Place(loaded, 3), "500,200 fixed");
  EXPECT_TRUE(loaded.IsWon());
  loaded.MoveGroup(Name(1), 0, 0);
  EXPECT_EQ(Place(loaded, 1), "300,200 fixed");
}

TEST_F(TJigsawTest, NeighboursHookWithinDelta) {
  const struct {
    int32_t ax, ay, bx, by, delta;
    bool hooks;
  } cases[] = {
      {500, 300, 597, 304, 10, true},
      {489, 300, 600, 300, 10, false},
      {500, 300, 600, 310, 10, false},
      {500, 300, 600, 300, 0, false},
  };
  for (const auto& c : cases) {
    CJigsawPuzzle& puzzle = Load("stickOnBackground = 'false', delta = " + std::to_string(c.delta) +
                                 ", MakeJigsawPiece{ id = 1, {2} }, MakeJigsawPiece{ id = 2, endPosX = 100 }");
    puzzle.MoveGroup(Name(2), c.bx, c.by);
    puzzle.DropPiece(Name(1), c.ax, c.ay);
    EXPECT_EQ(puzzle.GetGroupCount(), c.hooks ? 1u : 2u) << c.ax << "," << c.ay << " " << c.bx << "," << c.by;
  }
}

TEST_F(TJigsawTest, WonByGroupsOnlyWhenPiecesHook) {
  const char* const pieces = "MakeJigsawPiece{ id = 1, {2} }, MakeJigsawPiece{ id = 2, endPosX = 100 }, "
                             "MakeJigsawPiece{ id = 3, endPosX = 200 }";
  CJigsawPuzzle& hooking = Load(std::string("stickOnBackground = 'false', numberOfGroupsToWin = 2, ") + pieces);
  EXPECT_FALSE(hooking.IsWon());
  hooking.DropPiece(Name(2), 100, 0);
  hooking.DropPiece(Name(1), 0, 0);
  EXPECT_TRUE(hooking.IsWon());

  CJigsawPuzzle& neither = Load(std::string("stickOnBackground = 'false', hookPieces = 'false', ") + pieces);
  neither.DropPiece(Name(2), 100, 0);
  EXPECT_FALSE(neither.IsWon());
}

// Regressions: a second piece of an id replaced the first in the piece map while a second
// group of that name was made, and a neighbour name without a piece was followed on a drop.
TEST_F(TJigsawTest, DuplicateIdsAndMissingNeighboursAreLeftOut) {
  CJigsawPuzzle& puzzle = Load(R"(
      MakeJigsawPiece{ id = 12, image = "first", startPosX = 5, {77, 2} },
      MakeJigsawPiece{ id = 12, image = "second", startPosX = 9 },
      MakeJigsawPiece{ id = 2, endPosX = 100, startPosX = 101 },
      MakeJigsawPiece{ id = 10 })");
  EXPECT_EQ(puzzle.GetPieceCount(), 3u);
  EXPECT_EQ(puzzle.GetGroupCount(), 3u);
  EXPECT_EQ(puzzle.FindPiece(Name(12))->GetImage().ToStd(), "first");
  EXPECT_EQ(puzzle.FindGroup(Name(77)), -1);
  EXPECT_NE(ReadLog().find("piece 12 is given twice"), std::string::npos);
  puzzle.DropPiece(Name(12), 0, 0);
  EXPECT_EQ(puzzle.GetGroupCount(), 2u);

  // Pieces are written in name order, each with its number as id.
  std::string text = Save();
  size_t ten = text.find("\tid = 10,"), twelve = text.find("\tid = 12,"), two = text.find("\tid = 2,");
  ASSERT_NE(two, std::string::npos);
  EXPECT_LT(ten, twelve);
  EXPECT_LT(twelve, two);
  EXPECT_NE(text.find("\t{77, 2}\n"), std::string::npos);
}

}  // namespace
