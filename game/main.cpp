// The game's entry: it stores the game's defaults and starts the engine with its main
// function. Until the game model and its screens exist, the main function opens the
// display, starts the main script (the start screen) and runs the event loop until the
// script or the window ends the game.

#include <cstdio>
#include <memory>

#include "engine/display_link.h"
#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "engine/platform_window_host.h"
#include "menus/diary_measure.h"
#include "platform/command_line.h"
#include "platform/settings.h"
#include "script/lua_binding.h"
#include "sound/sound_manager.h"
#include "windows/slider.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

namespace {

// The game's own defaults, stored before the engine starts.
void StoreGameDefaults() {
  SetConfig("gamename", "Tarvelon");
  SetConfig("publisher", "Wendrock");
  SetConfig("version", "V. 1.0");
  // Wide window: typed characters arrive as code points, so names like "Jürgen" can be entered.
  SetConfig("utf8mode", "1");
}

// `SetVolumeFromSlider(name)': the master volume follows the named slider of the screen.
void SetVolumeFromSlider(TString name) {
  TWindowManager* windows = GetWindowManager();
  TWindow* top = windows ? windows->GetTopModal() : nullptr;
  TSlider* slider = top ? WindowCast<TSlider>(top->FindChild(name)) : nullptr;
  TSoundManager* sounds = GetSoundManager();
  if (slider && sounds) sounds->SetMasterVolume(slider->GetValue());
}

void GameMain(TPlatform* platform) {
  // Diary entries take the room that the diary pages draw them in.
  SetDiaryMeasure(std::make_unique<TDiaryMeasure>());
  uint32_t width = uint32_t(GetConfig("screenwidth", "1024").ToInt());
  uint32_t height = uint32_t(GetConfig("screenheight", "768").ToInt());
  platform->SetWindowTitle(GetConfig("windowtitle", platform->GetGameName()));
  platform->InitDisplay(width, height, IsEnabled("fullscreen"));
  printf("%s %s: the window is open (%ux%u). Quit through the start screen, or close the window.\n",
         platform->GetGameName().c_str(), platform->GetVersion().c_str(), width, height);
  fflush(stdout);
  // The main script runs on the UI script's state with the screen as its window.
  if (TWindowManager* windows = GetWindowManager()) {
    if (TWindowScript* script = windows->GetScript())
      BindLuaFunction(script->GetState(), "SetVolumeFromSlider", &SetVolumeFromSlider);
    windows->DoScriptFile(windows->GetScreen(), GetConfig("scriptMainLoop"));
  }

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
  start.makeWindowManager = [] { return MakeWindowManager(MakePlatformWindowHost()); };
  start.makeDisplayHandler = MakeDisplayHandler;
  start.makeRenderer = MakeRenderer;
  start.version.productName = "Tarvelon";
  start.version.internalName = "tarvelon";
  start.version.fileVersion[0] = 1;
  return RunEngine(start);
}
