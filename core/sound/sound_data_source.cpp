#include "sound/sound_data_source.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/file.h"
#include "sound/sound_manager.h"

namespace {

using TBuilderMap = std::map<TString, std::shared_ptr<TSoundDataSourceBuilder>>;

TBuilderMap& Builders() {
  static TBuilderMap builders;
  return builders;
}

TString Lower(TString text) {
  text.MakeLower();
  return text;
}

}  // namespace

TMemDataSource::TMemDataSource(std::vector<unsigned char> pcm, int rate, int channels, double duration)
    : mPcm(std::move(pcm)), mRate(rate), mChannels(channels), mDuration(duration) {}

uint32_t TMemDataSource::Read(void* buffer, int64_t position, uint32_t bytes) {
  TSoundLock lock;
  if (position < 0 || position >= GetLength()) return 0;
  uint32_t count = uint32_t(std::min<int64_t>(bytes, GetLength() - position));
  memcpy(buffer, mPcm.data() + position, count);
  return count;
}

void RegisterSoundDataSourceBuilder(const TString& extension, std::shared_ptr<TSoundDataSourceBuilder> builder) {
  Builders()[Lower(extension)] = std::move(builder);
}

void ClearSoundDataSourceBuilders() { Builders().clear(); }

std::shared_ptr<TSoundDataSource> FindSoundDataSourceBuilder(const TString& name, bool stream) {
  const TBuilderMap& builders = Builders();
  std::string text = name.ToStd();
  size_t dot = text.rfind('.');
  if (dot != std::string::npos) {
    auto it = builders.find(Lower(TString(text.substr(dot))));
    if (it != builders.end()) return it->second->CreateDataSource(name, stream);
  }
  for (const auto& [extension, builder] : builders) {
    TString candidate = name + extension;
    if (FileExists(candidate)) return builder->CreateDataSource(candidate, stream);
  }
  return nullptr;
}
