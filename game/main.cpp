// The game's entry: it stores the game's defaults and starts the engine with the game's main
// function (flow/game_main.h).

#include "engine/display_link.h"
#include "engine/engine_entry.h"
#include "engine/platform_window_host.h"
#include "flow/game_defaults.h"
#include "flow/game_main.h"
#include "platform/command_line.h"
#include "windows/window_manager.h"

int main(int argc, char** argv) {
  SetGameDefaults();
  TEngineStart start;
  start.commandLine = TCommandLine::FromArguments(argc, argv).Text();
  start.gameMain = GameMain;
  start.makeWindowManager = [] { return MakeWindowManager(MakePlatformWindowHost()); };
  start.makeDisplayHandler = MakeDisplayHandler;
  start.makeRenderer = MakeRenderer;
  start.version.productName = "Tarvelon";
  start.version.internalName = "tarvelon";
  start.version.fileVersion[0] = 1;
  return RunEngine(start);
}
