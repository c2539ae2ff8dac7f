#pragma once
// TSoundStream: one playing sound through one mixer buffer, refilled by halves from a
// spooler while it plays: the half that is not playing is refilled, so a buffer of two
// seconds plays a sound of any length. The sound thread services every stream
// (FillHalf); every operation takes the sound lock.

#include <cstdint>
#include <memory>

#include "platform/clock.h"

class TSoundBuffer;
class TSoundData;
class TSoundStream;
class TStreamSpooler;

// Told on the main thread when a stream has ended.
class TStreamNotify {
 public:
  virtual ~TStreamNotify() = default;
  virtual void OnStreamFinished(const std::shared_ptr<TSoundStream>& stream) = 0;
};

// Buffer bytes for a length in seconds: rounded to the nearest byte, then up to a multiple
// of 8, kept within 4 .. 0x0FFFFFFF.
uint32_t ComputeStreamBufferSize(uint32_t bytesPerSecond, double seconds);
// The attenuation for a volume (clamped to 0..1): 0 is silence (-10000), otherwise
// -(1 - v) * 5000 hundredths of a decibel, truncated toward zero.
int32_t AttenuationFromVolume(float volume);

class TSoundStream : public std::enable_shared_from_this<TSoundStream> {
 public:
  // Makes the stream and registers it with the sound manager (when there is one).
  static std::shared_ptr<TSoundStream> Make(std::shared_ptr<TStreamSpooler> spooler, bool loop, int group,
                                            const std::shared_ptr<TSoundData>& soundData);
  virtual ~TSoundStream();
  TSoundStream(const TSoundStream&) = delete;
  TSoundStream& operator=(const TSoundStream&) = delete;

  void SetListener(const std::weak_ptr<TStreamNotify>& listener);
  std::shared_ptr<TStreamNotify> GetListener() const;

  // Builds the buffer and fills its first half. False without a sound device: the stream
  // then keeps time with its clock and ends when the sound's length has passed.
  bool Create(int rate, int channels, int bits, float seconds);
  // Refills the half that is not playing when the play position changed halves. False once
  // the stream has ended (a non-looping one plays on for two half changes after its last
  // data, so nothing audible is cut).
  bool FillHalf(bool firstFill);
  void Play();
  void Stop();
  void SetPaused(bool paused);
  void SetVolume(float volume);
  // Byte offsets of the half that is playing (0, 0 without a buffer).
  void GetPlayRegion(uint32_t* start, uint32_t* end) const;

  int GetGroup() const { return mGroup; }
  bool IsLooping() const { return mLoop; }
  bool IsPaused() const;
  bool HasBuffer() const;
  uint32_t GetBufferSize() const;
  float GetBufferSeconds() const;
  // The buffer, for tests that look at what plays; null without a device.
  const TSoundBuffer* GetBuffer() const { return mBuffer.get(); }

 private:
  TSoundStream(std::shared_ptr<TStreamSpooler> spooler, bool loop, int group,
               const std::shared_ptr<TSoundData>& soundData);
  bool KeepTime();
  void FillTarget(uint32_t offset, uint32_t bytes);

  std::shared_ptr<TStreamSpooler> mSpooler;  // released when the stream ends
  std::weak_ptr<TSoundData> mSoundData;
  std::weak_ptr<TStreamNotify> mListener;
  std::unique_ptr<TSoundBuffer> mBuffer;
  bool mDataEnded = false;
  uint32_t mBufferSize = 0;
  float mBufferSeconds = 0;
  int mLastHalf = 0;  // 0 none, 1 first, 2 second
  const int mGroup;
  const bool mLoop;
  bool mPaused = false;
  TClock mClock;  // play time
  int64_t mBytesToPlay = 0;
};
