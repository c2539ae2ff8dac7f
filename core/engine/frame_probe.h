#pragma once
// The frame probe: with the environment variable TARVELON_FRAME_PROBE naming a file, the
// engine writes what its frames cost there, for the game's benchmarks. Off (the default)
// it costs one pointer test per event step. Main thread only. Lines:
//
//   wait US                    the start-up wait of the first event step
//   frame MONO_US TIMER US CPU_US
//                              an idle step that presented a frame: when it ended (on the
//                              steady clock, which is CLOCK_MONOTONIC), the
//                              engine timer it saw, how long the engine worked on it (the
//                              platform's frame tasks and the game's handling of the idle
//                              event: its update, drawing and presenting) and the main
//                              thread's processor time of that work

#include <cstdint>
#include <cstdio>

class TFrameProbe {
 public:
  // The probe of this process, or null when the variable is unset or the file cannot be
  // written.
  static TFrameProbe* Get();

  // The event loop hands the game an event (idle or not), and asks for the next one: the
  // time between them is the game's work on the event; an idle step's line is written
  // when the next one is asked for.
  void EventTaken(bool idle);
  void NextEventAsked(uint32_t timer);
  // Work of the event step itself (the platform's frame tasks), begun and ended.
  void BeginWork();
  void EndWork();
  void Presented();
  void StartupWait(uint64_t microseconds);

 private:
  explicit TFrameProbe(FILE* file) : mFile(file) {}

  FILE* mFile;
  uint64_t mWorkStart = 0, mWork = 0, mThreadStart = 0, mThreadWork = 0;
  bool mIdle = false, mPresented = false;
};

// The probe's current time on the steady clock, in microseconds.
uint64_t FrameProbeNow();
