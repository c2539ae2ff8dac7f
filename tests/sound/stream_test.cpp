// Streams, playing and ending, volumes and pausing, in fake time on a test output.

#include <gtest/gtest.h>

#include "platform/asset.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound_test_util.h"

using SoundStream = TSoundTest;

namespace {

std::vector<int16_t> Silence(size_t samples) { return std::vector<int16_t>(samples, 0); }

std::vector<int16_t> Slice(const std::vector<int16_t>& v, size_t from, size_t count) {
  return std::vector<int16_t>(v.begin() + long(from), v.begin() + long(from + count));
}

std::vector<int16_t> Repeat(const std::vector<int16_t>& v, size_t samples) {
  std::vector<int16_t> out;
  while (out.size() < samples) out.insert(out.end(), v.begin(), v.end());
  out.resize(samples);
  return out;
}

}  // namespace

TEST(SoundStreamSizes, BufferSizeIsRoundedAndBounded) {
  const struct {
    uint32_t bytesPerSecond;
    double seconds;
    uint32_t size;
  } cases[] = {
      {176400, 2.0, 352800},   {88200, 0.5, 44104},        {3, 3.0, 16},
      {1, 1.0, 4},             {0x10000000, 2.0, 0x0FFFFFFF}, {176400, -1.0, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ComputeStreamBufferSize(c.bytesPerSecond, c.seconds), c.size) << c.bytesPerSecond << " " << c.seconds;
  }
}

TEST(SoundStreamSizes, VolumeBecomesAttenuation) {
  const struct {
    float volume;
    int32_t attenuation;
  } cases[] = {{0.0f, -10000}, {1.0f, 0}, {0.5f, -2500}, {0.25f, -3750}, {-1.0f, -10000}, {2.0f, 0}};
  for (const auto& c : cases) EXPECT_EQ(AttenuationFromVolume(c.volume), c.attenuation) << c.volume;
}

// Regression: a sound played once used to keep its stream and buffer forever, because its
// end was never reported to the sound.
TEST_F(SoundStream, FinishedOneShotSoundIsReportedAndLetGo) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  ASSERT_NE(sound, nullptr);
  std::weak_ptr<TSoundStream> stream = sound->Play(false)->GetStream();
  EXPECT_EQ(stream.lock()->GetBufferSize(), 352800u);
  std::vector<int16_t> out = rig.Run(2000);

  std::vector<int16_t> expected = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  EXPECT_EQ(Slice(out, 0, expected.size()), expected);
  EXPECT_EQ(Slice(out, expected.size(), out.size() - expected.size()), Silence(out.size() - expected.size()));

  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
  EXPECT_EQ(rig.Manager().GetFinishedCount(), 1u);
  rig.Manager().DispatchFinishedStreams();
  EXPECT_EQ(rig.Manager().GetFinishedCount(), 0u);
  EXPECT_EQ(sound->GetInstanceCount(), 0u);
  EXPECT_TRUE(stream.expired());
  EXPECT_EQ(rig.Mixer().GetBufferCount(), 0u);
}

TEST_F(SoundStream, OneShotEndsOnlyAfterItsLastHalfPlayed) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  sound->Play(false);
  rig.Run(990);
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 1u);  // the second half is still to play
  rig.Run(700);
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
}

TEST_F(SoundStream, TwoCopiesPlayAndFinishIndependently) {
  TSoundRig rig;
  auto a = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  auto b = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
  a->Play(false);
  b->Play(false);
  std::vector<int16_t> out = rig.Run(100);
  std::vector<int16_t> expected = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  std::vector<int16_t> other = ScaledStereo(DecodeReference("tone_b.ogg"), 65536);
  for (size_t i = 0; i < out.size(); ++i) {
    ASSERT_EQ(out[i], int16_t(expected[i] + other[i])) << "sample " << i;
  }
  rig.Run(500);
  a->Play(false);
  EXPECT_EQ(a->GetInstanceCount(), 2u);
  rig.Run(600);
  rig.Manager().DispatchFinishedStreams();
  EXPECT_EQ(a->GetInstanceCount(), 1u);
  EXPECT_EQ(b->GetInstanceCount(), 0u);
  rig.Run(600);
  rig.Manager().DispatchFinishedStreams();
  EXPECT_EQ(a->GetInstanceCount(), 0u);
}

TEST_F(SoundStream, LoopedSoundLoopsSeamlesslyUntilStopped) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  auto instance = sound->Play(true);
  // Two and a half seconds: past both halves of the buffer and their refills.
  std::vector<int16_t> out = rig.Run(2500);
  std::vector<int16_t> once = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  EXPECT_EQ(out, Repeat(once, out.size()));
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 1u);

  EXPECT_TRUE(sound->StopInstance(instance));
  EXPECT_FALSE(sound->StopInstance(instance));
  EXPECT_EQ(rig.Run(100), Silence(8820));
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
  EXPECT_EQ(sound->GetInstanceCount(), 0u);
  instance.reset();
  EXPECT_EQ(rig.Mixer().GetBufferCount(), 0u);
}

