// The labyrinth window: the pieces laid out from the model, drags of one box at a time with
// the pointer hidden and pinned, the openings, the win at the end of a drag, and boards
// whose numbers do not fit.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mini_game_test_util.h"
#include "minigames/labyrinth_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/labyrinth_game.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"

namespace {

// Boxes of 40 pixels, 4 x 3 of them from (100, 100); an opening right of row 2 ("exit")
// and one left of row 1 ("west").
class LabyrinthWindow : public TMiniGameTest {
 protected:
  static constexpr int32_t L = 40;
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("LabyrinthWindow", &TLabyrinthWindow::Create);
    Solid("pics/wide.png", 80, 40, 0xFF2C6A2A);
    Solid("pics/tall.png", 40, 80, 0xFF2C6A2A);
    Solid("pics/box.png", 40, 40, 0xFF9A9A94);
    Solid("pics/huge.png", 400, 40, 0xFF9A9A94);
    Solid("pics/tile.png", 40, 40, 0xFFF0B83C);
  }
  CLabyrinthGame& MakeGame(int32_t length = L, int32_t seqId = 190201) {
    auto game = std::make_unique<CLabyrinthGame>();
    game->SetStartPositionPlayingAreaX(100);
    game->SetStartPositionPlayingAreaY(100);
    game->SetLengthOneBox(length);
    game->SetCountBoxesXDirection(4);
    game->SetCountBoxesYDirection(3);
    game->AddStartEndPosition("exit", 5, 2);
    game->AddStartEndPosition("west", 0, 1);
    return MakeCurrent(std::move(game), seqId);
  }
  static CLabyrinthField& AddBlock(CLabyrinthGame& game, const char* id, const char* image, int32_t x, int32_t y,
                                   bool moveable = true) {
    auto block = std::make_unique<CLabyrinthField>();
    block->SetId(id);
    block->SetPath(image);
    block->SetBoxX(x);
    block->SetBoxY(y);
    block->SetMoveable(moveable);
    CLabyrinthField& raw = *block;
    game.AddField(std::move(block));
    return raw;
  }
  static CLabyrinthField& AddTile(CLabyrinthGame& game, const char* id, int32_t x, int32_t y, const char* end) {
    auto tile = std::make_unique<CLabyrinthField>();
    tile->SetId(id);
    tile->SetPath("pics/tile");
    tile->SetBoxX(x);
    tile->SetBoxY(y);
    tile->SetEndPosId(end);
    CLabyrinthField& raw = *tile;
    game.AddTile(std::move(tile));
    return raw;
  }
  TLabyrinthWindow* Open() {
    auto* window = WindowCast<TLabyrinthWindow>(OpenScene("LabyrinthWindow"));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  // The middle of box (c, r) on the screen.
  static TPoint Middle(int32_t c, int32_t r) { return TPoint(100 + (c - 1) * L + L / 2, 100 + (r - 1) * L + L / 2); }
  // A drag from the middle of box (c, r) through the moves given as offsets from where the
  // pointer stands each time (the place it was warped to, else where it went last).
  void Drag(int32_t c, int32_t r, const std::vector<TPoint>& steps) {
    TPoint at = Middle(c, r);
    MouseDown(at.x, at.y);
    for (TPoint step : steps) {
      size_t warps = mHost->pointerMoves.size();
      TPoint to(at.x + step.x, at.y + step.y);
      MouseMove(to.x, to.y);
      at = mHost->pointerMoves.size() > warps ? mHost->pointerMoves.back() : to;
    }
    MouseUp(at.x, at.y);
  }
  static TPoint Box(const CLabyrinthField& piece) { return TPoint(piece.GetBoxX(), piece.GetBoxY()); }
};

// Blocks and tiles stand at their boxes, named after their pieces, blocks clickable only
// when movable; a block's size in boxes comes from its picture and its cells are taken.
// The play clock keeps running.
TEST_F(LabyrinthWindow, ThePiecesStandAtTheirBoxes) {
  CLabyrinthGame& game = MakeGame();
  CLabyrinthField& wide = AddBlock(game, "wide", "pics/wide", 2, 1);
  AddBlock(game, "stone", "pics/box", 4, 3, false);
  AddTile(game, "tile", 1, 2, "exit");
  TLabyrinthWindow* window = Open();
  TSpriteWindow& sprites = *window->GetSpriteWindow();
  EXPECT_EQ(sprites.GetSpritePosition("wide"), TPoint(140, 100));
  EXPECT_EQ(sprites.GetSpritePosition("stone"), TPoint(220, 180));
  EXPECT_EQ(sprites.GetSpritePosition("tile"), TPoint(100, 140));
  EXPECT_EQ(Sprite(sprites, "wide").GetKind(), SpriteKindLabyrinthBlock);
  EXPECT_TRUE(Sprite(sprites, "wide").IsClickable());
  EXPECT_FALSE(Sprite(sprites, "stone").IsClickable());
  EXPECT_EQ(Sprite(sprites, "tile").GetKind(), SpriteKindLabyrinthTile);
  EXPECT_TRUE(Sprite(sprites, "tile").IsClickable());
  EXPECT_EQ(wide.GetBoxWidth(), 2);
  EXPECT_EQ(wide.GetBoxHeight(), 1);
  for (TPoint cell : {TPoint(2, 1), TPoint(3, 1), TPoint(4, 3), TPoint(1, 2)})
    EXPECT_FALSE(game.IsCellFree(cell.x, cell.y)) << cell.x << "," << cell.y;
  EXPECT_TRUE(game.IsCellFree(4, 1));
  EXPECT_TRUE(game.IsCellFree(5, 2)) << "the opening";
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused()) << "the play clock runs";
}

