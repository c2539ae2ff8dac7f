#include "platform/asset.h"

#include <vector>

namespace {
TAssetManager* gAssetManager = nullptr;
}

TAssetManager* GetAssetManager() { return gAssetManager; }

void SetAssetManager(TAssetManager* manager) { gAssetManager = manager; }

std::shared_ptr<TAsset> TAssetManager::GetAsset(const TString& name) const {
  auto it = mAssets.find(name);
  return it == mAssets.end() ? nullptr : it->second.lock();
}

void TAssetManager::AddAsset(const TString& name, const std::shared_ptr<TAsset>& asset) { mAssets[name] = asset; }

void TAssetManager::RemoveAsset(const TString& name) { mAssets.erase(name); }

std::vector<std::shared_ptr<TAsset>> TAssetManager::LiveAssets() const {
  std::vector<std::shared_ptr<TAsset>> live;
  for (const auto& entry : mAssets)
    if (auto asset = entry.second.lock()) live.push_back(std::move(asset));
  return live;
}

void TAssetManager::ReleaseAll() {
  // Release may free other assets, whose destructors may touch this map: the live assets
  // are gathered first, and dead entries are swept only after every call has returned.
  std::vector<std::shared_ptr<TAsset>> live = LiveAssets();
  for (const auto& asset : live) asset->Release();
  live.clear();
  for (auto it = mAssets.begin(); it != mAssets.end();) {
    if (it->second.expired())
      it = mAssets.erase(it);
    else
      ++it;
  }
}

void TAssetManager::RestoreAll() {
  for (const auto& asset : LiveAssets()) asset->Restore();
}
