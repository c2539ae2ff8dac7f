#pragma once
// The optional local highscore server library and its entry points, looked up by name.
// No such library exists on this platform: the default loader finds nothing. Tests put a
// fake library behind the loader.

#include <functional>
#include <memory>

// The library's entry points; a null one is missing from the library.
struct THiscoreServerLibrary {
  using CreateLocalServerFn = void* (*)();
  using LoadServerDefFileFn = void (*)(void* server);
  using SetServerInfoFn = void (*)(void* server, const char* gameHandle, const char* key, const char** modeNames,
                                   int modeCount, const char** medalNames, int medalCount);
  using FreeLocalServerFn = void (*)(void* server);

  CreateLocalServerFn createLocalServer = nullptr;
  LoadServerDefFileFn loadServerDefFile = nullptr;
  SetServerInfoFn setServerInfo = nullptr;
  FreeLocalServerFn freeLocalServer = nullptr;

  virtual ~THiscoreServerLibrary() = default;  // unloads the library
};

// The library file's name.
constexpr const char* HiscoreServerLibraryName = "jxservlet_stub.so";

// Loads the named library; null when it is missing.
using THiscoreServerLoader = std::function<std::unique_ptr<THiscoreServerLibrary>(const char* name)>;
// An empty loader restores the default.
void SetHiscoreServerLoader(THiscoreServerLoader loader);
std::unique_ptr<THiscoreServerLibrary> LoadHiscoreServerLibrary(const char* name);
