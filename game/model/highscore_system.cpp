#include "model/highscore_system.h"

#include <algorithm>

#include "model/game.h"
#include "model/record_writer.h"
#include "platform/log.h"
#include "platform/timer.h"

namespace {

std::unique_ptr<CHighscoreSystem> gInstance;

// "\tName{1, 2, 3};\n": a bonus list as a nested record.
void WriteList(CRecordWriter& record, const char* name, const std::vector<uint32_t>& list) {
  std::string line = std::string("\t") + name + "{";
  for (size_t i = 0; i < list.size(); ++i) {
    if (i) line += ", ";
    line += std::to_string(list[i]);
  }
  line += "};\n";
  record.Text(line);
}

}  // namespace

CHighscoreSystem* CHighscoreSystem::GetInstance() { return gInstance.get(); }

CHighscoreSystem* CHighscoreSystem::CreateInstance() {
  gInstance.reset();
  gInstance = std::make_unique<CHighscoreSystem>();
  return gInstance.get();
}

void CHighscoreSystem::DestroyInstance() { gInstance.reset(); }

CHighscoreSystem::CHighscoreSystem() {
  mHintResumeStamp = GetWallTime();
  mPlayClock.Reset();
  mPlayClock.Start();
  BindScriptFunctions();
}

void CHighscoreSystem::BindScriptFunctions() {
  using H = CHighscoreSystem;
  mBinding.Bind("GetHighscore", this, &H::GetHighscore);
  mBinding.Bind("LoadHighscoreCurrentUser", this, &H::LoadHighscoreCurrentUser);
  mBinding.Bind("SaveHighscoreCurrentUser", this, &H::SaveHighscoreCurrentUser);
  mBinding.Bind("FoundInventoryItem", this, &H::FoundInventoryItem);
  mBinding.Bind("UsedInventoryItemSuccessfully", this, &H::UsedInventoryItemSuccessfully);
  mBinding.Bind("UsedInventoryItemWrong", this, &H::UsedInventoryItemWrong);
  mBinding.Bind("AdventureTaskComplete", this, &H::AdventureTaskComplete);
  mBinding.Bind("HOStart", this, &H::HOStart);
  mBinding.Bind("HOHitClick", this, &H::HOHitClick);
  mBinding.Bind("HOMissClick", this, &H::HOMissClick);
  mBinding.Bind("HOTaskComplete", this, &H::HOTaskComplete);
  mBinding.Bind("HOEnd", this, &H::HOEnd);
  mBinding.Bind("MiniGameTaskComplete", this, &H::MiniGameTaskComplete);
  mBinding.Bind("MiniGameSkiped", this, &H::MiniGameSkiped);
  mBinding.Bind("UseHint", this, &H::UseHint);
  mBinding.Bind("StartPlay", this, &H::StartPlay);
  mBinding.Bind("PausePlay", this, &H::PausePlay);
  mBinding.Bind("StartLevel", this, &H::StartLevel);
  mBinding.Bind("EndLevel", this, &H::EndLevel);
  mBinding.Bind("GetHighscoreAsInt", this, &H::GetHighscoreAsInt);
  mBinding.Bind("GetHOBonus", this, &H::GetHOBonus);
  mBinding.Bind("GetPreviousLevelBonus", this, &H::GetPreviousLevelBonus);
  mBinding.Bind("GetBonus", this, &H::GetBonus);
  mBinding.Bind("GetTimeBonus", this, &H::GetTimeBonus);
  mBinding.Bind("GetUsedHintsBonus", this, &H::GetUsedHintsBonus);
  mBinding.Bind("GetLevelCompleteBonus", this, &H::GetLevelCompleteBonus);
  mBinding.Bind("AddToOtherHighscoreMadeInLevel", this, &H::AddToOtherHighscoreMadeInLevel);
  mBinding.Bind("SetMiniGameTaskCompleteBonus", this, &H::SetMiniGameTaskCompleteBonus);
}

void CHighscoreSystem::Serialize(std::string& out) const {
  // The record ends in a plain "};" line, not in the usual end comment.
  CRecordWriter record;
  record.Text("\nMakeHighscoreSystem\n{\n");
  record.Number("levelCompleteBonus", mLevelCompleteBonus);
  record.Number("levelSpeedPerSecondBonus", mLevelSpeedPerSecondBonus);
  record.Number("neededTimeForHOSpeedBonusInSeconds", mNeededTimeForHOSpeedBonus);
  record.Number("HOTaskCompleteBonus", mHOTaskCompleteBonus);
  record.Number("foundInventoryItemBonus", mFoundInventoryItemBonus);
  record.Number("usedInventoryItemSuccessfullyBonus", mUsedInventoryItemSuccessfullyBonus);
  record.Number("adventureTaskCompleteBonus", mAdventureTaskCompleteBonus);
  record.Number("miniGameTaskCompleteBonus", mMiniGameTaskCompleteBonus);
  record.Number("clicksNeedForPenalty", mClicksNeedForPenalty);
  record.Number("timeForClicksForPenalty", mTimeForClicksForPenalty);
  record.Number("timeForPenalty", mTimeForPenalty);
  WriteList(record, "MakeHOFoundBonus", mHOFoundBonus);
  WriteList(record, "MakeHintUsedInLevelBonus", mHintUsedInLevelBonus);
  record.Text("};\n");
  record.Finish(out);
}

