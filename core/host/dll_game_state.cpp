#include "host/dll_game_state.h"

#include "platform/log.h"

TDllGameState::~TDllGameState() {
  if (mDestroy && mHandler) mDestroy(mHandler);
}

bool TDllGameState::LoadModule(const TString& fileName) {
  if (!mLibrary.Open(fileName.ToStd())) {
    LogPrintf("Game-state module %s cannot be loaded: %s", fileName.c_str(), mLibrary.Error().c_str());
    return false;
  }
  auto create = reinterpret_cast<TCreateHandler>(mLibrary.Symbol("CreateHandler"));
  auto destroy = reinterpret_cast<TDestroyHandler>(mLibrary.Symbol("DestroyHandler"));
  if (!create || !destroy) {
    LogPrintf("Game-state module %s lacks CreateHandler or DestroyHandler", fileName.c_str());
    mLibrary.Close();
    return false;
  }
  mHandler = create();
  if (!mHandler) {
    LogPrintf("Game-state module %s made no handler", fileName.c_str());
    mLibrary.Close();
    return false;
  }
  mDestroy = destroy;
  return true;
}
