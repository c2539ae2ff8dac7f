#pragma once
// TAnimTask: a task that fires periodically on a clock (or the engine timer), the base of
// script tasks, window animations and sprite animations.

#include <cstdint>

#include "platform/task_list.h"

class TClock;

class TAnimTask : public TTask {
 public:
  static constexpr uint32_t Stopped = 0xFFFFFFFF;
  // Past this many milliseconds behind, a task gives up catching up.
  static constexpr int32_t MaxCatchUp = 1000;

  // clock: a non-owning link; it must outlive the task or be replaced with SetClock.
  explicit TAnimTask(TClock* clock = nullptr);

  bool IsReady(int passKind) override;
  bool Run() override;
  // One step of the animation; false ends the task.
  virtual bool Animate() = 0;

  uint32_t GetTime() const;
  void SetDone(bool done) { mDone = done; }
  bool IsDone() const { return mDone; }
  void Schedule(uint32_t delay, bool repeat, bool fromNow, bool catchUp);
  // Milliseconds since the task was due; -1 when stopped.
  int32_t GetTimeSinceDue() const;
  void Stop();
  bool IsStopped() const { return mNextDue == Stopped; }
  void SetClock(TClock* clock);
  TClock* GetClock() const { return mClock; }
  uint32_t GetNextDue() const { return mNextDue; }
  uint32_t GetPeriod() const { return mPeriod; }

 private:
  bool mDone = false;
  uint32_t mNextDue;
  uint32_t mPeriod = 0;
  bool mFromNow = false;
  bool mCatchUp = false;
  TClock* mClock;
};
