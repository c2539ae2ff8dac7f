#include "engine/frame_probe.h"

#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

// The main thread's processor time, in microseconds: work without the waits.
uint64_t ThreadTime() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return uint64_t(t.tv_sec) * 1000000u + uint64_t(t.tv_nsec) / 1000u;
}

}  // namespace

uint64_t FrameProbeNow() {
  return uint64_t(
      std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

TFrameProbe* TFrameProbe::Get() {
  // Made once and kept to the process's end: the file is line-buffered, so an ending
  // process loses nothing.
  static TFrameProbe* probe = [] () -> TFrameProbe* {
    const char* path = std::getenv("TARVELON_FRAME_PROBE");
    if (!path || !*path) return nullptr;
    FILE* file = std::fopen(path, "w");
    if (!file) return nullptr;
    std::setvbuf(file, nullptr, _IOLBF, 0);
    return new TFrameProbe(file);
  }();
  return probe;
}

void TFrameProbe::BeginWork() {
  mWorkStart = FrameProbeNow();
  mThreadStart = ThreadTime();
}

void TFrameProbe::EndWork() {
  if (!mWorkStart) return;
  mWork += FrameProbeNow() - mWorkStart;
  mThreadWork += ThreadTime() - mThreadStart;
  mWorkStart = 0;
}

void TFrameProbe::Presented() { mPresented = true; }

void TFrameProbe::EventTaken(bool idle) {
  mIdle = idle;
  if (idle) BeginWork();
}

void TFrameProbe::NextEventAsked(uint32_t timer) {
  EndWork();
  if (mIdle && mPresented)
    std::fprintf(mFile, "frame %llu %u %llu %llu\n", static_cast<unsigned long long>(FrameProbeNow()), timer,
                 static_cast<unsigned long long>(mWork), static_cast<unsigned long long>(mThreadWork));
  mIdle = mPresented = false;
  mWork = mThreadWork = 0;
}

void TFrameProbe::StartupWait(uint64_t microseconds) {
  std::fprintf(mFile, "wait %llu\n", static_cast<unsigned long long>(microseconds));
}
