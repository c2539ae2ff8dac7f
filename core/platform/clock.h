#pragma once
// TClock: a pausable millisecond clock on the engine timer. It starts paused at 0.

#include <cstdint>

class TClock {
 public:
  virtual ~TClock() = default;
  uint32_t GetTime() const;
  void SetTime(uint32_t time);  // the paused state stays as it is
  void Start();                 // resumes from where it was paused
  bool Pause();                 // answers whether it was paused already
  void Reset();                 // paused at 0
  bool IsPaused() const { return mPaused; }

 private:
  uint32_t RunningTime() const;

  bool mPaused = true;
  bool mStarted = false;
  uint32_t mBaseTime = 0;
  uint32_t mOffset = 0;
  uint32_t mPausedAt = 0;
  uint32_t mPausedTotal = 0;
};
