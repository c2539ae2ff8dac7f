#include "sound/sound_stream.h"

#include <algorithm>
#include <cmath>

#include "platform/log.h"
#include "sound/sound_manager.h"
#include "sound/sound_mixer.h"
#include "sound/stream_spooler.h"

uint32_t ComputeStreamBufferSize(uint32_t bytesPerSecond, double seconds) {
  double wanted = std::floor(double(bytesPerSecond) * seconds + 0.5);
  if (!(wanted >= 4.0)) return 4;  // also catches NaN
  if (wanted >= double(0x0FFFFFFF)) return 0x0FFFFFFF;
  uint32_t size = uint32_t(wanted);
  size = (size + 7u) & ~7u;
  return std::min<uint32_t>(size, 0x0FFFFFFF);
}

int32_t AttenuationFromVolume(float volume) {
  float v = std::clamp(volume, 0.0f, 1.0f);
  if (!(v > 0.0f)) return SilentAttenuation;
  return int32_t(-(1.0 - double(v)) * 5000.0);
}

std::shared_ptr<TSoundStream> TSoundStream::Make(std::shared_ptr<TStreamSpooler> spooler, bool loop, int group,
                                                 const std::shared_ptr<TSoundData>& soundData) {
  std::shared_ptr<TSoundStream> stream(new TSoundStream(std::move(spooler), loop, group, soundData));
  if (TSoundManager* manager = GetSoundManager()) manager->AddStream(stream);
  return stream;
}

TSoundStream::TSoundStream(std::shared_ptr<TStreamSpooler> spooler, bool loop, int group,
                           const std::shared_ptr<TSoundData>& soundData)
    : mSpooler(std::move(spooler)), mSoundData(soundData), mGroup(group), mLoop(loop) {}

TSoundStream::~TSoundStream() {
  TSoundLock lock;
  mBuffer.reset();
  mSpooler.reset();
}

void TSoundStream::SetListener(const std::weak_ptr<TStreamNotify>& listener) {
  TSoundLock lock;
  mListener = listener;
}

std::shared_ptr<TStreamNotify> TSoundStream::GetListener() const {
  TSoundLock lock;
  return mListener.lock();
}

bool TSoundStream::Create(int rate, int channels, int bits, float seconds) {
  TSoundLock lock;
  TSoundManager* manager = GetSoundManager();
  std::shared_ptr<TSoundMixer> mixer = manager ? manager->GetMixer() : nullptr;
  if (!mixer) return false;
  std::unique_ptr<TSoundBuffer> buffer;
  uint32_t bytesPerSecond = 0;
  if (bits == 16 && (channels == 1 || channels == 2) && rate > 0) {
    uint32_t blockAlign = uint32_t(bits / 8 * channels);
    bytesPerSecond = blockAlign * uint32_t(rate);
    uint32_t size = ComputeStreamBufferSize(bytesPerSecond, seconds);
    // Both halves must hold whole frames.
    size = std::max(size - size % (2 * blockAlign), 2 * blockAlign);
    buffer = mixer->CreateBuffer(rate, channels, size);
  }
  if (!buffer) {
    LogPrintf("DX Error: %s (0x%x), File %s, Line %d", "unsupported buffer format", 0u, ".\\soundstream.cpp",
              __LINE__);
    return false;
  }
  mBuffer = std::move(buffer);
  mBufferSize = mBuffer->GetSize();
  mBufferSeconds = float(double(mBufferSize) / double(bytesPerSecond));
  mBytesToPlay = mBufferSize;
  mDataEnded = false;
  mLastHalf = 0;
  FillHalf(true);
  return true;
}

bool TSoundStream::KeepTime() {
  if (double(mClock.GetTime()) / 1000.0 <= mSpooler->GetDuration()) return true;
  if (mLoop) {
    mSpooler->Rewind();
    mClock.Reset();
    mClock.Start();
    return true;
  }
  mSpooler->Release();
  mSpooler.reset();
  return false;
}

bool TSoundStream::FillHalf(bool firstFill) {
  TSoundLock lock;
  if (!mSpooler) return false;
  if (!mBuffer) return KeepTime();
  uint32_t half = mBufferSize / 2;
  uint32_t play = 0;
  mBuffer->GetCurrentPosition(&play, nullptr);
  int target = firstFill ? 1 : (play < half ? 2 : 1);
  if (target == mLastHalf) return true;
  mLastHalf = target;
  if (mDataEnded) {
    mBytesToPlay -= half;
    if (mBytesToPlay <= 0 && !mLoop) {
      mBuffer->Stop();
      mSpooler->Release();
      mSpooler.reset();
      return false;
    }
  }
  FillTarget(target == 1 ? 0 : half, half);
  return true;
}

void TSoundStream::FillTarget(uint32_t offset, uint32_t bytes) {
  int16_t* data = mBuffer->Lock(offset, bytes);
  if (!data) return;
  uint32_t delivered = 0;
  // A looping spooler rewinds by itself; it reports the end only when the sound has no
  // data at all, and then the half stays silent rather than being retried in a loop.
  bool more = mSpooler->Read(bytes, data, &delivered, mLoop);
  if (!more) {
    mDataEnded = true;
    if (mLoop) mSpooler->Rewind();
  }
  mBuffer->Unlock();
}

void TSoundStream::Play() {
  TSoundLock lock;
  // An ended stream stays silent: its buffer would only repeat its last halves.
  if (!mSpooler) return;
  if (TSoundManager* manager = GetSoundManager()) SetVolume(manager->GetGroupVolume(mGroup));
  if (mBuffer) mBuffer->Play(true);
  mClock.Start();
}

void TSoundStream::Stop() {
  TSoundLock lock;
  if (mBuffer) mBuffer->Stop();
  mClock.Pause();
  TSoundManager* manager = GetSoundManager();
  if (!manager) return;
  if (manager->IsSoundThread()) {
    manager->FinishStream(this);
  } else {
    manager->RemoveStream(this);
  }
}

void TSoundStream::SetPaused(bool paused) {
  TSoundLock lock;
  if (paused == mPaused) return;
  mPaused = paused;
  if (paused) {
    if (mBuffer) mBuffer->Stop();
    mClock.Pause();
  } else {
    Play();
  }
}

void TSoundStream::SetVolume(float volume) {
  TSoundLock lock;
  if (mBuffer) mBuffer->SetVolume(AttenuationFromVolume(volume));
}

void TSoundStream::GetPlayRegion(uint32_t* start, uint32_t* end) const {
  TSoundLock lock;
  uint32_t half = mBufferSize / 2;
  uint32_t play = 0;
  if (mBuffer) mBuffer->GetCurrentPosition(&play, nullptr);
  bool first = play < half;
  if (start) *start = mBuffer ? (first ? 0 : half) : 0;
  if (end) *end = mBuffer ? (first ? half : mBufferSize) : 0;
}

bool TSoundStream::IsPaused() const {
  TSoundLock lock;
  return mPaused;
}

bool TSoundStream::HasBuffer() const {
  TSoundLock lock;
  return mBuffer != nullptr;
}

uint32_t TSoundStream::GetBufferSize() const {
  TSoundLock lock;
  return mBufferSize;
}

float TSoundStream::GetBufferSeconds() const {
  TSoundLock lock;
  return mBufferSeconds;
}
