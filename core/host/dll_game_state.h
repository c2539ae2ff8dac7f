#pragma once
// TDllGameState: the game-state handler that wraps one module library (jx_module.h). It
// owns the library and forwards the handler operations to the module's handler table; the
// module owns its handler and frees it in DestroyHandler.

#include "host/game_state.h"
#include "host/jx_module.h"
#include "platform/os/shared_library.h"

class TDllGameState : public TGameStateHandler {
 public:
  TDllGameState() = default;
  // Hands the handler back to the module, then closes the library.
  ~TDllGameState() override;

  // Opens the module of an asset name (a file on disk, by its absolute path), looks up
  // CreateHandler and DestroyHandler (both must exist before CreateHandler is called) and
  // creates the handler; false, with a log line, on any failure.
  bool LoadModule(const TString& name);

  bool HandleEvent(const char* name, const char* value) override;
  const char* Query(const char* name, const char* current) override;
  bool QueryRestartMode() override;
  bool QueryJumpToMenu() override;
  bool QueryMuteGame() override;
  bool QueryWaitForQuit() override;

 private:
  TSharedLibrary mLibrary;
  TJxDestroyHandler mDestroy = nullptr;
  TJxModuleHandler* mHandler = nullptr;  // owned by the module
};

// Start-up: every name at the top of the asset folder whose file name contains ".jxmod"
// (case-sensitive, anywhere in the name) is loaded in the file map's order and registered
// with the game state. Answers how many were registered.
int LoadGameStateModules();
