#pragma once
// TLabyrinthWindow ("LabyrinthWindow"): the sliding labyrinth on its CLabyrinthGame. Every
// block (kind 39, clickable only when movable) and tile (kind 41) is a sprite of the scene's
// sprite window named after its piece, at the screen place of its box. A press on a movable
// piece starts a drag: the pointer hides, the piece glows, and each move that has gone a
// whole box from the reference point slides the piece one box (left and up from L pixels
// on, right and down from L + 1), the pointer jumping to the piece's new place; a move
// that cannot be made sends the pointer back. The release shows the pointer on the spot
// where the piece was grabbed and asks the model for the win, which plays "WonSound" and
// finishes the scene. The play clock keeps running.

#include <cstdint>
#include <memory>

#include "graphics/math/vector_math.h"
#include "minigames/mini_game_window.h"
#include "model/labyrinth_game.h"

enum TLabyrinthSpriteKind : int32_t {
  SpriteKindLabyrinthBlock = 39,
  SpriteKindLabyrinthTile = 41,
};

class TLabyrinthWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TLabyrinthWindow();
  ~TLabyrinthWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TLabyrinthWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then the board and the pieces.
  void PostCreate(TWindowStyle& style) override;
  // Starts a drag on a movable block or a tile.
  bool OnMouseDown(TPoint point) override;
  // One drag step: at most one box per piece.
  bool OnMouseMove(TPoint point) override;
  // Ends the drag and tests for the win; always handled.
  bool OnMouseUp(TPoint point) override;
  bool IsWon() override;

  CLabyrinthGame* GetGame() const { return mGame; }
  bool IsDragging() const { return mDragging; }

 private:
  // The piece behind a flagged sprite, or null (another kind, or no piece of that name).
  CLabyrinthField* PieceOf(const GeneralSprite& sprite) const;
  // Tries the piece one box in that direction.
  bool TryMove(CLabyrinthField& piece, bool block, CLabyrinthGame::TMove move);
  // One drag step of one piece: the position of its sprite afterwards.
  void DragPiece(GeneralSprite& sprite, CLabyrinthField& piece, TPoint pointer);
  // The screen place of a box.
  int32_t BoxX(int32_t column) const;
  int32_t BoxY(int32_t row) const;
  TPoint Truncated(TVec2 position) const;

  CLabyrinthGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CLabyrinthGame> mStandIn;
  TPoint mReference{0, 0};
  TPoint mGrabOffset{0, 0};
  TVec2 mPiecePosition{0.0f, 0.0f};
  bool mDragging = false;
  int32_t mDraggedSprite = 0;
};
