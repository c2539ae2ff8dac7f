#pragma once
// TUnlockingDoorsWindow ("UnlockingDoors"): the door lock on its CLock. Every bolt is a
// clickable sprite of the animation window (kind 10, "bolt" + the bolt's name character)
// standing at its up or down place; where the lock has bolts that toggle locks, each bolt
// may show an upper and a lower lock piece (kind 9, "upperBoltLock"/"lowerBoltLock" + the
// character) turned to its closed or open angle; the overlay (kind 11) lies on top. A click
// on a bolt moves it ("MoveSound", or "LockedSound" when it refuses); the move that brings
// the last bolt up counts the mini-game as completed, shows its bonus, plays "WonSound" and
// finishes the scene. The Lua function "ResetPosition(up)" puts every bolt up or down,
// unlocked. The play clock is paused while the window lives.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CLock;

enum TUnlockingDoorsSpriteKind : int32_t {
  SpriteKindLockPiece = 9,
  SpriteKindBolt = 10,
  SpriteKindLockOverlay = 11,
};

class TUnlockingDoorsWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TUnlockingDoorsWindow();
  ~TUnlockingDoorsWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TUnlockingDoorsWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The bolts, their lock pieces and the overlay, then the buttons and the scene.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool IsWon() override;

  // Every bolt's sprite to its place and every lock piece to its angle.
  void UpdateBolts();
  // What the Lua "ResetPosition" calls.
  void ResetPosition(bool up);

  CLock* GetLock() const { return mLock; }
  // The sprite names of bolt i's pieces; "" for a bolt beyond the named ones.
  static TString BoltName(const char* prefix, uint32_t i);

 private:
  // Whether the lock pieces are drawn (the lock has a bolt that toggles locks).
  bool DrawsLockPieces();
  void AddLockPiece(const char* prefix, uint32_t i, const TString& graphic, int32_t x, int32_t y, float angle);

  CLock* mLock = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CLock> mStandIn;
};
