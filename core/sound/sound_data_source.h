#pragma once
// Sound data sources: the PCM samples (interleaved, signed 16-bit) of one sound, read at a
// byte position. Builders registered under a file extension make them from files; the
// Ogg Vorbis builder (".ogg") is the only one.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/engine_string.h"

class TSoundDataSource {
 public:
  virtual ~TSoundDataSource() = default;
  // Copies up to bytes PCM bytes from position; answers how many (0 at or past the end).
  virtual uint32_t Read(void* buffer, int64_t position, uint32_t bytes) = 0;
  virtual int64_t GetLength() const = 0;  // PCM bytes
  virtual int GetSampleRate() const = 0;
  virtual int GetChannels() const = 0;
  virtual double GetDuration() const = 0;  // seconds
};

// A whole sound decoded into memory.
class TMemDataSource : public TSoundDataSource {
 public:
  TMemDataSource(std::vector<unsigned char> pcm, int rate, int channels, double duration);
  uint32_t Read(void* buffer, int64_t position, uint32_t bytes) override;
  int64_t GetLength() const override { return int64_t(mPcm.size()); }
  int GetSampleRate() const override { return mRate; }
  int GetChannels() const override { return mChannels; }
  double GetDuration() const override { return mDuration; }

 private:
  const std::vector<unsigned char> mPcm;
  const int mRate;
  const int mChannels;
  const double mDuration;
};

class TSoundDataSourceBuilder {
 public:
  virtual ~TSoundDataSourceBuilder() = default;
  // The source for a file; null when it can't be opened.
  virtual std::shared_ptr<TSoundDataSource> CreateDataSource(const TString& name, bool stream) = 0;
};

// Adds or replaces the builder of an extension (with its dot: ".ogg"). Main thread only.
void RegisterSoundDataSourceBuilder(const TString& extension, std::shared_ptr<TSoundDataSourceBuilder> builder);
void ClearSoundDataSourceBuilders();
// The source for a sound name: by the name's own extension when a builder has it (case
// does not matter, as with file names); otherwise the first registered extension that,
// appended to the whole name, names an existing file. Null when nothing matches.
std::shared_ptr<TSoundDataSource> FindSoundDataSourceBuilder(const TString& name, bool stream);
