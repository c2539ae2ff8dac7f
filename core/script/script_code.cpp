#include "script/script_code.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/asset_loaders.h"
#include "platform/file.h"
#include "script/lua/lauxlib.h"
#include "script/lua/lua.h"

namespace {

TString& SearchPath() {
  static TString path = "assets/?;?;../?;../../?";
  return path;
}

int ReadThroughFileLayer(const char* name, int text, char** data, size_t* size, const char** error) {
  std::string bytes;
  if (!ReadWholeFile(name, bytes, text ? FileReadText : FileReadRaw)) {
    int code = FileExists(name) ? EIO : ENOENT;
    *error = strerror(code);
    return code;
  }
  *data = static_cast<char*>(malloc(bytes.size() + 1));
  if (!*data) {
    *error = "not enough memory";
    return ENOMEM;
  }
  memcpy(*data, bytes.data(), bytes.size());
  *size = bytes.size();
  return 0;
}

int AppendChunk(lua_State*, const void* bytes, size_t size, void* out) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(bytes), size);
  return 0;
}

}  // namespace

void SetScriptSearchPath(const TString& path) { SearchPath() = path; }

const TString& GetScriptSearchPath() { return SearchPath(); }

void RegisterScriptAssetLoaders() {
  TAssetLoader loader;
  loader.kind = TScriptCode::ClassId();
  loader.cacheKey = [](const TString& entryName, const TString&) { return entryName; };
  loader.load = [](const TString& fileName) -> std::shared_ptr<TAsset> {
    return TScriptCode::Get(fileName, GetScriptSearchPath());
  };
  RegisterAssetLoader("lua", loader);
}

void InstallScriptFileReader() { lua_setfilereader(&ReadThroughFileLayer); }

std::shared_ptr<TScriptCode> TScriptCode::CastFromAsset(const std::shared_ptr<TAsset>& asset) {
  if (!asset || !asset->IsKindOf(ClassId())) return nullptr;
  return std::static_pointer_cast<TScriptCode>(asset);
}

std::shared_ptr<TScriptCode> TScriptCode::Get(const TString& fileName, const TString& searchPath, TString* error) {
  if (fileName.IsEmpty()) return nullptr;
  TAssetManager* assets = GetAssetManager();
  if (assets) {
    if (auto cached = CastFromAsset(assets->GetAsset(fileName))) return cached;
  }
  InstallScriptFileReader();
  lua_State* L = lua_open();
  if (!L) return nullptr;
  // The scratch state never runs the chunk; the path is set as a script loading there sees it.
  lua_pushliteral(L, "LUA_PATH");
  TString path = searchPath.IsEmpty() ? TString("assets/?;../?;?") : searchPath;
  lua_pushlstring(L, path.c_str(), path.Length());
  lua_rawset(L, LUA_GLOBALSINDEX);

  std::shared_ptr<TScriptCode> code;
  if (luaL_loadfile(L, fileName.c_str()) == 0) {
    std::string bytes;
    if (lua_dump(L, &AppendChunk, &bytes) != 0 && !bytes.empty() && bytes.size() < UINT32_MAX)
      code = std::make_shared<TScriptCode>(bytes.data(), uint32_t(bytes.size()));
  } else if (error) {
    const char* message = lua_tostring(L, -1);
    *error = message ? message : "";
  }
  lua_close(L);
  if (code && assets) assets->AddAsset(fileName, code);
  return code;
}