void CHighscoreSystem::AddHOFoundBonuses(const std::vector<uint32_t>& bonuses) {
  mHOFoundBonus.insert(mHOFoundBonus.end(), bonuses.begin(), bonuses.end());
}

void CHighscoreSystem::AddHintUsedInLevelBonuses(const std::vector<uint32_t>& bonuses) {
  mHintUsedInLevelBonus.insert(mHintUsedInLevelBonus.end(), bonuses.begin(), bonuses.end());
}

std::optional<uint32_t> CHighscoreSystem::CurrentSceneId() {
  CGame* game = CGame::GetInstance();
  CScene* scene = game ? game->GetCurrentScene() : nullptr;
  if (!scene) return std::nullopt;
  return uint32_t(scene->GetSeqId());
}

uint32_t CHighscoreSystem::CountingSceneId(const char* event) const {
  if (std::optional<uint32_t> id = CurrentSceneId()) return *id;
  LogPrintf("Highscore: %s without a current scene counts under scene 0", event);
  return 0;
}

uint32_t CHighscoreSystem::Total(const SceneCounts& counts) {
  uint32_t sum = 0;
  for (const auto& entry : counts) sum += entry.second;
  return sum;
}

void CHighscoreSystem::CountInScene(SceneCounts& counts, const char* event) { counts[CountingSceneId(event)]++; }

uint32_t CHighscoreSystem::BonusEntry(const std::vector<uint32_t>& list, uint32_t index, const char* name) {
  if (list.empty()) {
    LogPrintf("Highscore: the bonus list %s is empty; the bonus is 0", name);
    return 0;
  }
  return list[std::min<size_t>(index, list.size() - 1)];
}

uint32_t CHighscoreSystem::FoundInventoryItem() {
  mFoundInventoryItem++;
  return mFoundInventoryItemBonus;
}

uint32_t CHighscoreSystem::UsedInventoryItemSuccessfully() {
  CountInScene(mUsedSuccessfully, "UsedInventoryItemSuccessfully");
  return mUsedInventoryItemSuccessfullyBonus;
}

void CHighscoreSystem::UsedInventoryItemWrong() { CountInScene(mUsedWrong, "UsedInventoryItemWrong"); }

uint32_t CHighscoreSystem::AdventureTaskComplete() {
  mAdventureTaskComplete++;
  return mAdventureTaskCompleteBonus;
}

void CHighscoreSystem::HOStart() { mHitGapStamp = mSearchStamp = GetWallTime(); }

uint32_t CHighscoreSystem::HOHitClick() {
  int64_t now = GetWallTime();
  mHitGaps.push_back(uint32_t(now - mHitGapStamp));
  mHitGapStamp = now;
  CountInScene(mHOHits, "HOHitClick");
  // A hit soon after the previous one climbs the ladder; its top rung holds. A level
  // beyond the list (from a saved game of other settings) is taken as the top.
  uint32_t top = mHOFoundBonus.empty() ? 0 : uint32_t(mHOFoundBonus.size() - 1);
  if (now - mLastHitStamp <= int64_t(mNeededTimeForHOSpeedBonus))
    mHOSpeedBonusLevel = mHOSpeedBonusLevel < top ? mHOSpeedBonusLevel + 1 : top;
  else
    mHOSpeedBonusLevel = 0;
  uint32_t bonus = BonusEntry(mHOFoundBonus, mHOSpeedBonusLevel, "MakeHOFoundBonus");
  mHOBonus += bonus;
  mLastHitStamp = now;
  if (!mPenaltyActive) mMissStamps.clear();
  return bonus;
}

void CHighscoreSystem::HOMissClick() {
  CountInScene(mHOMisses, "HOMissClick");
  mHOSpeedBonusLevel = 0;
  mLastHitStamp = 0;
  mMissStamps.push_back(GetWallTime());
}

uint32_t CHighscoreSystem::HOTaskComplete() {
  CountInScene(mHOTasks, "HOTaskComplete");
  return mHOTaskCompleteBonus;
}

void CHighscoreSystem::HOEnd() {
  int64_t now = GetWallTime();
  mHOBonusComplete += mHOBonus;
  mHOBonus = 0;
  mHOSpeedBonusLevel = 0;
  mLastHitStamp = 0;
  mHeldHitGapSpan = 0;
  mHitGapStamp = now;
  mPenaltyActive = false;
  mPenaltyStart = 0;
  if (std::optional<uint32_t> scene = CurrentSceneId()) mArchive.searchDuration[*scene] = now - mSearchStamp;
}

uint32_t CHighscoreSystem::MiniGameTaskComplete() {
  CountInScene(mMiniGamesCompleted, "MiniGameTaskComplete");
  return mMiniGameTaskCompleteBonus;
}

void CHighscoreSystem::MiniGameSkiped() { CountInScene(mMiniGamesSkipped, "MiniGameSkiped"); }

