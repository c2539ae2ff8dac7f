#pragma once
// TTestHookHost: the engine's side of the optional test hook (test_hook.h): loads
// "jxHarness.so", offers it the command line, and between start-up and teardown gives it
// the services: input injection, frame captures served on the main thread, the events
// the game receives.

#include <cstdint>
#include <string>

#include "platform/engine_string.h"
#include "platform/os/shared_library.h"

class TPlatform;
class TTask;

class TTestHookHost {
 public:
  TTestHookHost() = default;
  ~TTestHookHost();
  TTestHookHost(const TTestHookHost&) = delete;
  TTestHookHost& operator=(const TTestHookHost&) = delete;

  // Loads the hook at path and calls its entry with the command line, which it may
  // replace. A missing library or entry is no error.
  void Load(const std::string& path, TString& commandLine);
  bool IsLoaded() const { return mLibrary.IsOpen(); }
  intptr_t QuitTarget() const { return mQuitTarget; }

  // Right before the game's main function: the services go to the hook's attach entry.
  void Attach(TPlatform& platform);
  // After the game's main function: captures still waiting fail, the hook stops its
  // threads, and the services are withdrawn.
  void Detach(TPlatform& platform);

 private:
  TSharedLibrary mLibrary;
  intptr_t mQuitTarget = 0;
  bool mAttached = false;
  TTask* mCaptureTask = nullptr;  // owned by the platform's frame task list
};
