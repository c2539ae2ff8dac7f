#include "sound/sound.h"

#include <cinttypes>

#include "platform/asset_loaders.h"
#include "platform/log.h"
#include "sound/sound_data_source.h"
#include "sound/sound_manager.h"
#include "sound/stream_spooler.h"

namespace {

// Every sound plays through a buffer of this many seconds, refilled by halves.
constexpr float StreamBufferSeconds = 2.0f;

}  // namespace

TString TSoundInstance::GetDebugName() const {
  return TString::Printf("0x%" PRIxPTR, reinterpret_cast<uintptr_t>(this));
}

TSoundData::TSoundData(TSound* sound, std::shared_ptr<TSoundDataSource> source, int group)
    : mSound(sound), mSource(std::move(source)), mGroup(group) {}

void TSoundData::OnStreamFinished(const std::shared_ptr<TSoundStream>& stream) {
  stream->SetListener({});
  for (auto it = mInstances.begin(); it != mInstances.end(); ++it) {
    if (it->second->GetStream() != stream) continue;
    mInstances.erase(it);
    break;
  }
}

TSound::TSound(const TString& fileName, int stream) : mFileName(fileName), mStream(stream) {}

TSound::~TSound() = default;

TString TSound::MakeCacheKey(const TString& name, int stream, int group) {
  return TString::Printf("%s;%d;%d", name.c_str(), stream, group);
}

TString TSound::MakeEntryCacheKey(const TString& name, const TString& options) {
  int group = 0;
  int at = options.Find("group=");
  if (!options.IsEmpty() && at >= 0) group = options.Substr(uint32_t(at) + 6).ToInt();
  return MakeCacheKey(name, 0, group);
}

void RegisterSoundAssetLoaders() {
  TAssetLoader loader;
  loader.kind = TSound::ClassId();
  loader.cacheKey = TSound::MakeEntryCacheKey;
  loader.load = [](const TString& fileName) -> std::shared_ptr<TAsset> { return TSound::Get(fileName, 1, -1); };
  RegisterAssetLoader("ogg", loader);
  RegisterAssetLoader("spx", loader);
}

std::shared_ptr<TSound> TSound::Get(const TString& name, int stream, int group) {
  if (name.IsEmpty()) return nullptr;
  TString fileName = name;
  int question = name.Find('?');
  if (question >= 0) {
    int option = name.Find("group=", 0, uint32_t(question));
    if (option >= 0) group = name.Substr(uint32_t(option) + 6).ToInt();
    fileName = name.Substr(0, question);
  }
  TString key = MakeCacheKey(fileName, stream, group);
  TAssetManager* cache = GetAssetManager();
  if (cache) {
    std::shared_ptr<TAsset> cached = cache->GetAsset(key);
    if (cached && cached->IsKindOf(TSound::ClassId())) return std::static_pointer_cast<TSound>(cached);
  }
  std::shared_ptr<TSoundDataSource> source = FindSoundDataSourceBuilder(fileName, stream != 0);
  if (!source) {
    LogPrintf("TSound::Get: No valid sound file found: %s", name.c_str());
    return nullptr;
  }
  auto sound = std::make_shared<TSound>(fileName, stream);
  sound->mData = std::make_shared<TSoundData>(sound.get(), std::move(source), group);
  // Entered only once it plays: a name that keeps failing leaves no dead entries behind.
  if (cache) cache->AddAsset(key, sound);
  return sound;
}

std::shared_ptr<TSoundInstance> TSound::Play(bool loop) {
  if (!mData || !mData->mSource) {
    LogPrintf("Play of uninitialized sound");
    return nullptr;
  }
  if (!GetSoundManager()) {
    LogPrintf("No Sound Manager");
    return nullptr;
  }
  const std::shared_ptr<TSoundDataSource>& source = mData->mSource;
  auto stream = TSoundStream::Make(std::make_shared<TStreamSpooler>(source), loop, mData->mGroup, mData);
  // Every stream tells its sound when it ends, so a finished copy lets go of its stream
  // and buffer.
  stream->SetListener(mData);
  auto instance = std::make_shared<TSoundInstance>(stream);
  mData->mInstances[instance.get()] = instance;
  stream->Create(source->GetSampleRate(), source->GetChannels(), 16, StreamBufferSeconds);
  stream->Play();
  return instance;
}

bool TSound::StopInstance(const std::shared_ptr<TSoundInstance>& instance) {
  if (!mData || !instance) return false;
  auto it = mData->mInstances.find(instance.get());
  if (it == mData->mInstances.end()) return false;
  std::shared_ptr<TSoundInstance> held = it->second;
  mData->mInstances.erase(it);
  held->GetStream()->Stop();
  return true;
}

bool TSound::StopAll() {
  if (!mData) return false;
  std::map<const TSoundInstance*, std::shared_ptr<TSoundInstance>> stopped;
  stopped.swap(mData->mInstances);
  for (const auto& entry : stopped) entry.second->GetStream()->Stop();
  return !stopped.empty();
}

float TSound::GetLength() const {
  return mData && mData->mSource ? float(mData->mSource->GetDuration()) : 0.0f;
}