void CHighscoreSystem::UseHint() {
  CountInScene(mHintsUsed, "UseHint");
  mElapsedTimeSinceLastHintUse = 0;
  mHintResumeStamp = GetWallTime();
}

void CHighscoreSystem::StartLevel(uint32_t levelId, int32_t bonusSeconds) {
  int64_t now = GetWallTime();
  mLevelId = levelId;
  mCompleteTime = mRemainingTime = bonusSeconds;
  // Set directly: the millisecond clock and the search stamps stay as they are.
  mPauseCounter = 0;
  mFoundInventoryItem = 0;
  for (SceneCounts* counts : {&mUsedSuccessfully, &mUsedWrong, &mHOTasks, &mMiniGamesCompleted,
                              &mMiniGamesSkipped, &mHintsUsed})
    counts->clear();
  mAdventureTaskComplete = 0;
  mLastHitStamp = 0;
  mHOBonus = mHOBonusComplete = mHOSpeedBonusLevel = 0;
  mElapsedTimeSinceLastHintUse = 100000;
  mHintResumeStamp = mStartTime = mLevelStart = now;
  mUsedInventoryItemSuccessfullySave = mMiniGameTaskCompleteSave = mUsedHintsInLevelSave = mHOTaskCompleteSave = 0;
  mOtherHighscoreMadeInLevel = 0;
}

void CHighscoreSystem::EndLevel() {
  PausePlay();
  HOEnd();
  mArchive.bonusTimeLeft[mLevelId] = mRemainingTime;
  mBonusFromPreviousLevels +=
      GetBonus() + GetUsedHintsBonus() + mOtherHighscoreMadeInLevel + mLevelCompleteBonus + GetTimeBonus();
  mArchive.duration[mLevelId] = GetWallTime() - mLevelStart;
  mLevelId = 0;
  mFoundInventoryItem = 0;
  mAdventureTaskComplete = 0;
  std::pair<SceneCounts*, SceneCounts*> archived[] = {{&mUsedSuccessfully, &mArchive.usedSuccessfully},
                                                      {&mUsedWrong, &mArchive.usedWrong},
                                                      {&mMiniGamesCompleted, &mArchive.miniGamesCompleted},
                                                      {&mMiniGamesSkipped, &mArchive.miniGamesSkipped},
                                                      {&mHintsUsed, &mArchive.hintsUsed}};
  for (auto& [live, archive] : archived) {
    for (const auto& [scene, count] : *live) (*archive)[scene] = count;
    live->clear();
  }
  mHOTasks.clear();
  mRemainingTime = mCompleteTime = 0;
  mHOBonusComplete = mHOSpeedBonusLevel = 0;
  mLastHitStamp = 0;
  mUsedInventoryItemSuccessfullySave = mMiniGameTaskCompleteSave = mUsedHintsInLevelSave = mHOTaskCompleteSave = 0;
  mOtherHighscoreMadeInLevel = 0;
}

uint32_t CHighscoreSystem::AddToOtherHighscoreMadeInLevel(uint32_t points) {
  mOtherHighscoreMadeInLevel += points;
  return points;
}

bool CHighscoreSystem::IsClickPenaltyActive() {
  int64_t now = GetWallTime();
  if (mPenaltyActive) {
    if (now - mPenaltyStart < mTimeForPenalty) return true;
    mPenaltyActive = false;
  }
  if (mClicksNeedForPenalty == 0) return false;
  if (mTimeForClicksForPenalty != 0) {
    while (!mMissStamps.empty() && now - mMissStamps.front() > mTimeForClicksForPenalty) mMissStamps.pop_front();
  }
  if (mMissStamps.size() >= mClicksNeedForPenalty) {
    mPenaltyActive = true;
    mPenaltyStart = now;
    mMissStamps.clear();
  }
  return mPenaltyActive;
}

TString CHighscoreSystem::GetHighscore() {
  mHighscoreText = TString::Printf("%u", GetHighscoreAsInt());
  return mHighscoreText;
}

uint32_t CHighscoreSystem::GetHighscoreAsInt() const {
  return GetBonus() + mOtherHighscoreMadeInLevel + mBonusFromPreviousLevels + mHOBonus;
}

uint32_t CHighscoreSystem::GetBonus() const {
  return mHOTaskCompleteBonus * (Total(mHOTasks) + mHOTaskCompleteSave) + mHOBonusComplete +
         mUsedInventoryItemSuccessfullyBonus * (mUsedInventoryItemSuccessfullySave + Total(mUsedSuccessfully)) +
         mAdventureTaskCompleteBonus * mAdventureTaskComplete + mFoundInventoryItemBonus * mFoundInventoryItem +
         mMiniGameTaskCompleteBonus * (Total(mMiniGamesCompleted) + mMiniGameTaskCompleteSave);
}

uint32_t CHighscoreSystem::GetTimeBonus() const { return mLevelSpeedPerSecondBonus * uint32_t(mRemainingTime); }

uint32_t CHighscoreSystem::GetUsedHintsBonus() const {
  return BonusEntry(mHintUsedInLevelBonus, Total(mHintsUsed) + mUsedHintsInLevelSave, "MakeHintUsedInLevelBonus");
}
