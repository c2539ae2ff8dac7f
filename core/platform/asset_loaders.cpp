#include "platform/asset_loaders.h"

#include <map>

namespace {

std::map<TString, TAssetLoader>& Loaders() {
  static std::map<TString, TAssetLoader> loaders;
  return loaders;
}

}  // namespace

void RegisterAssetLoader(const TString& extension, TAssetLoader loader) { Loaders()[extension] = std::move(loader); }

const TAssetLoader* FindAssetLoader(const TString& extension) {
  auto found = Loaders().find(extension);
  return found == Loaders().end() ? nullptr : &found->second;
}

void ClearAssetLoaders() { Loaders().clear(); }
