// The game's entry: it stores the game's defaults and starts the engine with its main
// function. Until the game model and its screens exist, the main function opens the
// display and runs the event loop until the window is closed.

#include <cstdio>

#include "graphics/display_link.h"
#include "platform/command_line.h"
#include "platform/engine_entry.h"
#include "platform/i_window_manager.h"
#include "platform/platform.h"
#include "platform/settings.h"
#include "windows/window_manager.h"

namespace {

// The game's own defaults, stored before the engine starts.
void StoreGameDefaults() {
  SetConfig("gamename", "Tarvelon");
  SetConfig("publisher", "Wendrock");
  SetConfig("version", "V. 1.0");
}

void GameMain(TPlatform* platform) {
  uint32_t width = uint32_t(GetConfig("screenwidth", "1024").ToInt());
  uint32_t height = uint32_t(GetConfig("screenheight", "768").ToInt());
  platform->SetWindowTitle(GetConfig("windowtitle", platform->GetGameName()));
  platform->InitDisplay(width, height, IsEnabled("fullscreen"));
  printf("%s %s: the window is open (%ux%u). It stays empty until the renderer exists; close it to quit.\n",
         platform->GetGameName().c_str(), platform->GetVersion().c_str(), width, height);
  fflush(stdout);
  // The main script runs on the UI script's state with the screen as its window.
  if (TWindowManager* windows = GetWindowManager())
    windows->DoScriptFile(windows->GetScreen(), GetConfig("scriptMainLoop"));

  TPlatformEvent event;
  for (;;) {
    platform->ProcessEvents(event);
    if (event.type == EventQuit) break;
    // Without a game to ask, a close request ends the game.
    if (event.type == EventClose) platform->PostQuit(0);
    platform->GetWindowManager()->HandleEvent(event);
  }
}

}  // namespace

int main(int argc, char** argv) {
  StoreGameDefaults();
  TEngineStart start;
  start.commandLine = TCommandLine::FromArguments(argc, argv).Text();
  start.gameMain = GameMain;
  start.makeWindowManager = MakeWindowManager;
  start.makeDisplayHandler = MakeDisplayHandler;
  start.makeRenderer = MakeRenderer;
  start.version.productName = "Tarvelon";
  start.version.internalName = "tarvelon";
  start.version.fileVersion[0] = 1;
  return RunEngine(start);
}
