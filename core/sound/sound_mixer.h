#pragma once
// The software mixer behind every playing sound: secondary buffers of 16-bit PCM that play
// round and round (or once), each with a volume in hundredths of a decibel, mixed into one
// stereo 16-bit output at the device rate. The output (SDL's audio callback, or a test)
// pulls mixed frames with Mix; the sound thread writes buffers through Lock and Unlock.
//
// Locking: one mutex of the mixer guards every buffer's state and samples. It is always
// the innermost lock: code holding it never takes the sound manager's lock, so the audio
// callback can't wait on a refill pass.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class TSoundMixer;

// Attenuations: 0 is full volume, -10000 (and below) silence.
constexpr int32_t SilentAttenuation = -10000;
// The Q16 gain for an attenuation in hundredths of a decibel (65536 at 0, 0 at -10000).
int32_t GainFromAttenuation(int32_t hundredthsOfDecibel);

// One secondary buffer. Made by TSoundMixer::CreateBuffer; it stays known to the mixer
// until it is destroyed. Every operation is safe from any thread.
class TSoundBuffer {
 public:
  ~TSoundBuffer();
  TSoundBuffer(const TSoundBuffer&) = delete;
  TSoundBuffer& operator=(const TSoundBuffer&) = delete;

  uint32_t GetSize() const { return mSizeBytes; }
  int GetSampleRate() const { return mRate; }
  int GetChannels() const { return mChannels; }
  int GetBlockAlign() const { return mChannels * 2; }

  // Starts playing from the current position; looping plays round and round, otherwise
  // the buffer stops at its end (and its position goes back to 0).
  void Play(bool looping);
  // Stops; the position stays where it was.
  void Stop();
  bool IsPlaying() const;
  // Byte offsets: the next frame the mixer will read, and the first byte that may be
  // written safely (the same: the mixer reads nothing ahead of its position).
  void GetCurrentPosition(uint32_t* play, uint32_t* write) const;
  void SetCurrentPosition(uint32_t offset);
  void SetVolume(int32_t hundredthsOfDecibel);  // clamped to -10000..0
  int32_t GetVolume() const;

  // Hands out a staging area for bytes at offset (both whole frames inside the buffer);
  // Unlock copies it in. Null when the range is bad or another lock is open.
  int16_t* Lock(uint32_t offset, uint32_t bytes);
  void Unlock();

 private:
  friend class TSoundMixer;
  TSoundBuffer(std::shared_ptr<TSoundMixer> mixer, int rate, int channels, uint32_t sizeBytes);

  const std::shared_ptr<TSoundMixer> mMixer;  // keeps the mixer alive while the buffer exists
  const int mRate;
  const int mChannels;
  const uint32_t mSizeBytes;
  const uint32_t mFrames;
  const uint64_t mStep;  // source frames per output frame, 16.16 fixed point

  // Guarded by the mixer's mutex.
  std::vector<int16_t> mSamples;
  uint64_t mPosition = 0;  // frame << 16 | fraction
  bool mPlaying = false;
  bool mLooping = false;
  int32_t mVolume = 0;
  int32_t mGain = 65536;

  // Owned by whoever holds the lock (the sound thread, under the sound manager's lock).
  std::vector<int16_t> mStaging;
  uint32_t mLockOffset = 0;
  bool mLocked = false;
};

class TSoundMixer : public std::enable_shared_from_this<TSoundMixer> {
 public:
  // The output format: always 16-bit stereo, at the given rate.
  static std::shared_ptr<TSoundMixer> Make(int outputRate = 44100);
  TSoundMixer(const TSoundMixer&) = delete;
  TSoundMixer& operator=(const TSoundMixer&) = delete;
  ~TSoundMixer() = default;

  int GetOutputRate() const { return mOutputRate; }
  // A new, silent, stopped buffer of 16-bit frames; sizeBytes must be whole frames.
  // Null for a rate or channel count the mixer can't play.
  std::unique_ptr<TSoundBuffer> CreateBuffer(int rate, int channels, uint32_t sizeBytes);
  size_t GetBufferCount() const;

  // Writes frames interleaved stereo frames: every playing buffer, scaled by its volume,
  // summed and clipped. Buffers advance by what they played.
  void Mix(int16_t* out, int frames);
  // The plain version of every inner loop (tests compare the two).
  void SetReferenceMixing(bool reference) { mReferenceOnly = reference; }

 private:
  explicit TSoundMixer(int outputRate) : mOutputRate(outputRate) {}
  friend class TSoundBuffer;
  void Remove(TSoundBuffer* buffer);

  const int mOutputRate;
  std::atomic<bool> mReferenceOnly{false};
  mutable std::mutex mMutex;
  std::vector<TSoundBuffer*> mBuffers;  // non-owning: each removes itself when destroyed
  std::vector<int32_t> mAccumulator;
};
