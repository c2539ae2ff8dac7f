// The cursor thread: it polls until stopped, and a stop does not wait out its sleep.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/cursor_thread.h"

TEST(CursorThread, PollsUntilStoppedAndStopsAtOnce) {
  std::atomic<int> polls{0};
  TCursorThread thread;
  thread.Start([&] {
    ++polls;
    return true;  // drew: polls again after 16 ms
  });
  for (int i = 0; i < 200 && polls < 3; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(polls.load(), 3);
  thread.Stop();
  EXPECT_FALSE(thread.IsRunning());
  int after = polls;
  std::this_thread::sleep_for(std::chrono::milliseconds(40));
  EXPECT_EQ(polls.load(), after);
}

// The stop flag is seen by the sleeping worker at once: stopping does not wait out its
// 250 ms idle sleep.
TEST(CursorThread, StopWakesTheIdleSleep) {
  std::atomic<int> polls{0};
  TCursorThread thread;
  thread.Start([&] {
    ++polls;
    return false;  // nothing drawn: sleeps 250 ms
  });
  for (int i = 0; i < 200 && polls < 1; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  auto start = std::chrono::steady_clock::now();
  thread.Stop();
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LT(took.count(), int(TCursorThread::IdleSleepMs) / 2);
  EXPECT_EQ(polls.load(), 1);
}
