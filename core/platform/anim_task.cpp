#include "platform/anim_task.h"

#include "platform/clock.h"
#include "platform/timer.h"

TAnimTask::TAnimTask(TClock* clock) : mClock(clock) { mNextDue = GetTime(); }

uint32_t TAnimTask::GetTime() const { return mClock ? mClock->GetTime() : GetTimer(); }

bool TAnimTask::IsReady(int passKind) {
  if (passKind == 1) return mDone;
  if (IsStopped()) return false;
  return TimeDiff(GetTime(), mNextDue) >= 0;
}

void TAnimTask::Schedule(uint32_t delay, bool repeat, bool fromNow, bool catchUp) {
  mFromNow = fromNow;
  mCatchUp = catchUp;
  if (!fromNow && !IsStopped())
    mNextDue += delay;
  else
    mNextDue = GetTime() + delay;
  mPeriod = repeat ? delay : 0;
}

int32_t TAnimTask::GetTimeSinceDue() const { return IsStopped() ? -1 : TimeDiff(GetTime(), mNextDue); }

void TAnimTask::Stop() {
  mNextDue = Stopped;
  mDone = false;
}

bool TAnimTask::Run() {
  uint32_t now = GetTime();
  if (TimeDiff(now, mNextDue) > MaxCatchUp) mNextDue = GetTime();
  bool goOn;
  do {
    mNextDue = mFromNow ? now + mPeriod : mNextDue + mPeriod;
    goOn = Animate();
    // Without a period the due time never moves, so catching up would never end; and the
    // distance is signed, so a due time that wrapped past 2^32 does not look far behind.
  } while (goOn && mCatchUp && mPeriod != 0 && !IsStopped() && TimeDiff(now, mNextDue) > 0);
  return goOn;
}

void TAnimTask::SetClock(TClock* clock) {
  uint32_t remaining = mNextDue - GetTime();
  mClock = clock;
  if (!IsStopped()) mNextDue = GetTime() + remaining;
}
