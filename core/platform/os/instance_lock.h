#pragma once
// TInstanceLock: the single-instance lock, an advisory lock (flock) on a file in the
// user's data folder. The lock goes with the process, so a crashed instance never blocks
// the next start; child processes do not inherit it.

#include <string>

class TInstanceLock {
 public:
  enum class TResult { Acquired, HeldElsewhere, Failed };

  TInstanceLock() = default;
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Creates the file when missing and takes the lock without waiting.
  TResult Acquire(const std::string& path);
  void Release();
  bool IsHeld() const { return mFd >= 0; }

 private:
  int mFd = -1;
};
