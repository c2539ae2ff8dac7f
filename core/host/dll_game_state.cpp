#include "host/dll_game_state.h"

#include <memory>

#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/log.h"

namespace {

// The file name part of a disk path, as it is spelt on disk.
TString FileNameOf(const TString& path) {
  int slash = path.Find('/', FindBackward);
  return slash < 0 ? path : path.Substr(uint32_t(slash) + 1);
}

}  // namespace

TDllGameState::~TDllGameState() {
  if (mHandler && mDestroy) mDestroy(mHandler);
  mHandler = nullptr;
}

bool TDllGameState::LoadModule(const TString& name) {
  TFileLocation location = ResolveLocation(name, true);
  // The loader needs a file of its own on disk: a module inside a package cannot load.
  if (location.kind != TFileLocation::Disk) {
    LogPrintf("Game-state module %s is not a file on disk", name.c_str());
    return false;
  }
  // An absolute path, so that the loader never searches its own folders for the name.
  TString path = GetFullPath(location.path);
  if (path.IsEmpty() || !mLibrary.Open(path.ToStd())) {
    LogPrintf("Game-state module %s cannot be loaded: %s", name.c_str(), mLibrary.Error().c_str());
    return false;
  }
  auto create = reinterpret_cast<TJxCreateHandler>(mLibrary.Symbol("CreateHandler"));
  auto destroy = reinterpret_cast<TJxDestroyHandler>(mLibrary.Symbol("DestroyHandler"));
  if (!create || !destroy) {
    LogPrintf("Game-state module %s lacks CreateHandler or DestroyHandler", name.c_str());
    return false;
  }
  TJxModuleHandler* handler = create();
  if (!handler) {
    LogPrintf("Game-state module %s made no handler", name.c_str());
    return false;
  }
  if (handler->version != JX_MODULE_VERSION) {
    LogPrintf("Game-state module %s has handler version %u, not %u", name.c_str(), unsigned(handler->version),
              unsigned(JX_MODULE_VERSION));
    destroy(handler);
    return false;
  }
  mHandler = handler;
  mDestroy = destroy;
  return true;
}

bool TDllGameState::HandleEvent(const char* name, const char* value) {
  return mHandler && mHandler->HandleEvent && mHandler->HandleEvent(mHandler, name, value) != 0;
}

const char* TDllGameState::Query(const char* name, const char* current) {
  if (!mHandler || !mHandler->Query) return current;
  return mHandler->Query(mHandler, name, current);
}

bool TDllGameState::QueryRestartMode() {
  return mHandler && mHandler->QueryRestartMode && mHandler->QueryRestartMode(mHandler) != 0;
}

bool TDllGameState::QueryJumpToMenu() {
  return mHandler && mHandler->QueryJumpToMenu && mHandler->QueryJumpToMenu(mHandler) != 0;
}

bool TDllGameState::QueryMuteGame() {
  return mHandler && mHandler->QueryMuteGame && mHandler->QueryMuteGame(mHandler) != 0;
}

bool TDllGameState::QueryWaitForQuit() {
  return mHandler && mHandler->QueryWaitForQuit && mHandler->QueryWaitForQuit(mHandler) != 0;
}

int LoadGameStateModules() {
  int loaded = 0;
  for (const auto& [key, location] : GetFileMap()) {
    // The top of the asset folder only: no sub-folder, no "user:" or "common:" name.
    if (location.kind != TFileLocation::Disk || key.Find('/') >= 0 || key.Find(':') >= 0) continue;
    if (FileNameOf(location.path).Find(".jxmod") < 0) continue;
    auto module = std::make_unique<TDllGameState>();
    if (!module->LoadModule(key)) continue;
    GetGameState();
    TGameState::AddHandler(std::move(module));
    loaded++;
  }
  return loaded;
}
