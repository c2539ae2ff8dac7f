#pragma once
// Assets: named, shared resources (textures, sounds, script code) held by shared pointers.
// The asset cache remembers each by a weak reference, so a second request gets the same
// object while anybody holds it, and the display handler can release and restore every
// live asset around a display reset.

#include <map>
#include <memory>
#include <vector>

#include "platform/class_id.h"
#include "platform/engine_string.h"

class TAsset : public std::enable_shared_from_this<TAsset> {
 public:
  TARVELON_CLASS_ID()
  virtual ~TAsset() = default;
  virtual const char* GetClassName() const { return "TAsset"; }
  virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
  // Gives up device resources before a display reset.
  virtual void Release() {}
  // Rebuilds them after the reset.
  virtual void Restore() {}
};

class TAssetManager {
 public:
  TAssetManager() = default;
  TAssetManager(const TAssetManager&) = delete;
  TAssetManager& operator=(const TAssetManager&) = delete;
  ~TAssetManager() = default;

  // The cached asset, or null when there is none or it has been freed. Names are used as
  // given (case matters); a lookup never adds an entry.
  std::shared_ptr<TAsset> GetAsset(const TString& name) const;
  // Remembers the asset under the name (without keeping it alive), replacing any other.
  void AddAsset(const TString& name, const std::shared_ptr<TAsset>& asset);
  void RemoveAsset(const TString& name);
  // Release on every live asset; entries of freed assets are dropped.
  void ReleaseAll();
  void RestoreAll();
  size_t Size() const { return mAssets.size(); }

 private:
  std::vector<std::shared_ptr<TAsset>> LiveAssets() const;

  std::map<TString, std::weak_ptr<TAsset>> mAssets;
};

// The engine's asset cache, owned by the platform (a non-owning link; null before start-up).
TAssetManager* GetAssetManager();
void SetAssetManager(TAssetManager* manager);
