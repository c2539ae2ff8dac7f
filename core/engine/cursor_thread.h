#pragma once
// TCursorThread: the worker that keeps the drawn mouse cursor moving while a frame takes
// long. It polls until stopped: after a poll that drew the cursor it sleeps 16 ms,
// otherwise 250 ms. Stop wakes it at once and joins it, so whatever the poll uses may be
// destroyed right after Stop returns.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class TCursorThread {
 public:
  // Runs on the worker thread; answers whether it drew the cursor.
  using TPoll = std::function<bool()>;

  TCursorThread() = default;
  ~TCursorThread();
  TCursorThread(const TCursorThread&) = delete;
  TCursorThread& operator=(const TCursorThread&) = delete;

  void Start(TPoll poll);
  void Stop();
  bool IsRunning() const { return mThread.joinable(); }

  static constexpr uint32_t DrawnSleepMs = 16;
  static constexpr uint32_t IdleSleepMs = 250;

 private:
  void Run();

  TPoll mPoll;
  std::thread mThread;
  std::mutex mMutex;
  std::condition_variable mWake;
  std::atomic<bool> mStop{false};
};
