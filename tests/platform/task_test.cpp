#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <set>

#include "platform/anim_task.h"
#include "platform/clock.h"
#include "platform/random.h"
#include "platform/task_list.h"
#include "platform/timer.h"
#include "test_util.h"

namespace {

// A task that counts its runs and its own deletion, with a step to run inside Run.
struct TCountingTask : TTask {
  TCountingTask(int* deleted, bool result = true) : mDeleted(deleted), mResult(result) {}
  ~TCountingTask() override {
    if (mDeleted) ++*mDeleted;
  }
  bool Run() override {
    ++runs;
    if (step) step();
    return mResult;
  }
  int runs = 0;
  std::function<void()> step;
  int* mDeleted;
  bool mResult;
};

struct TCountingAnim : TAnimTask {
  using TAnimTask::TAnimTask;
  bool Animate() override {
    ++steps;
    if (onStep) onStep();
    return result;
  }
  int steps = 0;
  bool result = true;
  std::function<void()> onStep;
};

}  // namespace

TEST(TaskList, RemovalDuringAPassIsDeferredAndNotDeleted) {
  int deleted = 0;
  TTaskList list;
  auto* first = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(&deleted)));
  auto* second = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(&deleted)));
  std::unique_ptr<TTask> handedBack;
  first->step = [&] { handedBack = list.RemoveTask(second); };
  list.RunTasks(0);
  EXPECT_EQ(first->runs, 1);
  EXPECT_EQ(second->runs, 0);  // skipped for the rest of the pass
  EXPECT_FALSE(list.Contains(second));
  EXPECT_EQ(deleted, 0);
  ASSERT_EQ(handedBack.get(), second);
  handedBack.reset();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(list.RemoveTask(second), nullptr);  // no longer listed
}

TEST(TaskList, SelfRemovalHandsTheTaskBack) {
  int deleted = 0;
  TTaskList list;
  std::unique_ptr<TTask> self;
  auto* task = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(&deleted, false)));
  task->step = [&] { self = list.RemoveTask(task); };
  list.RunTasks(0);
  EXPECT_EQ(deleted, 0);  // answered false, but it was handed back first
  EXPECT_FALSE(list.Contains(task));
  self.reset();
  EXPECT_EQ(deleted, 1);
}

TEST(TaskList, FinishedTasksAreDeletedOnce) {
  int deleted = 0;
  {
    TTaskList list;
    list.AddTask(std::make_unique<TCountingTask>(&deleted, false));
    auto* clearing = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(&deleted, false)));
    auto* later = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(&deleted)));
    // Clear inside a pass: everything goes after the pass, the clearing task only once
    // though it also answers false; the later task does not run.
    clearing->step = [&] { list.Clear(); };
    bool laterRan = false;
    later->step = [&] { laterRan = true; };
    list.RunTasks(0);
    EXPECT_FALSE(laterRan);
    EXPECT_EQ(deleted, 3);
    EXPECT_FALSE(list.Contains(later));
    list.AddTask(std::make_unique<TCountingTask>(&deleted));
  }
  EXPECT_EQ(deleted, 4);  // the destructor clears
}

TEST(TaskList, TaskAddedByTheLastTaskWaitsForTheNextPass) {
  TTaskList list;
  TCountingTask* added = nullptr;
  auto* task = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(nullptr)));
  task->step = [&] {
    if (!added) added = static_cast<TCountingTask*>(list.AddTask(std::make_unique<TCountingTask>(nullptr)));
  };
  list.RunTasks(0);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->runs, 0);
  list.RunTasks(0);
  EXPECT_EQ(added->runs, 1);
}

TEST(Clock, PauseResumeAndReset) {
  TFakeTimer timer(5000);
  TClock clock;
  EXPECT_TRUE(clock.IsPaused());
  EXPECT_EQ(clock.GetTime(), 0u);
  clock.Start();
  FakeNow += 100;
  EXPECT_FALSE(clock.Pause());
  EXPECT_TRUE(clock.Pause());
  FakeNow += 50;
  EXPECT_EQ(clock.GetTime(), 100u);
  clock.Start();
  FakeNow += 100;
  EXPECT_EQ(clock.GetTime(), 200u);
  clock.Reset();
  FakeNow += 30;
  EXPECT_TRUE(clock.IsPaused());
  EXPECT_EQ(clock.GetTime(), 0u);
  clock.Start();
  FakeNow += 10;
  EXPECT_EQ(clock.GetTime(), 10u);
  clock.SetTime(500);
  FakeNow += 5;
  EXPECT_EQ(clock.GetTime(), 505u);
}

TEST(Clock, RunsAcrossTheTimerWrap) {
  TFakeTimer timer(0xFFFFFF00u);
  TClock clock;
  clock.Start();
  FakeNow += 0x200;  // wraps past 2^32
  EXPECT_EQ(clock.GetTime(), 0x200u);
}

TEST(AnimTask, CatchUpAfterStalls) {
  TFakeTimer timer(10000);
  struct {
    uint32_t stall;
    int steps;
  } cases[] = {{0, 1}, {500, 5}, {999, 10}, {1500, 1}};
  for (const auto& c : cases) {
    TCountingAnim task;
    task.Schedule(100, true, false, true);
    FakeNow += 100 + c.stall;
    ASSERT_TRUE(task.IsReady(0));
    EXPECT_TRUE(task.Run());
    EXPECT_EQ(task.steps, c.steps) << "stall " << c.stall;
    EXPECT_LE(task.GetTimeSinceDue(), 0);
  }
}

