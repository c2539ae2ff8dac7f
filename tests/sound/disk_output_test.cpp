// The whole road through SDL: sounds played through the disk driver (which writes the
// device's frames to a file in real time) are found in that file. Sounds are short, as
// these tests take as long as what they play.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "platform/asset.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound_test_util.h"

using SdlOutput = TSoundTest;

namespace {

constexpr long FramesPerSecond = 44100;

// The disk driver writing into a temporary file for the test's lifetime.
class TDiskAudio {
 public:
  TDiskAudio() : mDriver("SDL_AUDIODRIVER", "disk"), mFile("SDL_DISKAUDIOFILE", Path().c_str()) {}

  TString Path() const { return mFolder / "output.raw"; }
  long FramesWritten() const {
    struct stat info;
    return stat(Path().c_str(), &info) == 0 ? long(info.st_size / 4) : 0;
  }
  // Waits until frames more frames than now have been written (at most ten seconds).
  void WaitFrames(long frames) const {
    long until = FramesWritten() + frames;
    for (int i = 0; i < 1000 && FramesWritten() < until; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::vector<int16_t> Output() const {
    std::string bytes = ReadTextFile(Path());
    std::vector<int16_t> samples(bytes.size() / 2);
    memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
  }

 private:
  TTempFolder mFolder;
  TEnvGuard mDriver;
  TEnvGuard mFile;
};

std::vector<int16_t> Slice(const std::vector<int16_t>& v, long frame, long frames) {
  long from = std::min<long>(frame * 2, long(v.size()));
  long to = std::min<long>(from + frames * 2, long(v.size()));
  return std::vector<int16_t>(v.begin() + from, v.begin() + to);
}

// Where (in frames) the sound starts in the output: both begin with silence, the output
// with more of it.
long FindStart(const std::vector<int16_t>& output, const std::vector<int16_t>& sound) {
  long first = FirstSoundFrame(output);
  return first < 0 ? -1 : first - FirstSoundFrame(sound);
}

double Rms(const std::vector<int16_t>& v) {
  double sum = 0;
  for (int16_t s : v) sum += double(s) * s;
  return v.empty() ? 0.0 : std::sqrt(sum / double(v.size()));
}

}  // namespace

TEST_F(SdlOutput, PlaysASoundAtItsVolume) {
  TDiskAudio disk;
  {
    TSoundManager manager;
    ASSERT_TRUE(manager.Initialize());
    manager.SetGroupVolume(1000, 0.75f);  // -12.5 dB
    auto sound = TSound::Get(SoundFixture("tone_a.ogg") + "?group=1000", 0, 0);
    ASSERT_NE(sound, nullptr);
    ASSERT_NE(sound->Play(false), nullptr);
    disk.WaitFrames(FramesPerSecond / 2);
  }
  std::vector<int16_t> output = disk.Output();
  TPcm reference = DecodeReference("tone_a.ogg");
  std::vector<int16_t> expected = ScaledStereo(reference, GainFromAttenuation(-1250));
  long start = FindStart(output, expected);
  ASSERT_GE(start, 0);
  EXPECT_EQ(Slice(output, start, long(expected.size() / 2)), expected);
  long after = start + long(expected.size() / 2);
  EXPECT_EQ(FirstSoundFrame(Slice(output, after, long(output.size() / 2) - after)), -1);
  // The level, by itself: 12.5 dB below the sound at full volume.
  double ratio = Rms(Slice(output, start, long(expected.size() / 2))) / Rms(reference.samples);
  EXPECT_NEAR(ratio, std::pow(10.0, -12.5 / 20.0), 0.002);
}

TEST_F(SdlOutput, TwoSoundsMix) {
  TDiskAudio disk;
  {
    TSoundManager manager;
    ASSERT_TRUE(manager.Initialize());
    auto a = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
    auto b = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
    a->Play(false);
    disk.WaitFrames(FramesPerSecond / 20);
    b->Play(false);
    disk.WaitFrames(FramesPerSecond / 2);
  }
  std::vector<int16_t> output = disk.Output();
  std::vector<int16_t> first = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  std::vector<int16_t> second = ScaledStereo(DecodeReference("tone_b.ogg"), 65536);
  long startA = FindStart(output, first);
  ASSERT_GE(startA, 0);
  // Take the first sound away; the second remains, exactly.
  std::vector<int16_t> rest = output;
  for (size_t i = 0; i < first.size() && size_t(startA) * 2 + i < rest.size(); ++i) rest[size_t(startA) * 2 + i] -= first[i];
  long startB = FindStart(rest, second);
  ASSERT_GT(startB, startA);
  EXPECT_EQ(Slice(rest, startB, long(second.size() / 2)), second);
  std::vector<int16_t> blank(rest.size(), 0);
  for (size_t i = 0; i < second.size(); ++i) rest[size_t(startB) * 2 + i] -= second[i];
  EXPECT_EQ(rest, blank);
}

TEST_F(SdlOutput, LoopedSoundLoopsSeamlesslyAndStopStopsIt) {
  TDiskAudio disk;
  {
    TSoundManager manager;
    ASSERT_TRUE(manager.Initialize());
    auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
    auto instance = sound->Play(true);
    // Past the refill of the buffer's second half and its first half again.
    disk.WaitFrames(FramesPerSecond * 3 / 2);
    EXPECT_TRUE(sound->StopInstance(instance));
    disk.WaitFrames(FramesPerSecond / 5);
  }
  std::vector<int16_t> output = disk.Output();
  std::vector<int16_t> once = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  long start = FindStart(output, once);
  ASSERT_GE(start, 0);
  long frames = long(output.size() / 2);
  long last = frames - 1;
  while (last >= 0 && output[size_t(last) * 2] == 0 && output[size_t(last) * 2 + 1] == 0) --last;
  EXPECT_GE(last - start, FramesPerSecond * 5 / 4);
  EXPECT_LE(frames - last, FramesPerSecond);  // stopped, and silent since
  EXPECT_GE(frames - last, FramesPerSecond / 10);
  long period = long(once.size() / 2);
  for (long frame = start; frame <= last; frame += period) {
    long count = std::min(period, last + 1 - frame);
    ASSERT_EQ(Slice(output, frame, count), Slice(once, 0, count)) << "loop at frame " << frame;
  }
}

// With the dummy driver sound goes nowhere; with no driver at all there is no device. The
// game runs on either way, and sounds end in their own time.
TEST_F(SdlOutput, SilentDevicesLetTheGameRunOn) {
  for (const char* driver : {"dummy", "no-such-driver"}) {
    TEnvGuard env("SDL_AUDIODRIVER", driver);
    TLogCapture log;
    TSoundManager manager;
    bool device = manager.Initialize();
    EXPECT_EQ(device, std::string(driver) == "dummy");
    EXPECT_EQ(log.Count("DX Error: "), device ? 0 : 1) << log.Text();
    EXPECT_EQ(manager.Initialize(), device);  // once only
    auto sound = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
    ASSERT_NE(sound->Play(false), nullptr);
    for (int i = 0; i < 300 && sound->GetInstanceCount() > 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      manager.DispatchFinishedStreams();
    }
    EXPECT_EQ(sound->GetInstanceCount(), 0u) << driver;
  }
}
