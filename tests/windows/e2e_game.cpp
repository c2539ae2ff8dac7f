// The engine as the game starts it, with one window type more: the "Panel" test type that
// draws, so that the end-to-end tests can see what a click changed. The window system's own
// parts are the real ones.

#include "engine/display_link.h"
#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "engine/platform_window_host.h"
#include "panel_window.h"
#include "platform/command_line.h"
#include "platform/settings.h"
#include "windows/window_manager.h"

namespace {

void PanelGameMain(TPlatform* platform) {
  platform->InitDisplay(uint32_t(GetConfig("screenwidth").ToInt()), uint32_t(GetConfig("screenheight").ToInt()), false);
  TWindowManager* windows = GetWindowManager();
  windows->RegisterWindowType("Panel", &TPanel::Create);
  windows->DoScriptFile(windows->GetScreen(), GetConfig("scriptMainLoop"));
  TPlatformEvent event;
  do {
    platform->ProcessEvents(event);
    if (event.type == EventClose) platform->PostQuit(0);
    windows->HandleEvent(event);
  } while (event.type != EventQuit);
}

}  // namespace

int main(int argc, char** argv) {
  SetConfig("gamename", "Fensterprobe");
  SetConfig("publisher", "Wendrock");
  TEngineStart start;
  start.commandLine = TCommandLine::FromArguments(argc, argv).Text();
  start.gameMain = PanelGameMain;
  start.makeWindowManager = [] { return MakeWindowManager(MakePlatformWindowHost()); };
  start.makeDisplayHandler = MakeDisplayHandler;
  start.makeRenderer = MakeRenderer;
  return RunEngine(start);
}
