#pragma once
// CSharkShooterGame: the model of the shark shooter: sharks swim in from the right towards a
// diver on the left. In mode 0 ("sharkShooter") the player fires harpoons; enough kills win,
// too many sharks past the deadline lose. In mode 1 ("avoidSharks") the diver keeps clear of
// the sharks; enough sharks past the deadline win, too many touches lose; the one shot stays
// before the diver as a shield that takes out one shark and returns after the reload time.
//
// The window calls Fire on a click (mode 0) or every frame (mode 1) and Update every frame
// while running, both with the scene clock's milliseconds, and reads positions back. Only
// the configuration is saved: a loaded model starts a fresh game.

#include <cstdint>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

class CSharkShooterGame : public CScene {
 public:
  enum TGameMode : int32_t { SharkShooter = 0, AvoidSharks = 1 };
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };
  // A shot that is out of play is parked here, below the screen.
  static constexpr int32_t ParkedShotY = 888;
  // Far more sharks than a screen holds; a record asking for more gets this many.
  static constexpr int32_t MaxSharks = 256;

  // Seeds the game's generator from the wall clock, as the sharks' places are drawn from it.
  CSharkShooterGame();

  // True for 32 only.
  bool IsOfType(int modelType) const override;
  // The MakeSharkShooterGame record: the scene fields, the mode, the images and sounds,
  // the numbers. Kills, hits, sharks and shots are not saved.
  void Serialize(std::string& out) const override;

  // Configuration, from the record.
  void SetReloadTimeInMs(int32_t ms) { mReloadTimeInMs = ms; }
  void SetHarpoonX(int32_t x) { mHarpoonX = x; }
  void SetHarpoonY(int32_t y) { mHarpoonY = y; }
  // The win target and the divisor of the sharks' speed growth: a count below 1 is refused
  // with a log line and the count stays as it was (50 unless set).
  void SetHowManySharksMustDieForWinning(int32_t count);
  void SetHarponShotSpeed(uint32_t speed) { mHarponShotSpeed = speed; }
  // Between 0 and MaxSharks; a value outside is brought inside with a log line.
  void SetMaxSharksOnScreen(int32_t count);
  // At least 1 (the window's health bar divides by it); less is refused with a log line.
  void SetLives(int32_t lives);
  // 0 or 1; any other mode is ignored, so that the saved mode is always one of the two.
  void SetGameMode(int32_t mode);
  void SetSharkStartSpeed(uint32_t speed);
  void SetSharkEndSpeed(uint32_t speed) { mSharkEndSpeed = speed; }
  void SetDiverXpos(int32_t x) { mDiverXpos = x; }
  void SetCountdown(int32_t seconds) { mCountdown = seconds; }
  void SetDeadlineXpos(int32_t x) { mDeadlineXpos = x; }
  void SetSharkTexturePath(const TString& path) { mSharkTexturePath = path; }
  void SetDiverTexturePath(const TString& path) { mDiverTexturePath = path; }
  void SetShotTexturePath(const TString& path) { mShotTexturePath = path; }
  void SetInactiveShotTexturePath(const TString& path) { mInactiveShotTexturePath = path; }
  void SetReadyShotTexturePath(const TString& path) { mReadyShotTexturePath = path; }
  void SetInterfaceBGTexturePath(const TString& path) { mInterfaceBGTexturePath = path; }
  void SetInterfaceGreenTexturePath(const TString& path) { mInterfaceGreenTexturePath = path; }
  void SetInterfaceInvisibleTexturePath(const TString& path) { mInterfaceInvisibleTexturePath = path; }
  void SetInterfaceRedTexturePath(const TString& path) { mInterfaceRedTexturePath = path; }
  void SetInterfacePipesTexturePath(const TString& path) { mInterfacePipesTexturePath = path; }
  void SetHitClickSound(const TString& sound) { mHitClickSound = sound; }
  void SetMissClickSound(const TString& sound) { mMissClickSound = sound; }

  int32_t GetReloadTimeInMs() const { return mReloadTimeInMs; }
  int32_t GetHowManySharksMustDieForWinning() const { return mHowManySharksMustDieForWinning; }
  int32_t GetLives() const { return mLives; }
  int32_t GetGameMode() const { return mGameMode; }
  int32_t GetCountdown() const { return mCountdown; }
  int32_t GetMaxSharksOnScreen() const { return mMaxSharksOnScreen; }
  const TString& GetSharkTexturePath() const { return mSharkTexturePath; }
  const TString& GetDiverTexturePath() const { return mDiverTexturePath; }
  const TString& GetShotTexturePath() const { return mShotTexturePath; }
  const TString& GetInactiveShotTexturePath() const { return mInactiveShotTexturePath; }
  const TString& GetReadyShotTexturePath() const { return mReadyShotTexturePath; }
  const TString& GetInterfaceBGTexturePath() const { return mInterfaceBGTexturePath; }
  const TString& GetInterfaceGreenTexturePath() const { return mInterfaceGreenTexturePath; }
  const TString& GetInterfaceInvisibleTexturePath() const { return mInterfaceInvisibleTexturePath; }
  const TString& GetInterfaceRedTexturePath() const { return mInterfaceRedTexturePath; }
  const TString& GetInterfacePipesTexturePath() const { return mInterfacePipesTexturePath; }
  const TString& GetHitClickSound() const { return mHitClickSound; }
  const TString& GetMissClickSound() const { return mMissClickSound; }

  // The boxes of the collision and hit tests, measured by the window from its images.
  void SetDiverWidth(int32_t width) { mDiverWidth = width; }
  void SetDiverHeight(int32_t height) { mDiverHeight = height; }
  void SetSharkWidth(int32_t width) { mSharkWidth = width; }
  void SetSharkHeight(int32_t height) { mSharkHeight = height; }
  void SetShotWidth(int32_t width) { mShotWidth = width; }
  void SetShotHeight(int32_t height) { mShotHeight = height; }
  // Moves the diver and the harpoon with it.
  void SetDiverYpos(int32_t y);
  TPosition GetDiverPosition() const { return {mDiverXpos, mDiverYpos}; }
  TPosition GetHarpoonPosition() const { return mHarpoonPosition; }

  // Play state.
  bool IsRunning() const { return mRunning; }
  void SetRunning(bool running) { mRunning = running; }
  int32_t GetKills() const { return mKills; }
  int32_t GetHits() const { return mHits; }
  int32_t GetEscapedSharks() const { return mEscapedSharks; }
  int32_t GetSharksOnScreen() const { return mSharksOnScreen; }
  int32_t GetLastShotIndex() const { return mLastShotIndex; }
  int32_t GetActiveShotCount() const { return int32_t(mActiveShots.size()); }
  // The shot index of entry i of the shots in play; -1 past the end.
  int32_t GetActiveShot(int32_t index) const;
  // Shark i's and shot i's place; (0, 0) past the end.
  TPosition GetSharkPosition(int32_t index) const;
  TPosition GetShotPosition(int32_t index) const;
  bool IsShotFired() const { return mShotFired; }
  void SetShotFired(bool fired) { mShotFired = fired; }

  // Starts a shot when the reload time allows it (mode 1: only while no shot is in play);
  // answers the time of the next allowed shot (mode 1 after a shot: -2 as unsigned).
  uint32_t Fire(uint32_t now);
  // One step: moves the shots and the sharks, counts a hit, decides win and loss.
  void Update(uint32_t now);
  // Takes the shot out of play; nothing when it is not in play.
  void RemoveActiveShot(int32_t shotIndex);
  // Mode 0: enough kills; mode 1: enough sharks past the deadline (which also stops play).
  bool IsWon();
  // Mode 0: too many sharks got through; mode 1: the diver was touched too often.
  bool IsLost();
  // Back to the state before play; the configuration stays.
  void Reset();
  // Adds sharks off the right edge until maxSharksOnScreen swim, each faster than the last.
  void SpawnSharks();

 private:
  struct TShark {
    int32_t x = 0;
    int32_t y = 0;
    double speed = 0;
    double lastMoveTime = 0;
    double exactX = 0;
  };
  struct TShot {
    int32_t x = 0;
    int32_t y = 0;
    double lastMoveTime = 0;
  };

  double SpeedStep() const;
  int32_t SharkY();
  void ReEnter(TShark& shark);
  void MoveShots(uint32_t now);
  void MoveSharks(uint32_t now);
  // The shark that a shot hit, or -1.
  int32_t FindHit();

  int32_t mReloadTimeInMs = 10;
  uint32_t mNextShotTime = 0;
  uint32_t mLastUpdateTime = 0;
  TString mSharkTexturePath;
  TString mDiverTexturePath;
  TString mShotTexturePath;
  TString mInactiveShotTexturePath;
  TString mReadyShotTexturePath;
  TString mInterfaceBGTexturePath;
  TString mInterfaceGreenTexturePath;
  TString mInterfaceInvisibleTexturePath;
  TString mInterfaceRedTexturePath;
  TString mInterfacePipesTexturePath;
  TString mHitClickSound;
  TString mMissClickSound;
  int32_t mHarpoonX = 0;
  int32_t mHarpoonY = 0;
  // Recomputed only when the diver's y is set.
  TPosition mHarpoonPosition{0, 5};
  int32_t mHowManySharksMustDieForWinning = 50;
  int32_t mMaxSharksOnScreen = 5;
  int32_t mEscapedSharks = 0;
  double mHarponShotSpeed = 100;
  int32_t mSharksOnScreen = 0;
  double mCurrentSharkSpeed = 100;
  double mSharkStartSpeed = 100;
  double mSharkEndSpeed = 200;
  int32_t mKills = 0;
  std::vector<TShark> mSharks;
  std::vector<TShot> mShots;
  std::vector<int32_t> mActiveShots;
  bool mShotFlying = false;
  bool mShotFired = false;
  int32_t mDiverWidth = 10;
  int32_t mDiverHeight = 10;
  int32_t mSharkWidth = 10;
  int32_t mSharkHeight = 10;
  int32_t mShotWidth = 10;
  int32_t mShotHeight = 10;
  int32_t mLastShotIndex = -1;
  int32_t mDeadlineXpos = -100;
  int32_t mDiverXpos = 50;
  int32_t mDiverYpos = 342;
  int32_t mHits = 0;
  bool mLost = false;
  bool mWon = false;
  int32_t mLives = 3;
  int32_t mGameMode = SharkShooter;
  bool mRunning = false;
  int32_t mCountdown = 5;
};
