#include "flow/flow_test_util.h"

#include <filesystem>

#include "flow/game_defaults.h"
#include "flow/game_windows.h"
#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/level.h"
#include "model/model_services.h"
#include "model/model_types.h"
#include "platform/file_map.h"
#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "script/lua_binding.h"

namespace {

void BuildTestGame() {
  CGame* game = CGame::GetInstance();
  if (!game) return;
  auto level = std::make_unique<CLevel>();
  level->SetSeqId(1);
  const int32_t numbers[] = {100, 200, 300};
  const int types[] = {ModelAdventureScreen, ModelChapterScreen, ModelAdventureScreen};
  for (int i = 0; i < 3; i++) {
    auto scene = std::make_unique<CFlowTestScene>(numbers[i], types[i]);
    scene->SetNextScene(i < 2 ? numbers[i + 1] : -1);
    if (i == 0) scene->SetExitScript("scripts/exit100.lua");
    level->AddScene(std::move(scene));
  }
  game->AddLevel(std::move(level));
  game->SetStartScene(100);
}

}  // namespace

void TFlowTest::SetUp() {
  TWindowsTest::SetUp();
  SetGameDefaults();
  std::filesystem::create_directories((mRoot / "user").c_str());
  std::filesystem::create_directories((mRoot / "common").c_str());
  SetDataFolders(mRoot / "user", mRoot / "common", "");
  SetConfig("scriptGame", "scripts/newgame.lua");
  SetConfig("defaultsoundvolume", "700");
  SetModelScript(&Script());
  RegisterGameWindows(Manager());
  BindLuaFunction(L(), "BuildTestGame", &BuildTestGame);
  WriteAsset("scripts/newgame.lua", "BuildTestGame() newGames = (newGames or 0) + 1\n");
  WriteAsset("scripts/exit100.lua", "exits = (exits or '') .. '100;'\n");
  CGame::CreateInstance();
}

// In the game's order: the model and the singletons go while the windows still stand.
void TFlowTest::TearDown() {
  gShuttingDown = true;
  CGame::DestroyInstance();
  DestroySingletons();
  SetModelScript(nullptr);
  TWindowsTest::TearDown();
  gShuttingDown = false;
}

TSettings& TFlowTest::Settings() {
  if (!TSettings::GetInstance()) TSettings::CreateInstance();
  return *TSettings::GetInstance();
}

void TFlowTest::DestroySingletons() {
  TSettings::DestroyInstance();
  CGlobalInformationSystem::DestroyInstance();
  TDiary::DestroyInstance();
  CHighscoreSystem::DestroyInstance();
}

void TFlowTest::Restart() {
  DestroySingletons();
  Settings();
}

std::string TFlowTest::Eval(const std::string& expression) {
  RunLua(L(), ("test_result = tostring(" + expression + ")").c_str());
  return Global("test_result");
}

void TFlowTest::WriteSceneScripts() {
  for (const char* kind : {"adventurescreen", "chapterscreen"}) {
    WriteAsset((std::string("standard/scripts/scenes/") + kind + ".lua").c_str(),
               std::string("MakeDialog{ SceneWindow{ w = 640, h = 480, function() SetWindowName('scene') end } }\n"
                           "built = (built or '') .. '") +
                   kind + ";'\n");
  }
}
