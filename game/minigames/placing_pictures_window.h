#pragma once
// TPlacingPicturesWindow ("PlacingPicturesWindow"): the picture-placing puzzle on its
// CPlacingPicturesGame. The board's hotspots are the scene's own (laid out by the model as
// the screen opens); each picture on a hotspot is a sprite of kind 3 named after the picture,
// standing at the hotspot's first corner plus the safe zone ("plpiHotspotSafeZoneInPixels"),
// and the check button is a sprite of kind 35 named "CheckButton". A press on a picture
// picks it up and it follows the pointer, 30 pixels up and to the left; a press on an active
// hotspot drops it there (in swap mode the picture that stood there goes to the hotspot the
// carried one came from). Only the check button tests the board: solved, it plays "win",
// counts the mini-game with its bonus and goes on; else the briefing shows the label
// "placingpicturesfalsefeedback". The model's text boxes are laid over the background
// ("plpiFontMaxLines" lines each).

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CPlacingPicturesGame;
class CSceneHotspot;

enum TPlacingPicturesSpriteKind : int32_t {
  SpriteKindPlacingPicture = 3,
  SpriteKindPlacingCheckButton = 35,
};

class TPlacingPicturesWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TPlacingPicturesWindow();
  // The board stays in the scene's hotspots; the model forgets the window's objects.
  ~TPlacingPicturesWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TPlacingPicturesWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The check button, the board with its pictures and the text boxes, then the buttons and
  // the scene.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool IsWon() override;

  CPlacingPicturesGame* GetGame() const { return mGame; }

 private:
  void AddPictures();
  bool PickUpOrCheck(TPoint point);
  bool Drop(TPoint point);
  // Moves the picture's sprite onto board hotspot i.
  void PlaceOnHotspot(const TString& picture, int32_t hotspot);

  CPlacingPicturesGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CPlacingPicturesGame> mStandIn;
};
