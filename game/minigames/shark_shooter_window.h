#pragma once
// TSharkShooterWindow ("SharkShooterWindow"): the shark shooter on its CSharkShooterGame.
// The diver and the sharks are engine sprites of "inGameObjectsSpriteWindow" (kind 42, not
// listed), the harpoons its records "ShShShot<n>" (kind 24); "guiSpriteWindow" above holds
// the status bar (health, reload, progress; kind 25). A countdown of the model's seconds
// ("CountdownText") comes first; then every frame steps the model on the scene clock,
// mouse moves set the diver's height (the pointer hidden, pulled back to x = 452 when it
// leaves 50..1000) and, in the harpoon mode, clicks fire (the avoiding mode fires its
// shield by itself). A win finishes the scene after "shshTimeToWaitAfterWonToSkipInMs" and
// is worth 1000 points when the fade-out ends; a loss opens
// "scripts/sharkshooterwonmenu.lua", whose buttons call "RestartSharkShooter" (a new game
// at once) or "SkipSharkShooter" (on to the next scene). The play clock keeps running.

#include <cstdint>
#include <memory>
#include <vector>

#include "minigames/mini_game_window.h"
#include "graphics/math/rect.h"

class CSharkShooterGame;
class TTextbox;

enum TSharkShooterSpriteKind : int32_t {
  SpriteKindSharkShot = 24,
  SpriteKindSharkGui = 25,
  SpriteKindSharkActor = 42,
};

class TSharkShooterWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TSharkShooterWindow();
  ~TSharkShooterWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TSharkShooterWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The two sprite windows, the diver, sharks and status bar, the countdown text, then the
  // buttons and the scene.
  void PostCreate(TWindowStyle& style) override;
  // Countdown, the model's step, the sprites, the status bar, the end of the game.
  bool Animate() override;
  // Fires in the harpoon mode; the buttons.
  bool OnMouseDown(TPoint point) override;
  bool OnMouseUp(TPoint point) override { return false; }
  // The diver's height; always handled, the pointer stays hidden.
  bool OnMouseMove(TPoint point) override;
  // A won game is worth 1000 points; then the next scene opens.
  void ExitScene() override;
  bool IsWon() override;

  // "RestartSharkShooter": a new game, played at once.
  void Restart();
  // "SkipSharkShooter": on to the next scene, without a fade.
  void Skip();

  CSharkShooterGame* GetGame() const { return mGame; }
  TSpriteWindow* GetGuiWindow() const { return mGuiWindow; }
  TSpriteWindow* GetInGameWindow() const { return mInGameWindow; }
  const std::vector<std::shared_ptr<TSprite>>& GetSharkSprites() const { return mSharkSprites; }
  int32_t GetCountdownLeft() const { return mCountdownLeft; }

 private:
  // A sprite of the GUI window at a place of the model.
  void AddGui(const TString& image, int32_t x, int32_t y, const char* name);
  // The sprite of the newest shot, in the in-game window; the model learns its size.
  void AddNewestShot(bool visible);
  void StepCountdown(uint32_t now);
  void MoveShots();
  void EndOfGame(uint32_t now);
  void UpdateStatusBar(uint32_t now);
  // Moves a GUI sprite to a height, keeping its x.
  void MoveGuiTo(const char* name, int32_t y);
  static TString ShotName(int32_t shotIndex);

  CSharkShooterGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CSharkShooterGame> mStandIn;
  TSpriteWindow* mGuiWindow = nullptr;      // children of this window
  TSpriteWindow* mInGameWindow = nullptr;
  TTextbox* mCountdownText = nullptr;
  std::vector<std::shared_ptr<TSprite>> mSharkSprites;
  std::unique_ptr<GeneralSprite> mDiverSprite;
  int32_t mNextShotTime = 0;
  int32_t mKillsShown = -1, mLivesLeftShown = -1, mTargetShown = -1, mLastShotShown = -1, mEscapedShown = -1;
  int32_t mDiverHeight = 0;
  int32_t mCountdownLeft = 0;
  uint32_t mLastTickTime = 0;
  TRect mHealthRect{0, 0, 0, 0};
  TRect mStatusRect{0, 0, 0, 0};
  int32_t mWaitAfterWonMs = 0;
  int64_t mWonTime = -1;
};
