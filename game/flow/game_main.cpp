#include "flow/game_main.h"

#include <memory>

#include "engine/platform.h"
#include "flow/game_defaults.h"
#include "flow/game_windows.h"
#include "flow/message_handler.h"
#include "flow/settings.h"
#include "graphics/texture.h"
#include "host/game_state.h"
#include "host/host_windows.h"
#include "menus/diary_measure.h"
#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/model_services.h"
#include "platform/platform_event.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scenes/game_flow.h"
#include "scenes/sprite_animator.h"
#include "script/script.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

namespace {

void SetGlobalFlag(const char* name, bool on) {
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance()) globals->SetGlobalBool(name, on);
}

// The drawn cursor, then the hardware cursor, each from its texture with the hot spot at its
// top-left corner.
void SetCursors(TPlatform& platform) {
  platform.SetCursor(TTexture::Get(GetConfig("assetCursorSW"), 0), 0, 0, false);
  platform.SetCursor(TTexture::Get(GetConfig("assetCursorHW"), 0), 0, 0, true);
}

// The singletons go in a fixed order: the game model first, whose scenes the others may
// still name, the settings object (which closes the database) after it.
void DestroySingletons() {
  CGame::DestroyInstance();
  TSettings::DestroyInstance();
  CGlobalInformationSystem::DestroyInstance();
  TDiary::DestroyInstance();
  CHighscoreSystem::DestroyInstance();
  TSpriteAnimator::DestroyInstance();
}

}  // namespace

void ReactToGameEvent(const TPlatformEvent& event) {
  switch (event.type) {
    case EventClose:
      if (TScript* script = GetModelScript()) script->RunScript(GetConfig("scriptOkVerify"));
      break;
    case EventFullScreenToggled:
      if (TSettings* settings = TSettings::GetInstance()) settings->StoreFullScreenState();
      break;
    case EventActivation: SetGlobalFlag("WindowHasNotFocus", event.code != 1); break;
    default: break;
  }
}

void GameMain(TPlatform* platform) {
  gShuttingDown = false;
  TWindowManager* windows = GetWindowManager();
  TWindowScript* script = windows ? windows->GetScript() : nullptr;
  // The model's singletons register their functions on the window manager's script.
  SetModelScript(script);
  if (script) GetGameState()->BindScript(script->GetState());

  // Diary entries take the room that the diary pages draw them in.
  SetDiaryMeasure(std::make_unique<TDiaryMeasure>());
  CGame::CreateInstance();
  SetRendererDefaults();
  if (TStringTable* strings = GetStringTable()) platform->SetWindowTitle(strings->GetString("windowtitle"));
  TSettings::CreateInstance()->LoadDisplaySettings();
  SetCursors(*platform);
  if (windows) {
    RegisterGameWindows(*windows);
    InstallHostWindows(*windows);
  }
  if (script) script->RunMainScript(GetConfig("scriptMainLoop"));
  auto handler = std::make_unique<CMessageHandler>();
  CMessageHandler* listener = handler.get();
  if (windows) windows->AddListener(std::move(handler));
  SetGlobalFlag("WindowHasNotFocus", false);

  TPlatformEvent event;
  platform->ProcessEvents(event);
  while (event.type != EventQuit) {
    ReactToGameEvent(event);
    if (windows) windows->HandleEvent(event);
    platform->ProcessEvents(event);
  }

  gShuttingDown = true;
  if (windows) windows->RemoveListener(listener);
  DestroySingletons();
  GetGameState()->UnbindScript();
  SetModelScript(nullptr);
}