TEST_F(SoundStream, StopAllStopsEveryCopy) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  sound->Play(true);
  sound->Play(false);
  EXPECT_NE(rig.Run(100), Silence(8820));
  EXPECT_TRUE(sound->StopAll());
  EXPECT_EQ(rig.Run(100), Silence(8820));
  EXPECT_FALSE(sound->StopAll());
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
}

// Regression: a looped sound without a single sample used to loop over nothing for ever,
// holding the sound lock.
TEST_F(SoundStream, LoopedEmptySoundDoesNotSpin) {
  FinishWithin(10, [this] {
    TSoundRig rig;
    auto sound = TSound::Get(SoundFixture("empty.ogg"), 0, 0);
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetLength(), 0.0f);
    auto instance = sound->Play(true);
    EXPECT_EQ(rig.Run(1500), Silence(66150 * 2));
    EXPECT_EQ(rig.Manager().GetPlayingCount(), 1u);  // a looping sound plays until stopped
    EXPECT_TRUE(sound->StopAll());
    // Played once, it ends like any other.
    sound->Play(false);
    rig.Run(1700);
    rig.Manager().DispatchFinishedStreams();
    EXPECT_EQ(sound->GetInstanceCount(), 0u);
  });
}

TEST_F(SoundStream, GroupAndMasterVolumesApplyToPlayingStreams) {
  TSoundRig rig;
  TSoundManager& manager = rig.Manager();
  manager.SetMasterVolume(0.5f);
  manager.SetGroupVolume(1000, 0.5f);
  EXPECT_FLOAT_EQ(manager.GetGroupVolume(1000), 0.25f);
  EXPECT_FLOAT_EQ(manager.GetGroupVolume(7), 0.5f);
  EXPECT_FLOAT_EQ(manager.GetGroupVolume(-1), 0.5f);

  auto sound = TSound::Get(SoundFixture("tone_a.ogg") + "?group=1000", 0, 0);
  auto stream = sound->Play(true)->GetStream();
  EXPECT_EQ(stream->GetGroup(), 1000);
  EXPECT_EQ(stream->GetBuffer()->GetVolume(), -3750);
  manager.SetGroupVolume(1000, 1.0f);
  EXPECT_EQ(stream->GetBuffer()->GetVolume(), -2500);
  std::vector<int16_t> out = rig.Run(100);
  std::vector<int16_t> expected = ScaledStereo(DecodeReference("tone_a.ogg"), GainFromAttenuation(-2500));
  EXPECT_EQ(out, Slice(expected, 0, out.size()));
  manager.SetMasterVolume(0.0f);
  EXPECT_EQ(stream->GetBuffer()->GetVolume(), -10000);
  EXPECT_EQ(rig.Run(50), Silence(4410));
}

TEST_F(SoundStream, InactiveApplicationPausesEveryStream) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  auto stream = sound->Play(true)->GetStream();
  std::vector<int16_t> before = rig.Run(100);
  rig.Manager().SetActive(false);
  EXPECT_FALSE(rig.Manager().IsActive());
  EXPECT_TRUE(stream->IsPaused());
  EXPECT_EQ(rig.Run(3000), Silence(3000 * 882 / 10));
  rig.Manager().SetActive(true);
  EXPECT_FALSE(stream->IsPaused());
  std::vector<int16_t> after = rig.Run(100);
  std::vector<int16_t> once = ScaledStereo(DecodeReference("tone_a.ogg"), 65536);
  EXPECT_EQ(before, Slice(once, 0, before.size()));
  EXPECT_EQ(after, Slice(once, before.size(), after.size()));
  uint32_t start = 1, end = 0;
  stream->GetPlayRegion(&start, &end);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 176400u);
}

TEST_F(SoundStream, WithoutADeviceSoundsKeepTimeSilently) {
  TLogCapture log;
  TSoundRig rig(std::make_unique<TMissingOutput>());
  EXPECT_FALSE(rig.Manager().IsInitialized());
  EXPECT_EQ(log.Count("DX Error: no audio device (0x0), File .\\soundmanager.cpp, Line "), 1) << log.Text();
  EXPECT_EQ(rig.Manager().GetMixer(), nullptr);

  auto sound = TSound::Get(SoundFixture("tone_a.ogg"), 0, 0);
  auto instance = sound->Play(false);
  ASSERT_NE(instance, nullptr);
  EXPECT_FALSE(instance->GetStream()->HasBuffer());
  rig.Run(200);
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 1u);
  rig.Run(500);
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
  rig.Manager().DispatchFinishedStreams();
  EXPECT_EQ(sound->GetInstanceCount(), 0u);
  // A looped one goes round by the clock until it is stopped.
  auto looped = sound->Play(true);
  rig.Run(1500);
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 1u);
  EXPECT_TRUE(sound->StopInstance(looped));
  EXPECT_EQ(rig.Manager().GetPlayingCount(), 0u);
}
