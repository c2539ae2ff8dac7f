#pragma once
// CHighscoreSystem: the player's score. Scripts and windows report events (an item found or
// used, a hidden-object hit or miss, a task or mini-game done, a hint taken, a level started
// or ended) and get the bonus the event earned; the system adds them up per level and folds
// each finished level into a running total. It also keeps the play clock: the level's bonus
// time, the hint clock, the hit gap and search times, and a millisecond clock, all stopped
// together under a nested pause counter while the player is not actually playing.
//
// Counts and bonuses are unsigned 32-bit and wrap; times are wall-clock seconds. The bonus
// settings come from the game's MakeHighscoreSystem record; the running state is saved per
// player in the preferences database. One instance per selected player.
//
// Windows that may run before a player is chosen call the functions of the namespace
// HighscoreSystem below, which do nothing (and give 0) while there is no instance.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/model_services.h"
#include "model/observed_subject.h"
#include "model/serializable.h"
#include "platform/clock.h"
#include "platform/engine_string.h"

class TPrefsDB;

class CHighscoreSystem : public CObservedSubject, public ISerializable {
 public:
  static CHighscoreSystem* GetInstance();
  // Deletes the current instance, then makes a new one (settings empty, lists empty).
  static CHighscoreSystem* CreateInstance();
  static void DestroyInstance();

  // Registers the 28 Lua functions on the model script; the play clock runs.
  CHighscoreSystem();
  CHighscoreSystem(const CHighscoreSystem&) = delete;
  CHighscoreSystem& operator=(const CHighscoreSystem&) = delete;

  // The MakeHighscoreSystem record of the bonus settings.
  void Serialize(std::string& out) const override;

  // Bonus settings.
  void SetLevelCompleteBonus(uint32_t points) { mLevelCompleteBonus = points; }
  void SetLevelSpeedPerSecondBonus(uint32_t points) { mLevelSpeedPerSecondBonus = points; }
  void SetNeededTimeForHOSpeedBonusInSeconds(uint32_t seconds) { mNeededTimeForHOSpeedBonus = seconds; }
  void SetHOTaskCompleteBonus(uint32_t points) { mHOTaskCompleteBonus = points; }
  void SetFoundInventoryItemBonus(uint32_t points) { mFoundInventoryItemBonus = points; }
  void SetUsedInventoryItemSuccessfullyBonus(uint32_t points) { mUsedInventoryItemSuccessfullyBonus = points; }
  void SetAdventureTaskCompleteBonus(uint32_t points) { mAdventureTaskCompleteBonus = points; }
  void SetMiniGameTaskCompleteBonus(uint32_t points) { mMiniGameTaskCompleteBonus = points; }
  // Misses that start the click penalty; 0 switches it off.
  void SetClicksNeedForPenalty(uint32_t clicks) { mClicksNeedForPenalty = clicks; }
  // The window in which those misses must fall; 0: no window.
  void SetTimeForClicksForPenalty(int64_t seconds) { mTimeForClicksForPenalty = seconds; }
  void SetTimeForPenalty(int64_t seconds) { mTimeForPenalty = seconds; }
  // Append to the hit ladder (entry n: the n-th hit of a quick series) and to the hint
  // bonuses (entry n: the level bonus for n hints).
  void AddHOFoundBonuses(const std::vector<uint32_t>& bonuses);
  void AddHintUsedInLevelBonuses(const std::vector<uint32_t>& bonuses);
  const std::vector<uint32_t>& GetHOFoundBonuses() const { return mHOFoundBonus; }
  const std::vector<uint32_t>& GetHintUsedInLevelBonuses() const { return mHintUsedInLevelBonus; }

