// The per-player values of CHighscoreSystem in the preferences database: 18 integers under
// "HighscoreCurrentUser_" keys, written and read in one order. Times are kept as distances
// to now, so a game loaded later goes on where it stopped.

#include "model/highscore_system.h"
#include "persistence/prefs_db.h"
#include "platform/timer.h"

namespace {

TString Key(const char* name) { return TString("HighscoreCurrentUser_") + name; }

}  // namespace

void CHighscoreSystem::LoadHighscoreCurrentUser() {
  WithPlayerPrefs("Highscore", "the score values are not loaded",
                  [this](TPrefsDB& db, int user) { LoadValues(db, user); });
}

void CHighscoreSystem::SaveHighscoreCurrentUser() {
  WithPlayerPrefs("Highscore", "the score values are not saved",
                  [this](TPrefsDB& db, int user) { SaveValues(db, user); });
}

void CHighscoreSystem::SaveValues(TPrefsDB& db, int user) {
  int64_t now = GetWallTime();
  // Values are stored as "%d" of their low 32 bits; loading takes them back the same way.
  auto put = [&](const char* name, int64_t value) { db.SetInt(Key(name), int(uint32_t(value)), user, false); };
  if (mPauseCounter == 0) mHeldLastHitSpan = uint32_t(now - mLastHitStamp);
  put("LevelId", mLevelId);
  put("OtherHighscoreMadeInLevel", mOtherHighscoreMadeInLevel);
  put("BonusFromPreviousLevels", mBonusFromPreviousLevels);
  put("FoundInventoryItem", mFoundInventoryItem);
  put("AdventureTaskComplete", mAdventureTaskComplete);
  put("HOBonus", mHOBonus);
  put("HOBonusComplete", mHOBonusComplete);
  put("HOSpeedBonusLevel", mHOSpeedBonusLevel);
  put("TimerLastHitClickHOGSave", mHeldLastHitSpan);
  put("CompleteTime", mCompleteTime);
  put("RemainingTime", mRemainingTime);
  put("startTimeSave", now - mStartTime);
  put("ElapsedTimeSinceLastHintUse", GetElapsedTimeSinceLastHintUse());
  put("levelStartTimeSave", now - mLevelStart);
  put("UsedInventoryItemSuccessfullySave", mUsedInventoryItemSuccessfullySave + Total(mUsedSuccessfully));
  put("MiniGameTaskCompleteSave", mMiniGameTaskCompleteSave + Total(mMiniGamesCompleted));
  put("UsedHintsInLevelSave", mUsedHintsInLevelSave + Total(mHintsUsed));
  put("HOTaskCompleteSave", mHOTaskCompleteSave + Total(mHOTasks));
}

void CHighscoreSystem::LoadValues(TPrefsDB& db, int user) {
  int64_t now = GetWallTime();
  auto get = [&](const char* name, int def) { return db.GetInt(Key(name), def, user); };
  auto getUnsigned = [&](const char* name, int def) { return uint32_t(get(name, def)); };
  // Their totals come back through the four "Save" counts.
  mUsedSuccessfully.clear();
  mMiniGamesCompleted.clear();
  mHintsUsed.clear();
  mHOTasks.clear();
  mLevelId = getUnsigned("LevelId", 1);
  mOtherHighscoreMadeInLevel = getUnsigned("OtherHighscoreMadeInLevel", 0);
  mBonusFromPreviousLevels = getUnsigned("BonusFromPreviousLevels", 0);
  mFoundInventoryItem = getUnsigned("FoundInventoryItem", 0);
  mAdventureTaskComplete = getUnsigned("AdventureTaskComplete", 0);
  mHOBonus = getUnsigned("HOBonus", 0);
  mHOBonusComplete = getUnsigned("HOBonusComplete", 0);
  mHOSpeedBonusLevel = getUnsigned("HOSpeedBonusLevel", 0);
  mHeldLastHitSpan = getUnsigned("TimerLastHitClickHOGSave", 0);
  mLastHitStamp = now - mHeldLastHitSpan;
  mCompleteTime = get("CompleteTime", 0);
  mRemainingTime = get("RemainingTime", 0);
  mStartTime = now - get("startTimeSave", 0);
  mElapsedTimeSinceLastHintUse = getUnsigned("ElapsedTimeSinceLastHintUse", 100000);
  mLevelStart = now - get("levelStartTimeSave", 0);
  mUsedInventoryItemSuccessfullySave = getUnsigned("UsedInventoryItemSuccessfullySave", 0);
  mMiniGameTaskCompleteSave = getUnsigned("MiniGameTaskCompleteSave", 0);
  mUsedHintsInLevelSave = getUnsigned("UsedHintsInLevelSave", 0);
  mHOTaskCompleteSave = getUnsigned("HOTaskCompleteSave", 0);
  mHintResumeStamp = now;
  // A restored game starts paused; the first resume (normally the window in front going)
  // starts the clocks.
  mPauseCounter = 1;
}
