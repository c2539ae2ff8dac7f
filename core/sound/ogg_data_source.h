#pragma once
// Ogg Vorbis sounds through libvorbisfile, read through the engine's file layer. Short
// sounds (under 2 seconds, or all with the setting "keepogguncompressed") are decoded whole
// into memory; long ones, and those asked to stream, are decoded while they play.

#include <memory>
#include <vector>

#include "platform/file.h"
#include "sound/sound_data_source.h"

struct OggVorbis_File;

class TOggDataSource : public TSoundDataSource {
 public:
  TOggDataSource();
  ~TOggDataSource() override;
  TOggDataSource(const TOggDataSource&) = delete;
  TOggDataSource& operator=(const TOggDataSource&) = delete;

  // Opens the file and reads its headers; false (with a log line naming the file and the
  // fault) for a missing, corrupt or unplayable file.
  bool Open(const TString& name);
  // Seeks the decoder when position is not where the last read ended.
  uint32_t Read(void* buffer, int64_t position, uint32_t bytes) override;
  int64_t GetLength() const override { return mLength; }
  int GetSampleRate() const override { return mRate; }
  int GetChannels() const override { return mChannels; }
  double GetDuration() const override { return mDuration; }
  // Every sample the stream really holds (a damaged file may hold fewer than it claims).
  std::vector<unsigned char> DecodeAll();

 private:
  void Close();

  std::unique_ptr<OggVorbis_File> mVorbis;  // open while mFile is
  TFilePtr mFile;
  int64_t mPosition = 0;
  int mRate = 0;
  int mChannels = 0;
  double mDuration = 0.0;
  int64_t mLength = 0;
};

class TOggDataSourceBuilder : public TSoundDataSourceBuilder {
 public:
  std::shared_ptr<TSoundDataSource> CreateDataSource(const TString& name, bool stream) override;
};

// Registers the Ogg Vorbis builder under ".ogg".
void RegisterOggDataSource();
