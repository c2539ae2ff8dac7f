#include "sound/sound_mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr uint64_t FixedOne = 65536;  // one frame in 16.16 fixed point
constexpr int MaxRate = 192000;

// The mixer's view of one buffer during a mix: plain fields, so the loops below read
// nothing through the buffer object.
struct TMixSource {
  const int16_t* samples;
  uint32_t frames;
  int channels;
  uint64_t step;
  int32_t gain;
  bool looping;
};

inline int32_t Scale(int32_t sample, int32_t gain) { return (sample * gain) >> 16; }

// Plain version: any rate, linear interpolation between neighbouring frames. Answers
// whether the buffer still plays; position advances by what was played.
bool MixResampled(const TMixSource& src, uint64_t& position, int32_t* acc, int frames) {
  const uint64_t end = uint64_t(src.frames) << 16;
  for (int i = 0; i < frames; ++i) {
    uint32_t frame = uint32_t(position >> 16);
    int64_t fraction = int64_t(position & 0xFFFF);
    uint32_t next = frame + 1;
    if (next >= src.frames) next = src.looping ? 0 : frame;
    for (int c = 0; c < 2; ++c) {
      int sc = src.channels == 1 ? 0 : c;
      int32_t s0 = src.samples[size_t(frame) * size_t(src.channels) + size_t(sc)];
      int32_t s1 = src.samples[size_t(next) * size_t(src.channels) + size_t(sc)];
      int32_t s = s0 + int32_t((int64_t(s1 - s0) * fraction) >> 16);
      acc[2 * i + c] += Scale(s, src.gain);
    }
    position += src.step;
    if (position >= end) {
      if (!src.looping) {
        position = 0;
        return false;
      }
      position %= end;
    }
  }
  return true;
}

// Fast version for a buffer at the output rate on a whole frame: straight runs of
// samples up to the buffer's end. Gives exactly what MixResampled gives.
bool MixSameRate(const TMixSource& src, uint64_t& position, int32_t* acc, int frames) {
  uint32_t frame = uint32_t(position >> 16);
  bool playing = true;
  int done = 0;
  while (done < frames) {
    uint32_t run = std::min(uint32_t(frames - done), src.frames - frame);
    const int16_t* in = src.samples + size_t(frame) * size_t(src.channels);
    int32_t* out = acc + 2 * done;
    if (src.channels == 2) {
      for (uint32_t k = 0; k < run * 2; ++k) out[k] += Scale(in[k], src.gain);
    } else {
      for (uint32_t k = 0; k < run; ++k) {
        int32_t v = Scale(in[k], src.gain);
        out[2 * k] += v;
        out[2 * k + 1] += v;
      }
    }
    done += int(run);
    frame += run;
    if (frame >= src.frames) {
      frame = 0;
      if (!src.looping) {
        playing = false;
        break;
      }
    }
  }
  position = uint64_t(frame) << 16;
  return playing;
}

}  // namespace

int32_t GainFromAttenuation(int32_t hundredthsOfDecibel) {
  if (hundredthsOfDecibel <= SilentAttenuation) return 0;
  if (hundredthsOfDecibel >= 0) return 65536;
  return int32_t(lround(65536.0 * pow(10.0, double(hundredthsOfDecibel) / 2000.0)));
}

// ---- TSoundBuffer ----

TSoundBuffer::TSoundBuffer(std::shared_ptr<TSoundMixer> mixer, int rate, int channels, uint32_t sizeBytes)
    : mMixer(std::move(mixer)),
      mRate(rate),
      mChannels(channels),
      mSizeBytes(sizeBytes),
      mFrames(sizeBytes / uint32_t(channels * 2)),
      mStep((uint64_t(rate) << 16) / uint64_t(mMixer->GetOutputRate())),
      mSamples(sizeBytes / 2, 0) {}

TSoundBuffer::~TSoundBuffer() { mMixer->Remove(this); }

void TSoundBuffer::Play(bool looping) {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  mPlaying = true;
  mLooping = looping;
}

