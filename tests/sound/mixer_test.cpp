#include "sound/sound_mixer.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<int16_t> MixFrames(TSoundMixer& mixer, int frames) {
  std::vector<int16_t> out(size_t(frames) * 2);
  mixer.Mix(out.data(), frames);
  return out;
}

// Writes samples into a whole buffer through Lock and Unlock.
void Fill(TSoundBuffer& buffer, const std::vector<int16_t>& samples) {
  int16_t* data = buffer.Lock(0, buffer.GetSize());
  ASSERT_NE(data, nullptr);
  std::copy(samples.begin(), samples.end(), data);
  buffer.Unlock();
}

// A buffer holding exactly samples, playing.
std::unique_ptr<TSoundBuffer> Playing(TSoundMixer& mixer, int channels, const std::vector<int16_t>& samples,
                                      bool looping = true, int rate = 44100) {
  auto buffer = mixer.CreateBuffer(rate, channels, uint32_t(samples.size() * 2));
  Fill(*buffer, samples);
  buffer->Play(looping);
  return buffer;
}

}  // namespace

TEST(SoundMixer, GainFollowsHundredthsOfDecibel) {
  EXPECT_EQ(GainFromAttenuation(0), 65536);
  EXPECT_EQ(GainFromAttenuation(100), 65536);
  EXPECT_EQ(GainFromAttenuation(-10000), 0);
  EXPECT_EQ(GainFromAttenuation(-20000), 0);
  EXPECT_EQ(GainFromAttenuation(-2000), 6554);    // -20 dB is a tenth
  EXPECT_EQ(GainFromAttenuation(-602), 32770);    // -6.02 dB is about a half
}

TEST(SoundMixer, StereoBufferAtOutputRatePlaysItsSamplesScaled) {
  auto mixer = TSoundMixer::Make(44100);
  auto buffer = mixer->CreateBuffer(44100, 2, 4 * 8);
  Fill(*buffer, {100, -100, 200, -200, 300, -300, 400, -400, 500, -500, 600, -600, 700, -700, 800, -800});
  buffer->SetVolume(-2000);
  buffer->Play(true);
  std::vector<int16_t> out = MixFrames(*mixer, 3);
  // Rounding toward minus infinity, as the Q16 shift does.
  EXPECT_EQ(out, (std::vector<int16_t>{10, -11, 20, -21, 30, -31}));
  uint32_t play = 0, write = 0;
  buffer->GetCurrentPosition(&play, &write);
  EXPECT_EQ(play, 12u);
  EXPECT_EQ(write, 12u);
}

TEST(SoundMixer, MonoBufferFeedsBothSides) {
  auto mixer = TSoundMixer::Make(44100);
  auto buffer = Playing(*mixer, 1, {1000, 2000, 3000, 4000});
  EXPECT_EQ(MixFrames(*mixer, 2), (std::vector<int16_t>{1000, 1000, 2000, 2000}));
}

TEST(SoundMixer, LoopingBufferWrapsAndOneShotStopsAtItsEnd) {
  auto mixer = TSoundMixer::Make(44100);
  auto looping = Playing(*mixer, 1, {1, 2, 3});
  EXPECT_EQ(MixFrames(*mixer, 7), (std::vector<int16_t>{1, 1, 2, 2, 3, 3, 1, 1, 2, 2, 3, 3, 1, 1}));
  looping->Stop();

  auto once = Playing(*mixer, 1, {5, 6, 7}, false);
  EXPECT_EQ(MixFrames(*mixer, 5), (std::vector<int16_t>{5, 5, 6, 6, 7, 7, 0, 0, 0, 0}));
  EXPECT_FALSE(once->IsPlaying());
}

TEST(SoundMixer, BuffersSumAndClip) {
  auto mixer = TSoundMixer::Make(44100);
  auto a = Playing(*mixer, 1, {30000, -30000});
  auto b = Playing(*mixer, 1, {10000, -10000});
  EXPECT_EQ(MixFrames(*mixer, 2), (std::vector<int16_t>{32767, 32767, -32768, -32768}));
  b->SetVolume(SilentAttenuation);
  EXPECT_EQ(MixFrames(*mixer, 1), (std::vector<int16_t>{30000, 30000}));
  // A silent buffer still moves on.
  uint32_t play = 0;
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 2u);
}

