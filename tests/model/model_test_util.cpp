#include "model_test_util.h"

#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/model_services.h"
#include "platform/log.h"
#include "platform/test_util.h"
#include "platform/timer.h"
#include "script/lua/lauxlib.h"

int64_t FakeWallNow = 0;

namespace {
int64_t FakeWallSource() { return FakeWallNow; }
}  // namespace

TModelTest::TModelTest() : mFolder(std::make_unique<TTempFolder>()) {}

TModelTest::~TModelTest() = default;

void TModelTest::SetUp() {
  ResetPlatformState();
  OpenLogFile((*mFolder / "log").c_str());
  FakeWallNow = 1700000000;
  SetWallTimeSource(&FakeWallSource);
  mTimer = std::make_unique<TFakeTimer>();
  mScript = std::make_unique<TScript>();
  SetModelScript(mScript.get());
}

void TModelTest::TearDown() {
  CGame::DestroyInstance();
  CGlobalInformationSystem::DestroyInstance();
  CHighscoreSystem::DestroyInstance();
  TDiary::DestroyInstance();
  SetPlayerPrefsSource(nullptr);
  SetModelScript(nullptr);
  mScript.reset();
  mTimer.reset();
  SetWallTimeSource(nullptr);
  ResetPlatformState();
}

std::string TModelTest::Run(const std::string& text) {
  std::string error = TryRun(text);
  EXPECT_EQ(error, "") << text;
  return error;
}

std::string TModelTest::TryRun(const std::string& text) {
  lua_State* state = L();
  int top = lua_gettop(state);
  std::string error;
  if (luaL_loadbuffer(state, text.data(), text.size(), "=test") != 0 || lua_pcall(state, 0, 0, 0) != 0) {
    const char* message = lua_tostring(state, -1);
    error = message ? message : "(not a string)";
  }
  lua_settop(state, top);
  return error;
}

std::string TModelTest::Eval(const std::string& expression) {
  Run("test_result = tostring(" + expression + ")");
  lua_State* state = L();
  lua_pushliteral(state, "test_result");
  lua_rawget(state, LUA_GLOBALSINDEX);
  std::string text = lua_tostring(state, -1) ? lua_tostring(state, -1) : "";
  lua_pop(state, 1);
  return text;
}

double TModelTest::EvalNumber(const std::string& expression) {
  Run("test_result = " + expression);
  lua_State* state = L();
  lua_pushliteral(state, "test_result");
  lua_rawget(state, LUA_GLOBALSINDEX);
  double value = lua_tonumber(state, -1);
  lua_pop(state, 1);
  return value;
}

std::string TModelTest::ReadLog() const { return ReadTextFile(GetLogPath()); }