// A drag moves a piece a box once the pointer has gone far enough from the reference: left
// and up from L pixels on, right and down only beyond L; a diagonal tie tries the
// horizontal way first; movement short of a box adds up; a move into a taken box or out of
// the area sends the pointer back and moves nothing.
TEST_F(LabyrinthWindow, DragsMoveOneBoxPastTheThreshold) {
  struct TCase {
    const char* what;
    TPoint start;
    std::vector<TPoint> steps;
    TPoint end;
  };
  const TCase cases[] = {
      {"left by L", {3, 2}, {{-L, 0}}, {2, 2}},
      {"left by L - 1", {3, 2}, {{-(L - 1), 0}}, {3, 2}},
      {"right by L", {2, 2}, {{L, 0}}, {2, 2}},
      {"right by L + 1", {2, 2}, {{L + 1, 0}}, {3, 2}},
      {"up by L", {2, 3}, {{0, -L}}, {2, 2}},
      {"down by L, then one more", {2, 2}, {{0, L}, {0, 1}}, {2, 3}},
      {"diagonal tie: horizontal first", {2, 2}, {{-L, -L}}, {1, 2}},
      {"vertical when it is larger", {2, 2}, {{-L, -L - 1}}, {2, 1}},
      {"two boxes in two steps", {1, 1}, {{L + 1, 0}, {L + 1, 0}}, {3, 1}},
      {"not out of the area", {1, 3}, {{-L, 0}}, {1, 3}},
      {"not onto the stone", {3, 3}, {{L + 1, 0}}, {3, 3}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    mHost->pointerMoves.clear();
    CLabyrinthGame& game = MakeGame();
    CLabyrinthField& block = AddBlock(game, "box", "pics/box", c.start.x, c.start.y);
    AddBlock(game, "stone", "pics/box", 4, 3, false);
    TLabyrinthWindow* window = Open();
    TPoint grab = Middle(c.start.x, c.start.y);
    MouseDown(grab.x, grab.y);
    EXPECT_TRUE(window->IsDragging());
    EXPECT_FALSE(mHost->pointerShown);
    TPoint at = grab;
    for (TPoint step : c.steps) {
      size_t warps = mHost->pointerMoves.size();
      MouseMove(at.x + step.x, at.y + step.y);
      at = mHost->pointerMoves.size() > warps ? mHost->pointerMoves.back() : TPoint(at.x + step.x, at.y + step.y);
    }
    EXPECT_EQ(Box(block), c.end);
    TPoint place(100 + (c.end.x - 1) * L, 100 + (c.end.y - 1) * L);
    EXPECT_EQ(window->GetSpriteWindow()->GetSpritePosition("box"), place);
    MouseUp(at.x, at.y);
    // The pointer comes back on the spot of the piece where it was grabbed.
    EXPECT_TRUE(mHost->pointerShown);
    ASSERT_FALSE(mHost->pointerMoves.empty());
    EXPECT_EQ(mHost->pointerMoves.back(), TPoint(place.x + L / 2, place.y + L / 2));
    EXPECT_FALSE(Sprite(*window->GetSpriteWindow(), "box").GetUserFlag());
    EXPECT_TRUE(game.IsCellFree(c.start.x, c.start.y) || c.start == c.end);
    EXPECT_FALSE(game.IsCellFree(c.end.x, c.end.y));
    Manager().PopModal();
    Frames(1);
  }
}

// A fixed block is not picked up; a tile leaves the area only through an opening, which a
// block never does; the drag that brings the tile onto its end position wins once, and
// the scene goes on. A release without a drag is handled and wins nothing.
TEST_F(LabyrinthWindow, TheTileLeavesThroughTheOpeningAndWins) {
  CLabyrinthGame& game = MakeGame();
  CLabyrinthField& stone = AddBlock(game, "stone", "pics/box", 2, 2, false);
  CLabyrinthField& block = AddBlock(game, "box", "pics/box", 1, 1);
  CLabyrinthField& tile = AddTile(game, "tile", 3, 2, "exit");
  TLabyrinthWindow* window = Open();

  TPoint at = Middle(2, 2);
  MouseDown(at.x, at.y);
  EXPECT_FALSE(window->IsDragging());
  MouseMove(at.x + L + 1, at.y);
  MouseUp(at.x + L + 1, at.y);
  EXPECT_EQ(Box(stone), TPoint(2, 2));

  Drag(1, 1, {{-L, 0}});
  EXPECT_EQ(Box(block), TPoint(1, 1)) << "the opening left of row 1 is for tiles";

  Drag(3, 2, {{L + 1, 0}});
  EXPECT_EQ(Box(tile), TPoint(4, 2));
  EXPECT_EQ(WentOn(), 0);
  Drag(4, 2, {{L + 1, 0}});
  EXPECT_EQ(Box(tile), TPoint(5, 2));
  EXPECT_TRUE(window->IsWon());
  EXPECT_EQ(WentOn(), 1);
  EXPECT_TRUE(mHost->pointerShown);

  // The scene finishes: no new drag starts.
  Drag(5, 2, {{-L, 0}});
  EXPECT_EQ(Box(tile), TPoint(5, 2));
  EXPECT_EQ(WentOn(), 1);
}

TEST_F(LabyrinthWindow, AReleaseWithoutADragTestsNothing) {
  CLabyrinthGame& game = MakeGame();
  AddTile(game, "tile", 5, 2, "exit");
  TLabyrinthWindow* window = Open();
  EXPECT_TRUE(window->IsWon());
  size_t warps = mHost->pointerMoves.size();
  EXPECT_TRUE(window->OnMouseUp(TPoint(10, 10)));
  EXPECT_EQ(WentOn(), 0);
  EXPECT_EQ(mHost->pointerMoves.size(), warps);
}

// The glow of the dragged piece is made once, on the press: the drag's moves make no new
// glow, and the release ends it. While the briefing shows nothing is picked up.
TEST_F(LabyrinthWindow, TheDraggedPieceGlowsOnce) {
  CLabyrinthGame& game = MakeGame();
  AddBlock(game, "box", "pics/box", 1, 1);
  TLabyrinthWindow* window = Open();
  TSpriteAnimator& animator = *TSpriteAnimator::GetInstance();
  std::shared_ptr<TSprite> box = Sprite(*window->GetSpriteWindow(), "box").GetCurrentSprite();

  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  MouseDown(Middle(1, 1).x, Middle(1, 1).y);
  EXPECT_FALSE(window->IsDragging());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);

  MouseDown(Middle(1, 1).x, Middle(1, 1).y);
  const auto* glow = animator.GetGlow(box.get());
  ASSERT_NE(glow, nullptr);
  for (int i = 1; i <= 5; i++) MouseMove(Middle(1, 1).x + i, Middle(1, 1).y);
  EXPECT_EQ(animator.GetGlow(box.get()), glow);
  EXPECT_EQ(animator.GetGlowCount(), 1u);
  MouseUp(Middle(1, 1).x, Middle(1, 1).y);
  EXPECT_EQ(animator.GetGlowCount(), 0u);
}

