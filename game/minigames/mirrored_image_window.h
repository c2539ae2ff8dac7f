#pragma once
// TMirroredImageWindow ("MirroredImageWindow"): the mirrored-image search on its
// CMirroredImageGame. Each opening deals anew: the false images and the correct one
// (kind 0, named "false" and "correct", clickable) on their slots in the scene's sprite
// window, with the hidden "won" and "lose" pictures (kind 1) over the screen. The player has
// one click on an image: the correct one shows "won", counts the mini-game with its bonus at
// the click and plays "win"; a false one shows "lose" and plays "lose"; either way the scene
// goes on.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CMirroredImageGame;

enum TMirroredImageSpriteKind : int32_t {
  SpriteKindMirroredImage = 0,
  SpriteKindMirroredResult = 1,
};

class TMirroredImageWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TMirroredImageWindow();
  ~TMirroredImageWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TMirroredImageWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then a new deal and its pictures.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool IsWon() override;

  CMirroredImageGame* GetGame() const { return mGame; }

 private:
  void AddImages();

  CMirroredImageGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CMirroredImageGame> mStandIn;
};
