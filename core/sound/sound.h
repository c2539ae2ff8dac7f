#pragma once
// TSound: a sound file played by name, cached in the asset cache and played any number of
// times at once. Each playing copy is a TSoundInstance holding its stream; the sound's
// TSoundData hears (on the main thread) when a stream has ended and forgets its instance.
// Main thread only.

#include <map>
#include <memory>

#include "platform/asset.h"
#include "sound/sound_stream.h"

class TSound;
class TSoundDataSource;

class TSoundInstance : public std::enable_shared_from_this<TSoundInstance> {
 public:
  explicit TSoundInstance(std::shared_ptr<TSoundStream> stream) : mStream(std::move(stream)) {}
  const std::shared_ptr<TSoundStream>& GetStream() const { return mStream; }
  TString GetDebugName() const;

 private:
  std::shared_ptr<TSoundStream> mStream;
};

class TSoundData : public TStreamNotify {
 public:
  TSoundData(TSound* sound, std::shared_ptr<TSoundDataSource> source, int group);
  // Forgets the instance of the stream (the last reference to both goes with it).
  void OnStreamFinished(const std::shared_ptr<TSoundStream>& stream) override;

  TSound* GetSound() const { return mSound; }
  const std::shared_ptr<TSoundDataSource>& GetSource() const { return mSource; }
  int GetGroup() const { return mGroup; }
  size_t GetInstanceCount() const { return mInstances.size(); }

 private:
  friend class TSound;
  TSound* const mSound;  // the sound that owns this record
  const std::shared_ptr<TSoundDataSource> mSource;
  const int mGroup;
  std::map<const TSoundInstance*, std::shared_ptr<TSoundInstance>> mInstances;
};

class TSound : public TAsset {
 public:
  TARVELON_CLASS_ID()
  const char* GetClassName() const override { return "TSound"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

  // The sound of a file, from the asset cache or opened now; null when no file is found.
  // "name?group=N" plays in group N whatever group says. stream is nonzero to decode while
  // playing rather than holding a short sound in memory.
  static std::shared_ptr<TSound> Get(const TString& name, int stream, int group);
  // The cache key of a sound: "name;stream;group".
  static TString MakeCacheKey(const TString& name, int stream, int group);
  // The cache key of an asset map's sound entry: "name;0;N" with the number after
  // "group=" in the option text (0 without).
  static TString MakeEntryCacheKey(const TString& name, const TString& options);

  TSound(const TString& fileName, int stream);
  ~TSound() override;

  // Starts a new playing copy; null (with a log line) when it can't play. Dropping the
  // instance lets a copy play to its end.
  std::shared_ptr<TSoundInstance> Play(bool loop);
  bool StopInstance(const std::shared_ptr<TSoundInstance>& instance);
  bool StopAll();
  float GetLength() const;

  const TString& GetFileName() const { return mFileName; }
  bool IsStreaming() const { return mStream != 0; }
  const std::shared_ptr<TSoundData>& GetData() const { return mData; }
  size_t GetInstanceCount() const { return mData ? mData->GetInstanceCount() : 0; }

 private:
  const TString mFileName;
  const int mStream;
  std::shared_ptr<TSoundData> mData;
};

// Registers the asset loaders of sound files ("ogg" and "spx"): an asset map keeps a
// sound under its entry key and opens it streaming, in the group its options name.
void RegisterSoundAssetLoaders();
