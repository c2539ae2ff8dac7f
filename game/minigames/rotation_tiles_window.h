#pragma once
// TRotationTilesWindow ("RotationTilesWindow"): the rotation-tiles board on its
// CRotationTilesGame. Each tile is a sprite of the scene's sprite window (kind 38, named
// after the tile's id) turned about its centre by its quarter turns; a click turns every
// tile of the clicked id a quarter on ("RotationSound"), and the turn that sets the last tile
// upright plays "WonSound" and finishes the scene. A new board is dealt and laid out in rows
// of the square root of its count, as far apart as the first tile's image is high; a saved
// board keeps its places. The play clock is paused while the window lives.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CRotationTilesGame;

enum TRotationTilesSpriteKind : int32_t {
  SpriteKindRotationTile = 38,
};

class TRotationTilesWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TRotationTilesWindow();
  ~TRotationTilesWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TRotationTilesWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then the board (dealt first when the model has no tiles).
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool IsWon() override;

  CRotationTilesGame* GetGame() const { return mGame; }

 private:
  // Deals a new board and gives its tiles their places; a board without tiles (a count
  // below 1) stays empty, with a log line.
  void DealNewBoard();

  CRotationTilesGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CRotationTilesGame> mStandIn;
};