  // Events; each answers the bonus it earned where it has one.
  uint32_t FoundInventoryItem();
  uint32_t UsedInventoryItemSuccessfully();
  void UsedInventoryItemWrong();
  uint32_t AdventureTaskComplete();
  void HOStart();
  uint32_t HOHitClick();
  void HOMissClick();
  uint32_t HOTaskComplete();
  void HOEnd();
  uint32_t MiniGameTaskComplete();
  void MiniGameSkiped();
  void UseHint();
  void StartLevel(uint32_t levelId, int32_t bonusSeconds);
  void EndLevel();
  uint32_t AddToOtherHighscoreMadeInLevel(uint32_t points);
  // The mini-games of the running level counted as completed and as skipped.
  uint32_t GetMiniGamesCompleted() const { return Total(mMiniGamesCompleted); }
  uint32_t GetMiniGamesSkipped() const { return Total(mMiniGamesSkipped); }
  // Called every frame by the hidden-object window: starts and ends the click penalty.
  bool IsClickPenaltyActive();

  // The score.
  TString GetHighscore();
  uint32_t GetHighscoreAsInt() const;
  uint32_t GetHOBonus() const { return mHOBonus; }
  uint32_t GetPreviousLevelBonus() const { return mBonusFromPreviousLevels; }
  uint32_t GetBonus() const;
  uint32_t GetTimeBonus() const;
  uint32_t GetUsedHintsBonus() const;
  uint32_t GetLevelCompleteBonus() const { return mLevelCompleteBonus; }
  // Wrong uses of inventory items in the current level.
  uint32_t GetUsedWrongCount() const { return Total(mUsedWrong); }

  // The play clock (play_clock.cpp).
  void PausePlay();
  void StartPlay();
  bool IsPaused() const { return mPauseCounter > 0; }
  uint32_t GetElapsedTimeSinceLastHintUse() const;
  uint32_t GetPlayClockTime() const { return mPlayClock.GetTime(); }
  uint32_t GetRemainingTimePercent() const;
  void CountHelpUse() { mHelpUseCount++; }
  uint32_t GetHelpUseCount() const { return mHelpUseCount; }

  // The per-player values (highscore_prefs.cpp). The Lua forms use the current player of
  // the model's preferences source and do nothing without a database; the store is
  // committed by the caller. Loading leaves the play clock paused (counter 1).
  void LoadHighscoreCurrentUser();
  void SaveHighscoreCurrentUser();
  void LoadValues(TPrefsDB& db, int user);
  void SaveValues(TPrefsDB& db, int user);

 private:
  using SceneCounts = std::map<uint32_t, uint32_t>;
  // What a finished level leaves behind; kept for the life of the instance.
  struct LevelArchive {
    std::map<uint32_t, int64_t> duration;
    std::map<uint32_t, int64_t> bonusTimeLeft;
    SceneCounts usedSuccessfully, usedWrong, miniGamesCompleted, miniGamesSkipped, hintsUsed;
    std::map<uint32_t, int64_t> searchDuration;
  };

  void BindScriptFunctions();
  // The current scene's number, for the per-scene counts of an event. Without a current
  // scene the event counts under scene 0 (and says so in the log).
  uint32_t CountingSceneId(const char* event) const;
  static std::optional<uint32_t> CurrentSceneId();
  void CountInScene(SceneCounts& counts, const char* event);
  // The sum of a per-scene map (wrapping at 32 bits).
  static uint32_t Total(const SceneCounts& counts);
  // Entry `index' of a bonus list, clamped to its last entry; 0 for an empty list.
  static uint32_t BonusEntry(const std::vector<uint32_t>& list, uint32_t index, const char* name);

  // Bonus settings.
  uint32_t mLevelCompleteBonus = 0;
  uint32_t mLevelSpeedPerSecondBonus = 0;
  uint32_t mNeededTimeForHOSpeedBonus = 0;
  uint32_t mHOTaskCompleteBonus = 0;
  uint32_t mFoundInventoryItemBonus = 0;
  uint32_t mUsedInventoryItemSuccessfullyBonus = 0;
  uint32_t mAdventureTaskCompleteBonus = 0;
  uint32_t mMiniGameTaskCompleteBonus = 0;
  uint32_t mClicksNeedForPenalty = 0;
  int64_t mTimeForClicksForPenalty = 0;
  int64_t mTimeForPenalty = 0;
  std::vector<uint32_t> mHOFoundBonus;
  std::vector<uint32_t> mHintUsedInLevelBonus;

