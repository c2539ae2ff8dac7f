#include "graphics/sprites/asset_map.h"

#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/mesh.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/log.h"
#include "script/script_code.h"
#include "sound/sound.h"

namespace {

// Tried in this order after the name as given.
const char* const StandardExtensions[] = {".xml", ".anm", ".jpg", ".jp2", ".png", ".spx", ".ogg", ".mesh", ".lua"};

TString Normalise(TString name) { return name.Replace("\\", "/"); }

std::shared_ptr<TAsset> Cached(const TString& key, TClassId kind) {
  TAssetManager* assets = GetAssetManager();
  std::shared_ptr<TAsset> asset = assets ? assets->GetAsset(key) : nullptr;
  return asset && asset->IsKindOf(kind) ? asset : nullptr;
}

}  // namespace

TString TAssetMap::MakeSoundCacheKey(const TString& name, const TString& options) {
  int group = 0;
  int at = options.Find("group=");
  if (!options.IsEmpty() && at >= 0) group = options.Substr(uint32_t(at) + 6).ToInt();
  return TString::Printf("%s;%d;%d", name.c_str(), 0, group);
}

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
  TString extension = dot < 0 ? TString() : resolved.Substr(uint32_t(dot) + 1);
  TString loadName = resolved + options;
  if (extension == "jpg" || extension == "png" || extension == "jp2") {
    cacheKey = entryName + options + ":tex";
    if (auto cached = Cached(cacheKey, TTexture::ClassId())) return cached;
    return TTexture::Get(loadName, 0);
  }
  if (extension == "xml" || extension == "anm") {
    cacheKey = entryName + options + "::";
    if (auto cached = Cached(cacheKey, TAnimatedTexture::ClassId())) return cached;
    return TAnimatedTexture::Get(loadName, TString(), TString());
  }
  if (extension == "ogg" || extension == "spx") {
    cacheKey = MakeSoundCacheKey(entryName, options);
    if (auto cached = Cached(cacheKey, TSound::ClassId())) return cached;
    return TSound::Get(loadName, 1, -1);
  }
  if (extension == "lua") {
    cacheKey = entryName;
    if (auto cached = Cached(cacheKey, TScriptCode::ClassId())) return cached;
    return TScriptCode::Get(loadName, GetScriptSearchPath());
  }
  if (extension == "mesh") {
    cacheKey = entryName;
    if (auto cached = Cached(cacheKey, TModel::ClassId())) return cached;
    return TModel::Get(loadName);
  }
  return nullptr;
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

std::shared_ptr<TSound> TAssetMap::GetSound(const TString& name) {
  std::shared_ptr<TAsset> asset = Find(name, "Sound", false);
  if (!asset || !asset->IsKindOf(TSound::ClassId())) return nullptr;
  return std::static_pointer_cast<TSound>(asset);
}
