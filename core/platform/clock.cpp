#include "platform/clock.h"

#include "platform/timer.h"

// Unsigned arithmetic throughout: it stays right across the timer's wrap.
uint32_t TClock::RunningTime() const { return mOffset - mPausedTotal + (GetTimer() - mBaseTime); }

uint32_t TClock::GetTime() const { return mPaused ? mPausedAt : RunningTime(); }

void TClock::SetTime(uint32_t time) {
  mBaseTime = GetTimer();
  mOffset = time;
  mPausedAt = time;
  mPausedTotal = 0;
}

void TClock::Start() {
  if (!mPaused) return;
  mPaused = false;
  if (!mStarted) {
    mStarted = true;
    SetTime(0);
  } else {
    mPausedTotal += RunningTime() - mPausedAt;
  }
}

bool TClock::Pause() {
  if (mPaused) return true;
  mPausedAt = GetTime();
  mPaused = true;
  return false;
}

void TClock::Reset() {
  SetTime(0);
  mPaused = true;
}
