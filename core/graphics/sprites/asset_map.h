#pragma once
// TAssetMap: a named set of loaded assets that a screen or component keeps alive while it
// needs them: textures, animated textures, sounds, compiled scripts and meshes, each under
// the name by which content refers to it. A name comes without its extension
// ("objects/key" for objects/key.png): AddAsset tries the standard extensions, picks the
// loader by the extension found (graphics' own for images, animations and meshes, else
// the one registered for it: platform/asset_loaders.h), shares the asset through the
// asset cache and keeps a strong reference. Names may carry options after a "?" (sounds/click?group=2), which stay
// part of the entry's name. Backslashes in names are slashes. Main thread only.

#include <map>
#include <memory>

#include "platform/asset.h"
#include "platform/engine_string.h"

class TAnimatedTexture;
class TSound;
class TTexture;

class TAssetMap {
 public:
  TAssetMap() = default;
  virtual ~TAssetMap() = default;
  TAssetMap(const TAssetMap&) = default;
  TAssetMap& operator=(const TAssetMap&) = default;

  // With an asset: stores it under the name, replacing what was there. Without one: finds
  // the file and loads it; failures are logged unless quiet, and leave the map as it was.
  void AddAsset(TString name, const std::shared_ptr<TAsset>& asset = nullptr, bool quiet = false);
  // AddAsset for every name of a list that ends with a null pointer.
  void AddAssets(const char* const* names);
  // Whether the name holds an asset (asking leaves an empty entry for an unknown name).
  bool HasAsset(const TString& name);

  // The asset of the name as the wanted kind; empty (with a log line when the name holds
  // nothing) otherwise. With auto-load on, a name that holds nothing is loaded first.
  std::shared_ptr<TAnimatedTexture> GetAnimatedTexture(const TString& name);
  // An animated texture is a texture too.
  std::shared_ptr<TTexture> GetTexture(const TString& name);
  // The sound of the name. TSound comes from the caller (which knows the sound
  // subsystem): the map itself knows sounds only through their registered loader.
  template <class TSoundKind = TSound>
  std::shared_ptr<TSoundKind> GetSound(const TString& name) {
    std::shared_ptr<TAsset> asset = Find(name, "Sound", false);
    if (!asset || !asset->IsKindOf(TSoundKind::ClassId())) return nullptr;
    return std::static_pointer_cast<TSoundKind>(asset);
  }

  void SetAutoLoad(bool autoLoad) { mAutoLoad = autoLoad; }
  bool GetAutoLoad() const { return mAutoLoad; }
  size_t GetEntryCount() const { return mEntries.size(); }

 private:
  // The entry of the name, made empty when absent, loaded first with auto-load; null with
  // the "not found" line (the kind's word and whether auto-load is on) when it stays empty.
  std::shared_ptr<TAsset> Find(const TString& name, const char* kind, bool withAutoLoad);
  std::shared_ptr<TAsset> Load(const TString& entryName, const TString& resolved, const TString& options,
                               TString& cacheKey);

  std::map<TString, std::shared_ptr<TAsset>> mEntries;
  bool mAutoLoad = false;
};
