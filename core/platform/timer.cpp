#include "platform/timer.h"

#include <atomic>
#include <chrono>

namespace {

uint32_t MonotonicMilliseconds() {
  using namespace std::chrono;
  static const steady_clock::time_point start = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

std::atomic<TTimerSource> gSource{nullptr};
std::atomic<TWallTimeSource> gWallSource{nullptr};

}  // namespace

uint32_t GetTimer() {
  TTimerSource source = gSource.load(std::memory_order_relaxed);
  return source ? source() : MonotonicMilliseconds();
}

void SetTimerSource(TTimerSource source) { gSource.store(source); }

int64_t GetWallTime() {
  TWallTimeSource source = gWallSource.load(std::memory_order_relaxed);
  if (source) return source();
  using namespace std::chrono;
  return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

void SetWallTimeSource(TWallTimeSource source) { gWallSource.store(source); }
