#include "sound_test_util.h"

#include <vorbis/vorbisfile.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "platform/log.h"
#include "sound/ogg_data_source.h"
#include "sound/sound_data_source.h"

void TSoundTest::SetUp() {
  ResetPlatformState();
  ClearSoundDataSourceBuilders();
  RegisterOggDataSource();
  SetAssetManager(&mCache);
}

void TSoundTest::TearDown() {
  SetAssetManager(nullptr);
  ClearSoundDataSourceBuilders();
  ResetPlatformState();
}

TString SoundFixture(const char* name) { return TString("::") + TARVELON_FIXTURES + "/sound/" + name; }

TPcm DecodeReference(const char* fixture) {
  TPcm pcm;
  std::string path = std::string(TARVELON_FIXTURES) + "/sound/" + fixture;
  OggVorbis_File file;
  if (ov_fopen(path.c_str(), &file) != 0) {
    ADD_FAILURE() << "cannot decode " << path;
    return pcm;
  }
  vorbis_info* info = ov_info(&file, -1);
  pcm.rate = int(info->rate);
  pcm.channels = info->channels;
  char chunk[4096];
  int bitstream = 0;
  for (;;) {
    long n = ov_read(&file, chunk, sizeof chunk, 0, 2, 1, &bitstream);
    if (n <= 0) break;
    const int16_t* samples = reinterpret_cast<const int16_t*>(chunk);
    pcm.samples.insert(pcm.samples.end(), samples, samples + n / 2);
  }
  ov_clear(&file);
  return pcm;
}

std::vector<int16_t> ScaledStereo(const TPcm& pcm, int32_t gain) {
  std::vector<int16_t> out;
  out.reserve(pcm.Frames() * 2);
  for (size_t f = 0; f < pcm.Frames(); ++f) {
    for (int c = 0; c < 2; ++c) {
      int32_t s = pcm.samples[f * size_t(pcm.channels) + size_t(pcm.channels == 1 ? 0 : c)];
      out.push_back(int16_t((s * gain) >> 16));
    }
  }
  return out;
}

long FirstSoundFrame(const std::vector<int16_t>& stereo) {
  for (size_t i = 0; i < stereo.size(); ++i) {
    if (stereo[i] != 0) return long(i / 2);
  }
  return -1;
}

TLogCapture::TLogCapture() { OpenLogFile(mFolder.Path().c_str()); }

TLogCapture::~TLogCapture() { OpenLogFile(nullptr); }

std::string TLogCapture::Text() const { return ReadTextFile(mFolder / "logfile.txt"); }

int TLogCapture::Count(const std::string& needle) const {
  std::string text = Text();
  int count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

TEnvGuard::TEnvGuard(const char* name, const char* value) : mName(name) {
  if (const char* old = getenv(name)) {
    mOld = old;
    mHadOld = true;
  }
  setenv(name, value, 1);
}

TEnvGuard::~TEnvGuard() {
  if (mHadOld) {
    setenv(mName.c_str(), mOld.c_str(), 1);
  } else {
    unsetenv(mName.c_str());
  }
}

void FinishWithin(int seconds, const std::function<void()>& body) {
  std::packaged_task<void()> task(body);
  std::future<void> done = task.get_future();
  std::thread runner(std::move(task));
  if (done.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
    fprintf(stderr, "FAILED: still running after %d seconds\n", seconds);
    fflush(stderr);
    std::_Exit(1);
  }
  runner.join();
  done.get();
}

TSoundRig::TSoundRig(std::unique_ptr<TSoundOutput> output) {
  mManager.Initialize(std::move(output), false);
  mMixer = mManager.GetMixer();
}

std::vector<int16_t> TSoundRig::Run(uint32_t milliseconds) {
  const uint32_t step = 10;
  const int frames = (mMixer ? mMixer->GetOutputRate() : 44100) * int(step) / 1000;
  std::vector<int16_t> out;
  for (uint32_t t = 0; t < milliseconds; t += step) {
    size_t at = out.size();
    out.resize(at + size_t(frames) * 2);
    if (mMixer) mMixer->Mix(out.data() + at, frames);
    FakeNow += step;
    mSinceUpdate += step;
    if (mSinceUpdate >= 50) {
      mSinceUpdate = 0;
      mManager.Update();
    }
  }
  return out;
}