void TSoundBuffer::Stop() {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  mPlaying = false;
}

bool TSoundBuffer::IsPlaying() const {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  return mPlaying;
}

void TSoundBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write) const {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  uint32_t offset = uint32_t(mPosition >> 16) * uint32_t(GetBlockAlign());
  if (play) *play = offset;
  if (write) *write = offset;
}

void TSoundBuffer::SetCurrentPosition(uint32_t offset) {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  uint32_t frame = offset / uint32_t(GetBlockAlign());
  mPosition = frame < mFrames ? uint64_t(frame) << 16 : 0;
}

void TSoundBuffer::SetVolume(int32_t hundredthsOfDecibel) {
  int32_t volume = std::clamp(hundredthsOfDecibel, SilentAttenuation, int32_t(0));
  int32_t gain = GainFromAttenuation(volume);
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  mVolume = volume;
  mGain = gain;
}

int32_t TSoundBuffer::GetVolume() const {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  return mVolume;
}

int16_t* TSoundBuffer::Lock(uint32_t offset, uint32_t bytes) {
  uint32_t align = uint32_t(GetBlockAlign());
  if (bytes == 0 || offset % align || bytes % align || offset > mSizeBytes || bytes > mSizeBytes - offset) {
    return nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(mMixer->mMutex);
    if (mLocked) return nullptr;
    mLocked = true;
    mLockOffset = offset;
  }
  mStaging.assign(bytes / 2, 0);
  return mStaging.data();
}

void TSoundBuffer::Unlock() {
  std::lock_guard<std::mutex> lock(mMixer->mMutex);
  if (!mLocked) return;
  std::copy(mStaging.begin(), mStaging.end(), mSamples.begin() + mLockOffset / 2);
  mLocked = false;
}

// ---- TSoundMixer ----

std::shared_ptr<TSoundMixer> TSoundMixer::Make(int outputRate) {
  return std::shared_ptr<TSoundMixer>(new TSoundMixer(outputRate));
}

std::unique_ptr<TSoundBuffer> TSoundMixer::CreateBuffer(int rate, int channels, uint32_t sizeBytes) {
  if (rate <= 0 || rate > MaxRate || (channels != 1 && channels != 2)) return nullptr;
  uint32_t align = uint32_t(channels * 2);
  if (sizeBytes < align || sizeBytes % align) return nullptr;
  std::unique_ptr<TSoundBuffer> buffer(new TSoundBuffer(shared_from_this(), rate, channels, sizeBytes));
  std::lock_guard<std::mutex> lock(mMutex);
  mBuffers.push_back(buffer.get());
  return buffer;
}

size_t TSoundMixer::GetBufferCount() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mBuffers.size();
}

void TSoundMixer::Remove(TSoundBuffer* buffer) {
  std::lock_guard<std::mutex> lock(mMutex);
  mBuffers.erase(std::remove(mBuffers.begin(), mBuffers.end(), buffer), mBuffers.end());
}

void TSoundMixer::Mix(int16_t* out, int frames) {
  if (frames <= 0) return;
  std::lock_guard<std::mutex> lock(mMutex);
  mAccumulator.assign(size_t(frames) * 2, 0);
  for (TSoundBuffer* buffer : mBuffers) {
    if (!buffer->mPlaying) continue;
    TMixSource src{buffer->mSamples.data(), buffer->mFrames, buffer->mChannels,
                   buffer->mStep,           buffer->mGain,   buffer->mLooping};
    bool fast = !mReferenceOnly && src.step == FixedOne && (buffer->mPosition & 0xFFFF) == 0;
    buffer->mPlaying = fast ? MixSameRate(src, buffer->mPosition, mAccumulator.data(), frames)
                            : MixResampled(src, buffer->mPosition, mAccumulator.data(), frames);
  }
  for (size_t i = 0; i < mAccumulator.size(); ++i) {
    out[i] = int16_t(std::clamp(mAccumulator[i], int32_t(-32768), int32_t(32767)));
  }
}
