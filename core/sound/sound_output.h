#pragma once
// Where the mixer's frames go. The SDL output pulls them from its audio callback; tests put
// an output of their own here and pull frames themselves.

#include <memory>

#include "platform/engine_string.h"

class TSoundMixer;

class TSoundOutput {
 public:
  virtual ~TSoundOutput() = default;
  // Starts pulling 16-bit stereo frames from the mixer at its output rate. On failure
  // error holds the reason and nothing runs.
  virtual bool Open(const std::shared_ptr<TSoundMixer>& mixer, TString& error) = 0;
  // Stops pulling; after it returns the mixer is no longer called.
  virtual void Close() = 0;
};

// The default audio device through SDL (SDL_AUDIODRIVER chooses the driver).
std::unique_ptr<TSoundOutput> CreateSdlSoundOutput();