// Regression: a box length of 0 divided the pictures' sizes by it, and a block wider than
// the board took cells past the grid. Now the board is laid out without a length (every
// piece one box, nothing picked up) and a block takes only the cells inside the grid; the
// skip button still works.
TEST_F(LabyrinthWindow, ABoxLengthOfZeroAndBlocksPastTheGridAreHarmless) {
  GiveButtons();
  CLabyrinthGame& flat = MakeGame(0, 190202);
  CLabyrinthField& block = AddBlock(flat, "wide", "pics/wide", 2, 1);
  TLabyrinthWindow* window = Open();
  EXPECT_EQ(block.GetBoxWidth(), 1);
  MouseDown(100, 100);
  EXPECT_FALSE(window->IsDragging());
  Click(SkipX, SkipY);
  EXPECT_EQ(WentOn(), 1);
  Manager().PopModal();
  Frames(1);

  CLabyrinthGame& game = MakeGame(L, 190203);
  CLabyrinthField& huge = AddBlock(game, "huge", "pics/huge", 2, 3);
  Open();
  EXPECT_EQ(huge.GetBoxWidth(), 10);
  for (int32_t c = 2; c <= 4; c++) EXPECT_FALSE(game.IsCellFree(c, 3)) << c;
  EXPECT_FALSE(game.IsCellFree(5, 3)) << "the ring stays a wall";
  EXPECT_TRUE(game.IsCellFree(5, 2)) << "the opening stays open";
  // Past the grid lies wall: it cannot go up.
  Drag(2, 3, {{0, -L}});
  EXPECT_EQ(Box(huge), TPoint(2, 3));
  EXPECT_FALSE(game.IsCellFree(3, 3));
}

// "IsWon" answers the labyrinth's model while the window lives and nothing once it is gone.
TEST_F(LabyrinthWindow, IsWonIsHarmlessOnceTheWindowIsGone) {
  CLabyrinthGame& game = MakeGame();
  AddTile(game, "tile", 1, 2, "exit");
  Open();
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "false");
  Manager().PopModal();
  Frames(2);
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "nil");
}

}  // namespace
