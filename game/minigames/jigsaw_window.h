#pragma once
// TJigsawPuzzleWindow ("JigsawPuzzleWindow"): the pieces of a CJigsawPuzzle in the scene's
// sprite window, one clickable sprite (kind 27) per piece, named after it, its top-left
// corner at the piece's place. A click takes a movable piece up with its hooked group,
// which follows the pointer in the picture's shape; the next click puts it down, wherever
// it lies (even on the skip or menu button), and the puzzle hooks and sticks what fits.
// The drop that solves the puzzle shows the mini-game's bonus and finishes the scene. The
// play clock is paused while the window lives; the jigsaw has no sounds of its own.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CJigsawPuzzle;

enum TJigsawSpriteKind : int32_t {
  SpriteKindJigsawPiece = 27,
};

class TJigsawPuzzleWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TJigsawPuzzleWindow();
  ~TJigsawPuzzleWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TJigsawPuzzleWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then a sprite per piece in name order (later names on top).
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool IsWon() override;

  CJigsawPuzzle* GetPuzzle() const { return mPuzzle; }
  // The carried piece's name; empty when none is carried.
  const TString& GetHeldPiece() const { return mHeldPiece; }

 private:
  // Every sprite to its piece's place.
  void RefreshSprites();
  // A press with no piece carried: takes a movable piece up; whether the press hit a piece.
  bool TakeUp(TPoint point);
  void PutDown(TPoint point);

  CJigsawPuzzle* mPuzzle = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CJigsawPuzzle> mStandIn;
  int32_t mGrabX = 0, mGrabY = 0;
  TString mHeldPiece;
};
