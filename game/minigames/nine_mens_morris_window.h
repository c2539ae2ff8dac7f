#pragma once
// TNineMensMorrisWindow ("NineMensMorrisWindow"): the morris puzzle on its
// CNineMensMorrisGame. Each point of the board is a clickable sprite of kind 2 in the scene's
// sprite window, named after its index and showing the model's filepath followed by its
// status (and "a" while its piece is selected). With at most one empty point the board plays
// as a sliding puzzle: a click on a piece moves it into the empty point if the two are
// joined. With more empty points a first click selects a piece and a second names its
// target. A refused move plays "lose"; a move that solves the board plays "win" and goes on.

#include <cstdint>
#include <memory>
#include <vector>

#include "minigames/mini_game_window.h"

class CNineMensMorrisGame;

enum TMorrisSpriteKind : int32_t {
  SpriteKindMorrisPoint = 2,
};

class TNineMensMorrisWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TNineMensMorrisWindow();
  ~TNineMensMorrisWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TNineMensMorrisWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then the board laid out anew from the model's lists; the
  // mode follows from its empty points.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool IsWon() override;

  CNineMensMorrisGame* GetGame() const { return mGame; }
  bool IsSingleGap() const { return mSingleGap; }
  // The points of the move being made: none, or the selected piece.
  const std::vector<int32_t>& GetSelection() const { return mSelection; }

 private:
  // The point's sprite made anew (drawn above the others), selected or not.
  void ShowPoint(int32_t point, bool selected);
  void EndMove();

  CNineMensMorrisGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CNineMensMorrisGame> mStandIn;
  std::vector<int32_t> mSelection;
  bool mSingleGap = false;
};
