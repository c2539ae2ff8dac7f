#pragma once
// Asset loaders by file extension. An asset map finds a content file by its name and
// asks the loader of the extension found; the subsystems of the other asset kinds register
// theirs at start-up (sound "ogg" and "spx", script "lua"), so that the asset map needs
// none of them. Main thread only.

#include <functional>
#include <memory>

#include "platform/asset.h"
#include "platform/class_id.h"
#include "platform/engine_string.h"

struct TAssetLoader {
  // The kind of asset it makes: a cached asset of another kind is not taken.
  TClassId kind = nullptr;
  // The cache key of an asset-map entry from its name (without extension) and options
  // (from the "?" on, or empty).
  std::function<TString(const TString& entryName, const TString& options)> cacheKey;
  // Loads the file, its options appended; null when it cannot.
  std::function<std::shared_ptr<TAsset>(const TString& fileName)> load;
};

// Registers the loader of an extension (without its dot, as names carry it), replacing
// the one registered before.
void RegisterAssetLoader(const TString& extension, TAssetLoader loader);
// The loader of an extension, or null.
const TAssetLoader* FindAssetLoader(const TString& extension);
void ClearAssetLoaders();
