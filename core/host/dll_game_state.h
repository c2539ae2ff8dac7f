#pragma once
// TDllGameState: a game-state handler backed by a module library ("*.jxmod.so") that
// exports the plain C functions
//   void* CreateHandler(void);
//   void DestroyHandler(void* handler);
// The event interface of modules comes with the host integration; until then a loaded
// module takes no events.

#include "host/game_state.h"
#include "platform/os/shared_library.h"

class TDllGameState : public TGameStateHandler {
 public:
  TDllGameState() = default;
  ~TDllGameState() override;

  // Loads the library, resolves both entries and creates the handler; false (with a log
  // line naming the file) on any failure.
  bool LoadModule(const TString& fileName);
  bool HandleEvent(const char* name, const char* value) override { return false; }

 private:
  using TCreateHandler = void* (*)();
  using TDestroyHandler = void (*)(void*);

  TSharedLibrary mLibrary;
  TDestroyHandler mDestroy = nullptr;
  void* mHandler = nullptr;
};
