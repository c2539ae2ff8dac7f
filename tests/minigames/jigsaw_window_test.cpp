// The jigsaw window: pieces laid out in name order, a piece carried with its group and put
// down at the press less the grab offset, groups hooked and stuck to the background, the
// win, and the press that puts a piece down on the skip button.

#include <gtest/gtest.h>

#include "graphics/sprites/sprite.h"
#include "mini_game_test_util.h"
#include "minigames/jigsaw_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/jigsaw_puzzle.h"
#include "scenes/sprite_window.h"

namespace {

// Three pieces of 40 x 30 in a row of the picture (ends (0, 0), (40, 0), (80, 0)), each
// bordering the next; the picture lies at (100, 60); the pieces start at (10, 150),
// (150, 150) and (220, 100).
class JigsawWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("JigsawPuzzleWindow", &TJigsawPuzzleWindow::Create);
    Solid("jig/piece.png", 40, 30, 0xFF8060A0);
  }
  CJigsawPuzzle& MakePuzzle() {
    auto puzzle = std::make_unique<CJigsawPuzzle>();
    puzzle->SetOffsetX(100);
    puzzle->SetOffsetY(60);
    const int32_t starts[][2] = {{10, 150}, {150, 150}, {220, 100}};
    for (uint32_t n = 1; n <= 3; n++) {
      TString name = puzzle->AddPiece(n);
      CJigsawPiece* piece = puzzle->FindPiece(name);
      piece->SetImage("jig/piece");
      piece->SetStartPosX(starts[n - 1][0]);
      piece->SetStartPosY(starts[n - 1][1]);
      piece->SetEndPosX(int32_t(40 * (n - 1)));
      if (n > 1) puzzle->AddNeighbour(name, n - 1);
      if (n < 3) puzzle->AddNeighbour(name, n + 1);
    }
    return MakeCurrent(std::move(puzzle), 290501);
  }
  TJigsawPuzzleWindow* Open() {
    auto* window = WindowCast<TJigsawPuzzleWindow>(OpenScene("JigsawPuzzleWindow"));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  TPoint At(TJigsawPuzzleWindow& window, const char* name) { return window.GetSpriteWindow()->GetSpritePosition(name); }
  // Takes the piece up at (x, y), carries it to (toX, toY) and puts it down there.
  void Carry(int32_t x, int32_t y, int32_t toX, int32_t toY) {
    Click(x, y);
    MouseMove(toX, toY);
    Click(toX, toY);
  }
};

// The pieces stand at their places, later names in front. A piece taken up 12 right of
// and 8 below its corner follows the pointer at that offset and is put down with its
// corner 12 and 8 short of the press.
TEST_F(JigsawWindow, APieceIsPutDownAtThePressLessItsGrab) {
  MakePuzzle();
  TJigsawPuzzleWindow* window = Open();
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(At(*window, "jigsawPiece1"), TPoint(10, 150));
  EXPECT_EQ(At(*window, "jigsawPiece3"), TPoint(220, 100));
  EXPECT_EQ(Sprite(*window->GetSpriteWindow(), "jigsawPiece2").GetKind(), SpriteKindJigsawPiece);

  Click(162, 158);
  EXPECT_EQ(window->GetHeldPiece(), TString("jigsawPiece2"));
  EXPECT_EQ(window->GetCursorStyle(), 4);
  MouseMove(60, 40);
  EXPECT_EQ(At(*window, "jigsawPiece2"), TPoint(48, 32));
  Click(200, 120);
  EXPECT_TRUE(window->GetHeldPiece().IsEmpty());
  EXPECT_EQ(At(*window, "jigsawPiece2"), TPoint(188, 112));
  EXPECT_EQ(window->GetPuzzle()->GetGroupCount(), 3u);
}

// A piece dropped beside its neighbour where it belongs hooks to it, and the two then move
// as one; dropped near their place the group sticks there, fixed: the pointer over it is
// the plain one and a press takes nothing up. The last piece that sticks shows the bonus
// and finishes the scene once.
TEST_F(JigsawWindow, GroupsHookStickAndTheLastDropWins) {
  CJigsawPuzzle& puzzle = MakePuzzle();
  CHighscoreSystem::GetInstance()->SetMiniGameTaskCompleteBonus(300);
  TJigsawPuzzleWindow* window = Open();

  Carry(20, 160, 32, 30);  // piece 1 to (22, 20)
  Carry(160, 160, 73, 34);  // piece 2 to (63, 24): 41 right and 4 below piece 1, within 10
  EXPECT_EQ(puzzle.GetGroupCount(), 2u);
  EXPECT_EQ(At(*window, "jigsawPiece1"), TPoint(23, 24)) << "pulled into the picture's shape";

  Carry(30, 30, 112, 72);  // the group by piece 1 to (105, 66), 5 and 6 from its place
  EXPECT_EQ(At(*window, "jigsawPiece1"), TPoint(100, 60));
  EXPECT_EQ(At(*window, "jigsawPiece2"), TPoint(140, 60));
  EXPECT_FALSE(puzzle.FindPiece("jigsawPiece1")->IsMovable());
  MouseMove(150, 70);
  EXPECT_EQ(window->GetCursorStyle(), 2);
  Click(150, 70);
  EXPECT_TRUE(window->GetHeldPiece().IsEmpty());
  EXPECT_EQ(WentOn(), 0);

  Carry(230, 110, 193, 64);  // piece 3 to (183, 54), beside piece 2
  EXPECT_EQ(At(*window, "jigsawPiece3"), TPoint(180, 60));
  EXPECT_TRUE(window->IsWon());
  EXPECT_EQ(WentOn(), 1);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), 1u);
  Click(150, 70);
  Frames(4);
  EXPECT_EQ(WentOn(), 1);
}

// The press that puts a piece down on the skip button is the piece's: nothing is skipped;
// the next press there skips. While the briefing shows, presses take nothing up.
TEST_F(JigsawWindow, TheDroppingPressNeverReachesTheButtons) {
  GiveButtons();
  MakePuzzle();
  TJigsawPuzzleWindow* window = Open();
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Click(20, 160);
  EXPECT_TRUE(window->GetHeldPiece().IsEmpty());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);

  Click(20, 160);
  MouseMove(SkipX, SkipY);
  Click(SkipX, SkipY);
  EXPECT_EQ(At(*window, "jigsawPiece1"), TPoint(SkipX - 10, SkipY - 10));
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesSkipped(), 0u);
  EXPECT_EQ(WentOn(), 0);
  Click(SkipX - 25, SkipY);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesSkipped(), 1u);
  EXPECT_EQ(WentOn(), 1);
}

}  // namespace
