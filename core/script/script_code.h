#pragma once
// TScriptCode: a script file compiled once into a precompiled chunk and shared through the
// asset cache, which remembers it while some owner holds it. Also the process-wide script
// search path and the file-layer reader behind luaL_loadfile.

#include <memory>

#include "platform/asset.h"
#include "platform/engine_string.h"

class TScriptCode : public TAsset {
 public:
  TARVELON_CLASS_ID()
  // The bytes of a precompiled chunk; they hold zero bytes, so their count is kept apart.
  TScriptCode(const char* bytes, uint32_t length) : mCode(bytes, length), mLength(length) {}
  const char* GetClassName() const override { return "TScriptCode"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }

  // The compiled script for a file name: the cached one while it lives, else the file read
  // through the file layer and compiled. Empty when the name is empty or the file does not
  // load; then `error' (when given) receives the loader's message. A failed file is compiled
  // again at every request.
  static std::shared_ptr<TScriptCode> Get(const TString& fileName, const TString& searchPath,
                                          TString* error = nullptr);
  static std::shared_ptr<TScriptCode> CastFromAsset(const std::shared_ptr<TAsset>& asset);

  // The precompiled chunk bytes. A TString's own length stops at the first zero byte: use
  // GetLength (TScript::DoLuaString(code) runs the chunk).
  const TString& GetCode() const { return mCode; }
  uint32_t GetLength() const { return mLength; }

 private:
  TString mCode;
  uint32_t mLength;
};

// The search path whose "?" marks `require' replaces by a module name; ";" separates the
// patterns. Initially "assets/?;?;../?;../../?".
void SetScriptSearchPath(const TString& path);
const TString& GetScriptSearchPath();

// Registers the asset loader of script chunks ("lua", source or compiled): an asset map
// keeps a chunk under its entry name and loads it on the search path.
void RegisterScriptAssetLoaders();

// Makes luaL_loadfile read through the engine's file layer (path prefixes, the file map,
// packages). Idempotent; start-up calls it, and so does every script.
void InstallScriptFileReader();
