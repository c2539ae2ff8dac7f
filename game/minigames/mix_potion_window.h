#pragma once
// TMixPotionWindow ("MixPotion"): the potion network of a CMixPotionMiniGame on a grid. The
// pictures stand in the animation window: pipes (kind 13), funnels at the roots (14),
// target signs at the leaves (15), flasks at the leaves (16), the mix and reset buttons
// (17, 18), the flasks of the given colours to carry (19) and the cupboard they stand on
// (29). A click takes a flask up, it follows the pointer, and the next click pours it into
// an empty funnel under the point (or nowhere) and sends it home. The mix button, once
// every funnel holds a colour, floods the network: a right mix wins, a wrong one shows
// its colours, empties the funnels and plays "TryAgain". The play clock is paused while the
// window lives.
//
// Pieces are named with their index in decimal ("pipe3", "funnel0", "flask1"), so that no
// two pieces of a large network share a name and no name holds a control byte.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CMixPotionMiniGame;
class CMixPotionPipe;

enum TMixPotionSpriteKind : int32_t {
  SpriteKindPotionPipe = 13,
  SpriteKindPotionFunnel = 14,
  SpriteKindPotionTarget = 15,
  SpriteKindPotionFlask = 16,
  SpriteKindPotionMixButton = 17,
  SpriteKindPotionResetButton = 18,
  SpriteKindPotionMoveableFlask = 19,
  SpriteKindPotionCupboard = 29,
};

class TMixPotionWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TMixPotionWindow();
  ~TMixPotionWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TMixPotionWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene; the network emptied; the cell size from the upright pipe's
  // picture; then every piece.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool IsWon() override;

  CMixPotionMiniGame* GetGame() const { return mGame; }
  TPoint GetCellSize() const { return TPoint(mCellWidth, mCellHeight); }
  // A flask follows the pointer.
  bool IsCarrying() const;

 private:
  // One build per piece: create adds new records; otherwise the records of the kind, in
  // list order, take the new pictures and come back in front.
  void BuildPipes(bool create);
  void BuildFunnels(bool create, bool coloured);
  void BuildFlasks(bool create);
  void BuildTargetColors(bool create);
  void BuildCupboard(bool create);
  void BuildMoveableFlasks(bool create);
  void BuildMixButton(bool create);
  void BuildResetButton(bool create);
  // Adds the record, or hands its picture to the n-th record of its kind.
  void Place(GeneralSprite fresh, bool create, int32_t nth);
  // The screen point of a grid cell.
  TPoint CellPoint(int64_t column, int64_t row, int32_t offsetY = 0) const;
  int32_t CarriedIndex() const;
  // The empty funnel under the point: its root, or -1.
  int32_t EmptyFunnelAt(TPoint point);
  void Drop(int32_t carried, TPoint point);
  // Pipes, funnels (coloured), flasks, cupboard and buttons show the model anew.
  void RefreshBoard();
  void Reset();
  void MixAndJudge(TPoint point);
  void TakeUp(int32_t index);

  CMixPotionMiniGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CMixPotionMiniGame> mStandIn;
  int32_t mCellWidth = 15, mCellHeight = 15;
  int32_t mCursorOffsetX = 0, mCursorOffsetY = 0;
};
