#include "engine/cursor_thread.h"

#include <chrono>

TCursorThread::~TCursorThread() { Stop(); }

void TCursorThread::Start(TPoll poll) {
  Stop();
  mPoll = std::move(poll);
  mStop = false;
  mThread = std::thread(&TCursorThread::Run, this);
}

void TCursorThread::Stop() {
  if (!mThread.joinable()) return;
  {
    // Under the mutex, so the worker cannot miss the wake-up between its test and its wait.
    std::lock_guard<std::mutex> lock(mMutex);
    mStop = true;
  }
  mWake.notify_all();
  mThread.join();
  mPoll = nullptr;
}

void TCursorThread::Run() {
  while (!mStop) {
    bool drew = mPoll && mPoll();
    std::unique_lock<std::mutex> lock(mMutex);
    mWake.wait_for(lock, std::chrono::milliseconds(drew ? DrawnSleepMs : IdleSleepMs), [this] { return mStop.load(); });
  }
}
