#pragma once
// TMemoryWindow ("MemoryGameWindow"): the memory board on its CMemoryGame. Every card still
// on the board has two sprites in the scene's sprite window: its face (kind 36, named after
// the card's id, drawn only while uncovered) and its back (kind 37, the id and "_backside",
// clickable while face down). A click on a back uncovers the card ("UncoverSound"); the
// second card of a turn plays "RightPairSound" or "WrongPairSound", blocks the scene's
// input and keeps both cards shown for the model's time. Then a pair leaves the board (the
// last one plays "WonSound" and finishes the scene) and a wrong pair is covered again.
// Uncovering and covering hang the engine sprites in and out of the sprite tree; the
// records stay. The play clock is paused while the window lives.

#include <cstdint>
#include <memory>
#include <vector>

#include "minigames/mini_game_window.h"
#include "platform/clock.h"

class CMemoryGame;

enum TMemorySpriteKind : int32_t {
  SpriteKindMemoryFace = 36,
  SpriteKindMemoryBack = 37,
};

class TMemoryWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TMemoryWindow();
  ~TMemoryWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TMemoryWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then the cards (dealt first when the grid is empty).
  void PostCreate(TWindowStyle& style) override;
  // Once both cards of a turn have been shown long enough: the pair leaves, or is covered.
  bool Animate() override;
  bool OnMouseDown(TPoint point) override;
  bool IsWon() override;

  CMemoryGame* GetGame() const { return mGame; }
  // Two cards of the turn are on show; clicks on cards wait.
  bool IsWaiting() const { return mWaiting; }

 private:
  void LayOutCards();
  // The card's face sprite on show (in front) or off the tree; its back the other way.
  void ShowFace(const TString& id, bool face);
  void EndTurn();

  CMemoryGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CMemoryGame> mStandIn;
  bool mWaiting = false;
  TClock mShowClock;
  std::vector<TString> mUncovered;  // the ids of the turn's cards, 0 to 2
};