  // Level state.
  uint32_t mLevelId = 0;
  uint32_t mBonusFromPreviousLevels = 0;
  uint32_t mOtherHighscoreMadeInLevel = 0;
  uint32_t mFoundInventoryItem = 0;
  uint32_t mAdventureTaskComplete = 0;
  uint32_t mHOBonus = 0;
  uint32_t mHOBonusComplete = 0;
  uint32_t mHOSpeedBonusLevel = 0;
  SceneCounts mUsedSuccessfully, mUsedWrong, mHOHits, mHOMisses, mHOTasks, mMiniGamesCompleted,
      mMiniGamesSkipped, mHintsUsed;
  uint32_t mUsedInventoryItemSuccessfullySave = 0;
  uint32_t mMiniGameTaskCompleteSave = 0;
  uint32_t mUsedHintsInLevelSave = 0;
  uint32_t mHOTaskCompleteSave = 0;
  int64_t mLevelStart = 0;
  std::deque<int64_t> mMissStamps;
  std::vector<uint32_t> mHitGaps;
  bool mPenaltyActive = false;
  int64_t mPenaltyStart = 0;
  LevelArchive mArchive;
  TString mHighscoreText;

  // Play clock.
  uint32_t mPauseCounter = 0;
  int64_t mCompleteTime = 0;
  int64_t mRemainingTime = 0;
  int64_t mStartTime = 0;
  int64_t mLastHitStamp = 0;  // 0: no hit in the current series
  uint32_t mHeldLastHitSpan = 0;
  uint32_t mElapsedTimeSinceLastHintUse = 100000;
  int64_t mHintResumeStamp = 0;
  int64_t mHitGapStamp = 0;
  int64_t mHeldHitGapSpan = 0;
  int64_t mSearchStamp = 0;
  int64_t mHeldSearchSpan = 0;
  TClock mPlayClock;
  uint32_t mHelpUseCount = 0;

  CModelBinding mBinding{this};
};

// The score operations for callers that may run while no player is chosen (the windows):
// each goes to the current instance and does nothing, answering 0, while there is none.
namespace HighscoreSystem {

// Any member: HighscoreSystem::Call(&CHighscoreSystem::HOStart).
template <typename R, typename... A, typename... Args>
R Call(R (CHighscoreSystem::*member)(A...), Args&&... args) {
  CHighscoreSystem* system = CHighscoreSystem::GetInstance();
  if (!system) return R();
  return (system->*member)(std::forward<Args>(args)...);
}
template <typename R, typename... A, typename... Args>
R Call(R (CHighscoreSystem::*member)(A...) const, Args&&... args) {
  const CHighscoreSystem* system = CHighscoreSystem::GetInstance();
  if (!system) return R();
  return (system->*member)(std::forward<Args>(args)...);
}

// The play clock as the screens use it.
inline void PausePlay() { Call(&CHighscoreSystem::PausePlay); }
inline void StartPlay() { Call(&CHighscoreSystem::StartPlay); }
inline uint32_t GetElapsedTimeSinceLastHintUse() { return Call(&CHighscoreSystem::GetElapsedTimeSinceLastHintUse); }
inline uint32_t GetPlayClockTime() { return Call(&CHighscoreSystem::GetPlayClockTime); }
inline uint32_t GetRemainingTimePercent() { return Call(&CHighscoreSystem::GetRemainingTimePercent); }
inline void CountHelpUse() { Call(&CHighscoreSystem::CountHelpUse); }
inline void SetClicksNeedForPenalty(uint32_t clicks) { Call(&CHighscoreSystem::SetClicksNeedForPenalty, clicks); }
inline void SetTimeForClicksForPenalty(int64_t seconds) {
  Call(&CHighscoreSystem::SetTimeForClicksForPenalty, seconds);
}
inline void SetTimeForPenalty(int64_t seconds) { Call(&CHighscoreSystem::SetTimeForPenalty, seconds); }

}  // namespace HighscoreSystem