TEST(SoundMixer, StoppedBufferKeepsItsPlaceAndDestroyedBufferLeaves) {
  auto mixer = TSoundMixer::Make(44100);
  auto buffer = Playing(*mixer, 1, {1, 2, 3, 4});
  MixFrames(*mixer, 2);
  buffer->Stop();
  EXPECT_EQ(MixFrames(*mixer, 2), (std::vector<int16_t>{0, 0, 0, 0}));
  buffer->Play(true);
  EXPECT_EQ(MixFrames(*mixer, 1), (std::vector<int16_t>{3, 3}));
  EXPECT_EQ(mixer->GetBufferCount(), 1u);
  buffer.reset();
  EXPECT_EQ(mixer->GetBufferCount(), 0u);
}

TEST(SoundMixer, LockRefusesBadRangesAndASecondLock) {
  auto mixer = TSoundMixer::Make(44100);
  auto buffer = mixer->CreateBuffer(44100, 2, 4 * 4);
  EXPECT_EQ(buffer->Lock(0, 0), nullptr);
  EXPECT_EQ(buffer->Lock(2, 4), nullptr);   // not a whole frame
  EXPECT_EQ(buffer->Lock(8, 12), nullptr);  // past the end
  int16_t* half = buffer->Lock(8, 8);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(buffer->Lock(0, 8), nullptr);
  for (int i = 0; i < 4; ++i) half[i] = int16_t(9);
  buffer->Unlock();
  buffer->Play(true);
  EXPECT_EQ(MixFrames(*mixer, 4), (std::vector<int16_t>{0, 0, 0, 0, 9, 9, 9, 9}));
  EXPECT_EQ(mixer->CreateBuffer(44100, 3, 60), nullptr);
  EXPECT_EQ(mixer->CreateBuffer(0, 1, 60), nullptr);
  EXPECT_EQ(mixer->CreateBuffer(44100, 2, 6), nullptr);
}

TEST(SoundMixer, OtherRatesInterpolateBetweenFrames) {
  auto mixer = TSoundMixer::Make(44100);
  auto buffer = Playing(*mixer, 1, {0, 1000, 2000, 3000}, false, 22050);
  EXPECT_EQ(MixFrames(*mixer, 8),
            (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 1500, 1500, 2000, 2000, 2500, 2500, 3000, 3000,
                                  3000, 3000}));
  EXPECT_FALSE(buffer->IsPlaying());
}

// The fast loop for buffers at the output rate against the plain one, on random samples,
// with wrap-around, one-shot ends, mono and stereo and odd chunk sizes.
TEST(SoundMixer, FastLoopMatchesReference) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  auto fast = TSoundMixer::Make(44100);
  auto plain = TSoundMixer::Make(44100);
  plain->SetReferenceMixing(true);
  std::vector<std::unique_ptr<TSoundBuffer>> buffers;
  const struct {
    int channels;
    uint32_t frames;
    bool looping;
    int32_t volume;
  } cases[] = {{2, 1000, true, 0}, {1, 777, true, -300}, {2, 5000, false, -1200}, {1, 64, false, 0}};
  for (const auto& c : cases) {
    std::vector<int16_t> samples(size_t(c.frames) * size_t(c.channels));
    for (int16_t& s : samples) s = int16_t(sample(random));
    for (TSoundMixer* mixer : {fast.get(), plain.get()}) {
      buffers.push_back(Playing(*mixer, c.channels, samples, c.looping));
      buffers.back()->SetVolume(c.volume);
    }
  }
  for (int chunk : {1, 333, 1024, 4410, 17}) {
    EXPECT_EQ(MixFrames(*fast, chunk), MixFrames(*plain, chunk)) << "chunk " << chunk;
  }
}
