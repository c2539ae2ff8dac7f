// Model text through load and save. The first byte picks the mode:
// - even: the rest runs as a new-game script or a saved game's texts run: on a script where
//   the model's functions are bound (the game root's, the global state's and the score's)
//   and a compositor offers the Make functions; then the game and the global state are
//   written;
// - odd: the rest, cut at 0xFF bytes, gives the strings of a model built in C++ (global
//   state keys and values, a level, a room with an exit and a hotspot command, an item).
// Either way the written game text must run again through the compositor into a new game,
// and the global state text, run into a new store and written again, must come out byte for
// byte the same.
// The script language can loop for ever, so texts with loop words or ways to compile more
// code are skipped; the string library is gone (string.rep would fill memory).
//   corpus: fuzz/model_text/corpus and tests/fixtures/model (a new game with every story scene)

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/model_compositor.h"
#include "model/model_services.h"
#include "script/lua/lauxlib.h"
#include "script/script.h"

namespace {

const char* const Unbounded[] = {"while", "repeat", "for", "function", "load", "dostring", "dofile", "require"};

const char* const Setup =
    "string = nil loadstring = nil dofile = nil loadfile = nil coroutine = nil setmetatable = nil "
    "require = function() end";

// Never destroyed at exit: the script runtime's own statics may already be gone by then.
TScript* gScript = nullptr;

// A new script for every input, so that what one text leaves behind (globals, garbage) does
// not slow the next. The singletons bound to the old script go first.
void FreshScript() {
  CModelCompositor::Destroy();
  CGame::DestroyInstance();
  CHighscoreSystem::DestroyInstance();
  CGlobalInformationSystem::DestroyInstance();
  SetModelScript(nullptr);
  delete gScript;
  gScript = new TScript();
  SetModelScript(gScript);
  lua_State* L = gScript->GetState();
  if (luaL_loadbuffer(L, Setup, strlen(Setup), "setup") != 0 || lua_pcall(L, 0, 0, 0) != 0) abort();
}

// The model singletons a player's texts run into.
void FreshModel() {
  CGame::DestroyInstance();
  CGame::CreateInstance();
  CHighscoreSystem::CreateInstance();
}

bool RunsCleanly(const std::string& text) {
  lua_State* L = gScript->GetState();
  int top = lua_gettop(L);
  bool ok = luaL_loadbuffer(L, text.data(), text.size(), "=model") == 0 && lua_pcall(L, 0, 0, 0) == 0;
  lua_settop(L, top);
  return ok;
}

std::vector<TString> Pieces(const std::string& text) {
  std::vector<TString> pieces;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || uint8_t(text[i]) == 0xFF) {
      pieces.emplace_back(text.data() + start, i - start);
      start = i + 1;
    }
  }
  while (pieces.size() < 8) pieces.emplace_back("x");
  return pieces;
}

void BuildModel(const std::string& text) {
  std::vector<TString> p = Pieces(text);
  CGlobalInformationSystem* state = CGlobalInformationSystem::GetInstance();
  for (size_t i = 0; i + 1 < p.size(); i += 2) {
    state->SetGlobalString(p[i], p[i + 1]);
    double number = 0;
    memcpy(&number, p[i + 1].c_str(), std::min<size_t>(sizeof number, p[i + 1].Length() + 1));
    state->SetGlobalNumber(p[i], number);
    state->SetGlobalBool(p[i + 1], p[i].Length() & 1);
  }
  CGame* game = CGame::GetInstance();
  game->SetName(p[0]);
  auto scene = std::make_unique<CAdventureScreen>();
  scene->SetInitScript(p[1]);
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId(p[2]);
  exit->SetText(p[3]);
  scene->AddSceneExit(std::move(exit));
  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId(p[4]);
  ActionMap actions;
  actions.Set(p[5], std::make_shared<CCommandLua>(p[6]));
  hotspot->SetActionMap(std::move(actions));
  scene->AddSceneHotspot(std::move(hotspot));
  auto level = std::make_unique<CLevel>();
  level->SetName(p[7]);
  level->AddScene(std::move(scene));
  game->AddLevel(std::move(level));
  auto item = std::make_unique<CInventoryItem>();
  item->SetName(p[1]);
  item->SetDescription(p[2]);
  game->AddInventoryItemDefinition(std::move(item));
  game->AddInventoryItem(p[3]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  bool fromScript = (data[0] & 1) == 0;
  if (fromScript) {
    for (const char* word : Unbounded)
      if (text.find(word) != std::string::npos) return 0;
  }
  FreshScript();
  CModelCompositor::Recreate();
  FreshModel();
  CGlobalInformationSystem::CreateInstance();
  if (fromScript) {
    RunsCleanly(text);
    // The text may have replaced the Make functions; the saved texts run where they are fresh.
    if (!RunsCleanly(Setup)) abort();
    CModelCompositor::Recreate();
  } else {
    BuildModel(text);
  }

  std::string game;
  CGame::GetInstance()->Serialize(game);
  FreshModel();
  if (!RunsCleanly(game)) abort();
  std::string state;
  CGlobalInformationSystem::GetInstance()->Serialize(state);
  CGlobalInformationSystem::CreateInstance();
  if (!RunsCleanly(state)) abort();
  std::string again;
  CGlobalInformationSystem::GetInstance()->Serialize(again);
  if (again != state) abort();
  return 0;
}