TEST(AnimTask, ScheduleStopDoneAndClock) {
  TFakeTimer timer(1000);
  TCountingAnim task;
  task.Schedule(50, false, false, false);
  EXPECT_FALSE(task.IsReady(0));
  FakeNow += 50;
  EXPECT_TRUE(task.IsReady(0));
  EXPECT_EQ(task.GetTimeSinceDue(), 0);
  task.Stop();
  EXPECT_FALSE(task.IsReady(0));
  EXPECT_EQ(task.GetTimeSinceDue(), -1);
  task.SetDone(true);
  EXPECT_TRUE(task.IsReady(1));  // pass kind 1 asks for the done flag only

  TClock clock;
  clock.Start();
  TCountingAnim onClock(&clock);
  onClock.Schedule(200, true, true, false);
  FakeNow += 50;
  clock.Pause();
  FakeNow += 1000;  // a paused clock holds the task back
  EXPECT_FALSE(onClock.IsReady(0));
  TClock other;
  other.Start();
  onClock.SetClock(&other);  // stays 150 ms away from its due time
  FakeNow += 149;
  EXPECT_FALSE(onClock.IsReady(0));
  FakeNow += 1;
  EXPECT_TRUE(onClock.IsReady(0));
}

TEST(AnimTask, ZeroPeriodWithCatchUpRunsOnce) {
  TFakeTimer timer(1000);
  TCountingAnim task;
  task.Schedule(0, true, false, true);
  FakeNow += 300;
  // The due time never moves with period 0: catching up spun forever before.
  EXPECT_TRUE(task.Run());
  EXPECT_EQ(task.steps, 1);
  EXPECT_TRUE(task.IsReady(0));  // due again at once, every pass
}

TEST(AnimTask, TimerWrapDoesNotLookLikeAHugeBacklog) {
  TFakeTimer timer(0xFFFFFF00u);
  TCountingAnim task;
  task.Schedule(0xA0, true, false, true);  // due at 0xFFFFFFA0
  FakeNow = 0xFFFFFFF0u;
  ASSERT_TRUE(task.IsReady(0));
  // The next due time wraps to 0x40: read unsigned it lay "behind" now by almost 2^32 ms,
  // and catching up ran for millions of steps.
  EXPECT_TRUE(task.Run());
  EXPECT_EQ(task.steps, 1);
  EXPECT_EQ(task.GetNextDue(), 0x40u);
  EXPECT_FALSE(task.IsReady(0));
  FakeNow += 0x50;  // 0x40, after the wrap
  EXPECT_TRUE(task.IsReady(0));
}

TEST(AnimTask, AnimateFalseRemovesFromTheList) {
  TFakeTimer timer(1000);
  TTaskList list;
  auto task = std::make_unique<TCountingAnim>();
  task->result = false;
  TCountingAnim* raw = task.get();
  list.AddTask(std::move(task));
  list.RunTasks(0);
  EXPECT_FALSE(list.Contains(raw));
}

TEST(Random, MatchesTheReferenceOutput) {
  // The published MT19937 reference output for init_by_array {0x123, 0x234, 0x345, 0x456}.
  TRandom random;
  const uint32_t key[4] = {0x123, 0x234, 0x345, 0x456};
  random.InitByArray(key, 4);
  const uint32_t expected[10] = {1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u,
                                 3344332714u, 3355579695u, 227628506u, 810200273u, 2591290167u};
  for (uint32_t e : expected) EXPECT_EQ(random.GenRand(), e);
  for (int i = 10; i < 999; ++i) random.GenRand();
  EXPECT_EQ(random.GenRand(), 3460025646u);  // the reference's 1000th value
  TRandom other;
  other.InitGenRand(5489u);
  EXPECT_EQ(other.GenRand(), 3499211612u);
}

TEST(Random, ReversedAndWideRangesStayInBounds) {
  // hi - lo + 1 overflowed for wide ranges, and reversed bounds gave values outside both.
  TRandom random;
  struct {
    int lo, hi;
  } cases[] = {{3, 3}, {0, 9}, {-5, 5}, {9, 0}, {INT_MIN, INT_MAX}, {INT_MAX - 1, INT_MAX}, {INT_MIN, INT_MIN + 1}};
  for (const auto& c : cases) {
    int lo = std::min(c.lo, c.hi), hi = std::max(c.lo, c.hi);
    for (int i = 0; i < 200; ++i) {
      int v = random.RandomRange(c.lo, c.hi);
      ASSERT_GE(v, lo) << c.lo << ".." << c.hi;
      ASSERT_LE(v, hi) << c.lo << ".." << c.hi;
    }
  }
  std::set<int> seen;
  for (int i = 0; i < 500; ++i) seen.insert(random.RandomRange(1, 6));
  EXPECT_EQ(seen.size(), 6u);
  double d = random.GenRandDouble();
  EXPECT_GE(d, 0.0);
  EXPECT_LT(d, 1.0);
}

TEST(Random, GuidStrings) {
  TString a = MakeGuidString(), b = MakeGuidString();
  EXPECT_EQ(a.Length(), 32u);
  EXPECT_FALSE(a == b);
  for (uint32_t i = 0; i < a.Length(); ++i) EXPECT_TRUE(isxdigit(a.CharAt(i)) && !isupper(a.CharAt(i)));
}
