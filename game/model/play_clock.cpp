// The play clock of CHighscoreSystem: the level's bonus time counts down, and the hint
// clock, the hit gap and the search time count up, only while the pause counter is 0. A
// pause banks what ran; a resume re-stamps the clocks so that they keep their distance to
// now across the pause.

#include "model/highscore_system.h"
#include "platform/timer.h"

void CHighscoreSystem::PausePlay() {
  if (mPauseCounter == 0) {
    int64_t now = GetWallTime();
    int64_t ran = now - mStartTime;
    mRemainingTime = ran < mRemainingTime ? mRemainingTime - ran : 0;
    mHeldLastHitSpan = uint32_t(now - mLastHitStamp);
    mElapsedTimeSinceLastHintUse += uint32_t(now - mHintResumeStamp);
    mHeldHitGapSpan = now - mHitGapStamp;
    mHeldSearchSpan = now - mSearchStamp;
    mPlayClock.Pause();
  }
  mPauseCounter++;
}

void CHighscoreSystem::StartPlay() {
  if (mPauseCounter > 0) mPauseCounter--;
  if (mPauseCounter > 0) return;
  // Also with the counter at 0 already: the stamps move to now, so time already counted
  // since the last resume is not counted again.
  int64_t now = GetWallTime();
  mLastHitStamp = now - mHeldLastHitSpan;
  mStartTime = now;
  mHintResumeStamp = now;
  mHitGapStamp = now - mHeldHitGapSpan;
  mSearchStamp = now - mHeldSearchSpan;
  mPlayClock.Start();
}

uint32_t CHighscoreSystem::GetElapsedTimeSinceLastHintUse() const {
  if (mPauseCounter > 0) return mElapsedTimeSinceLastHintUse;
  return mElapsedTimeSinceLastHintUse + uint32_t(GetWallTime() - mHintResumeStamp);
}

uint32_t CHighscoreSystem::GetRemainingTimePercent() const {
  if (mCompleteTime <= 0) return 0;
  int64_t ran = GetWallTime() - mStartTime;
  int64_t left = ran < mRemainingTime ? mRemainingTime - ran : 0;
  // 64-bit and capped: values loaded from a saved game may leave more time than the level
  // had, and the screens draw from this percentage.
  int64_t percent = left * 100 / mCompleteTime;
  return uint32_t(percent > 100 ? 100 : percent);
}
