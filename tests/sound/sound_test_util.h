#pragma once
// Helpers of the sound tests: fixture names, reference samples decoded straight through
// vorbisfile, a captured log, a test output that the test pulls frames from, a rig that
// plays in fake time, and the SDL disk driver.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/asset.h"
#include "platform/engine_string.h"
#include "platform/test_util.h"
#include "sound/sound_manager.h"
#include "sound/sound_mixer.h"
#include "sound/sound_output.h"

// Clean platform state, the Ogg builder registered and an asset cache in place.
class TSoundTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TAssetManager mCache;
};

// A fixture as a file name the engine opens ("::" + its path).
TString SoundFixture(const char* name);

// Interleaved 16-bit samples of an Ogg file, decoded without the engine's code.
struct TPcm {
  int rate = 0;
  int channels = 0;
  std::vector<int16_t> samples;
  size_t Frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};
TPcm DecodeReference(const char* fixture);

// Stereo frames as the mixer makes them from pcm at a Q16 gain (rate = output rate).
std::vector<int16_t> ScaledStereo(const TPcm& pcm, int32_t gain);
// The first frame of stereo samples that is not silent; -1 when all are.
long FirstSoundFrame(const std::vector<int16_t>& stereo);

// The engine log of the test's lifetime.
class TLogCapture {
 public:
  TLogCapture();
  ~TLogCapture();
  std::string Text() const;
  int Count(const std::string& needle) const;

 private:
  TTempFolder mFolder;
};

// Sets an environment variable for a scope.
class TEnvGuard {
 public:
  TEnvGuard(const char* name, const char* value);
  ~TEnvGuard();

 private:
  std::string mName;
  std::string mOld;
  bool mHadOld = false;
};

// An output that does nothing: the test calls Mix itself.
class TManualOutput : public TSoundOutput {
 public:
  bool Open(const std::shared_ptr<TSoundMixer>& mixer, TString& error) override { return true; }
  void Close() override {}
};

// An output that finds no device.
class TMissingOutput : public TSoundOutput {
 public:
  bool Open(const std::shared_ptr<TSoundMixer>& mixer, TString& error) override {
    error = "no audio device";
    return false;
  }
  void Close() override {}
};

// Runs body on another thread; a body still running after the time limit means it hangs,
// and the test program ends at once with a failure rather than waiting for the time-out.
void FinishWithin(int seconds, const std::function<void()>& body);

// A sound manager on the manual output, without its thread, in fake time. Run plays the
// time forward as the output and the thread would: frames in 10 ms steps, a refill pass
// every 50 ms.
class TSoundRig {
 public:
  explicit TSoundRig(std::unique_ptr<TSoundOutput> output = std::make_unique<TManualOutput>());
  std::vector<int16_t> Run(uint32_t milliseconds);
  TSoundManager& Manager() { return mManager; }
  TSoundMixer& Mixer() { return *mMixer; }  // only with a device

 private:
  TFakeTimer mTimer;
  TSoundManager mManager;
  std::shared_ptr<TSoundMixer> mMixer;
  uint32_t mSinceUpdate = 0;
};
