#include "graphics/sprites/asset_map.h"

#include <map>

#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/mesh.h"
#include "graphics/texture.h"
#include "platform/asset_loaders.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

// Tried in this order after the name as given.
const char* const StandardExtensions[] = {".xml", ".anm", ".jpg", ".jp2", ".png", ".spx", ".ogg", ".mesh", ".lua"};

TString Normalise(TString name) { return name.Replace("\\", "/"); }

std::shared_ptr<TAsset> Cached(const TString& key, TClassId kind) {
  TAssetManager* assets = GetAssetManager();
  std::shared_ptr<TAsset> asset = assets ? assets->GetAsset(key) : nullptr;
  return asset && asset->IsKindOf(kind) ? asset : nullptr;
}

// The loaders of graphics' own kinds; the other kinds' come from the registry.
const TAssetLoader* FindLoader(const TString& extension) {
  static const std::map<TString, TAssetLoader> own = [] {
    TAssetLoader texture{TTexture::ClassId(),
                         [](const TString& entry, const TString& options) { return entry + options + ":tex"; },
                         [](const TString& file) -> std::shared_ptr<TAsset> { return TTexture::Get(file, 0); }};
    TAssetLoader animation{
        TAnimatedTexture::ClassId(), [](const TString& entry, const TString& options) { return entry + options + "::"; },
        [](const TString& file) -> std::shared_ptr<TAsset> { return TAnimatedTexture::Get(file, TString(), TString()); }};
    TAssetLoader mesh{TModel::ClassId(), [](const TString& entry, const TString&) { return entry; },
                      [](const TString& file) -> std::shared_ptr<TAsset> { return TModel::Get(file); }};
    return std::map<TString, TAssetLoader>{{"jpg", texture},   {"png", texture}, {"jp2", texture},
                                           {"xml", animation}, {"anm", animation}, {"mesh", mesh}};
  }();
  auto found = own.find(extension);
  return found != own.end() ? &found->second : FindAssetLoader(extension);
}

}  // namespace

void TAssetMap::AddAssets(const char* const* names) {
  for (; names && *names; ++names) AddAsset(*names);
}

void TAssetMap::AddAsset(TString name, const std::shared_ptr<TAsset>& asset, bool quiet) {
  TString entryName = Normalise(name);
  if (asset) {
    mEntries[entryName] = asset;
    return;
  }
  int question = entryName.Find('?');
  TString file = question < 0 ? entryName : entryName.Substr(0, question);
  TString options = question < 0 ? TString() : entryName.Substr(uint32_t(question));
  TString resolved;
  if (FileExists(file)) {
    resolved = file;
  } else {
    for (const char* extension : StandardExtensions) {
      if (FileExists(file + extension)) {
        resolved = file + extension;
        break;
      }
    }
  }
  if (resolved.IsEmpty()) {
    if (!quiet)
      LogPrintf("TAssetMap::AddAsset: Failed to find asset %s with any standard extension (jpg/jp2/png/anm/xml/ogg/mesh)",
                entryName.c_str());
    return;
  }
  TString cacheKey;
  std::shared_ptr<TAsset> loaded = Load(entryName, resolved, options, cacheKey);
  if (!loaded) {
    if (!quiet) LogPrintf("TAssetMap::AddAsset: Error loading %s", (resolved + options).c_str());
    return;
  }
  if (TAssetManager* assets = GetAssetManager()) assets->AddAsset(cacheKey, loaded);
  mEntries[entryName] = loaded;
}

std::shared_ptr<TAsset> TAssetMap::Load(const TString& entryName, const TString& resolved, const TString& options,
                                        TString& cacheKey) {
  int dot = resolved.Find('.', FindBackward);
  const TAssetLoader* loader = FindLoader(dot < 0 ? TString() : resolved.Substr(uint32_t(dot) + 1));
  if (!loader) return nullptr;
  cacheKey = loader->cacheKey(entryName, options);
  if (auto cached = Cached(cacheKey, loader->kind)) return cached;
  return loader->load(resolved + options);
}

bool TAssetMap::HasAsset(const TString& name) { return mEntries[Normalise(name)] != nullptr; }

std::shared_ptr<TAsset> TAssetMap::Find(const TString& name, const char* kind, bool withAutoLoad) {
  TString entryName = Normalise(name);
  std::shared_ptr<TAsset>& entry = mEntries[entryName];
  if (entry) return entry;
  if (mAutoLoad) {
    AddAsset(entryName);
    if (std::shared_ptr<TAsset> loaded = mEntries[entryName]) return loaded;
  }
  if (withAutoLoad)
    LogPrintf("%s asset not found: %s (auto load set to %s)", kind, entryName.c_str(), mAutoLoad ? "true" : "false");
  else
    LogPrintf("%s asset not found: %s", kind, entryName.c_str());
  return nullptr;
}

std::shared_ptr<TAnimatedTexture> TAssetMap::GetAnimatedTexture(const TString& name) {
  return TAnimatedTexture::CastFromAsset(Find(name, "Animated texture", true));
}

std::shared_ptr<TTexture> TAssetMap::GetTexture(const TString& name) {
  return TTexture::CastFromAsset(Find(name, "Texture", true));
}

